// Standard output, standard error and standard input on POSIX: UTF-8 bytes as they are.
#include "cli/console.h"

#include <unistd.h>

#include <cstdio>

namespace vexor::cli {
namespace {

void writeAll(std::FILE* stream, const std::string& utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
}

// A byte at a time, so that nothing past the line is taken from the input. The Ctrl-C handler
// is installed without SA_RESTART: the read breaks off with EINTR and the line is dropped.
std::optional<std::string> readInputLine() {
    std::string line;
    for (;;) {
        char byte = 0;
        const ssize_t got = read(STDIN_FILENO, &byte, 1);
        if (got < 0) return std::nullopt;  // EINTR (Ctrl-C) or a broken input
        if (got == 0) return line.empty() ? std::nullopt : std::optional<std::string>(line);
        if (byte == '\n') break;
        line += byte;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace

Console systemConsole() {
    return {[](const std::string& utf8) { writeAll(stdout, utf8); },
            [](const std::string& utf8) { writeAll(stderr, utf8); },
            isatty(STDERR_FILENO) == 1,
            isatty(STDIN_FILENO) == 1,
            readInputLine};
}

}  // namespace vexor::cli
