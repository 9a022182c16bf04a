// The terminal vexor-cli writes to: standard output and standard error, taking UTF-8 text.
// POSIX writes the bytes as they are; Windows writes to a console through its wide API (so
// Japanese shows whatever the console's code page) and UTF-8 bytes when redirected.
#pragma once

#include <functional>
#include <string>

namespace vexor::cli {

struct Console {
    std::function<void(const std::string& utf8)> out;
    std::function<void(const std::string& utf8)> err;
    bool errIsTerminal = false;  // standard error is a live terminal: progress may redraw a line
};

// The process's own standard output and standard error (console_posix.cpp / console_win32.cpp).
Console systemConsole();

}  // namespace vexor::cli
