// Standard output and standard error on POSIX: UTF-8 bytes as they are.
#include "cli/console.h"

#include <unistd.h>

#include <cstdio>

namespace vexor::cli {
namespace {

void writeAll(std::FILE* stream, const std::string& utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
}

}  // namespace

Console systemConsole() {
    return {[](const std::string& utf8) { writeAll(stdout, utf8); },
            [](const std::string& utf8) { writeAll(stderr, utf8); },
            isatty(STDERR_FILENO) == 1};
}

}  // namespace vexor::cli
