// A code page 932 text made ready for a terminal: converted to UTF-8 and measured in terminal
// columns (a double-byte character takes two, as terminals draw Japanese). A stored text may
// hold anything, so every byte that is a control character (C0 and DEL) or starts no character
// is shown as a visible escape "\xHH" and never reaches the terminal raw: an ESC in a keyword
// cannot move the cursor or recolour the screen.
#pragma once

#include <cstddef>
#include <string>

namespace vexor::cli {

struct TerminalText {
    std::string utf8;
    std::size_t width = 0;
};

// For one line: line breaks are escaped too.
TerminalText terminalText(const std::string& cp932);

// For a message of several lines: its line feeds stay line breaks.
std::string terminalLines(const std::string& cp932);

}  // namespace vexor::cli
