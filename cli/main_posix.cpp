// vexor-cli's entry point on POSIX: the arguments are already UTF-8.
#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/run_cli.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return vexor::cli::runCli(args, vexor::cli::systemConsole());
}
