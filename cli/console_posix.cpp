// Standard output, standard error and standard input on POSIX: UTF-8 bytes as they are.
#include "cli/console.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "cli/interrupt.h"

namespace vexor::cli {
namespace {

void writeAll(std::FILE* stream, const std::string& utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
}

// A byte at a time, so that nothing past the line is taken from the input. Ctrl-C drops the
// line: its handler may run on any of the program's threads, so the wait for a byte looks at the
// request every 100 ms besides breaking off with EINTR when the handler ran on this one.
std::optional<std::string> readInputLine() {
    constexpr int INTERRUPT_CHECK_MS = 100;
    std::string line;
    for (;;) {
        if (interruptRequested()) return std::nullopt;
        pollfd input{STDIN_FILENO, POLLIN, 0};
        const int ready = poll(&input, 1, INTERRUPT_CHECK_MS);
        if (ready < 0 && errno != EINTR) return std::nullopt;
        if (ready <= 0) continue;
        char byte = 0;
        const ssize_t got = read(STDIN_FILENO, &byte, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;  // a broken input
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
