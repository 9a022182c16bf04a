// The terminal vexor-cli writes to: standard output and standard error, taking UTF-8 text, and
// the lines a person types on standard input. POSIX writes and reads the bytes as they are;
// Windows writes to and reads from a console through its wide API (so Japanese shows whatever
// the console's code page) and UTF-8 bytes when redirected.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace vexor::cli {

struct Console {
    std::function<void(const std::string& utf8)> out;
    std::function<void(const std::string& utf8)> err;
    bool errIsTerminal = false;  // standard error is a live terminal: progress may redraw a line
    bool inIsTerminal = false;   // standard input is a live terminal: a person may answer there
    // The next line of standard input (UTF-8, without its line end); nothing at the end of the
    // input or when Ctrl-C broke off the read.
    std::function<std::optional<std::string>()> readLine = [] { return std::optional<std::string>(); };
};

// The process's own standard output and standard error (console_posix.cpp / console_win32.cpp).
Console systemConsole();

}  // namespace vexor::cli
