// A parent that starts a child through PipeChild, writes the child's process id to a file and
// then waits to be killed: the test kills it and checks that the child dies with it.
// Usage: pipe_child_parent PROGRAM PID-FILE   Exit status 2 when the child cannot be started.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/files.h"
#include "platform/pipe_child.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pipe_child_parent PROGRAM PID-FILE\n");
        return 2;
    }
    std::string error;
    vexor::PipeChild child = vexor::PipeChild::start(argv[1], {}, error);
    if (!child.running() || !vexor::replaceFileContent(argv[2], std::to_string(child.processId()))) {
        std::fprintf(stderr, "pipe_child_parent: %s\n", error.c_str());
        return 2;
    }
    Sleep(INFINITE);
}
