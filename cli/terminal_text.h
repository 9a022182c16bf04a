// A code page 932 text made ready for one line of a terminal: converted to UTF-8, control
// characters shown as spaces, and measured in terminal columns (a double-byte character takes
// two, as terminals draw Japanese).
#pragma once

#include <cstddef>
#include <string>

namespace vexor::cli {

struct TerminalText {
    std::string utf8;
    std::size_t width = 0;
};

TerminalText terminalText(const std::string& cp932);

}  // namespace vexor::cli
