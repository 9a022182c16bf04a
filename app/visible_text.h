// A code page 932 text made ready to be read anywhere it goes (a terminal, a CSV file opened in
// a spreadsheet): converted to UTF-8 and measured in terminal columns (a double-byte character
// takes two, as terminals draw Japanese). A stored text may hold anything, so every byte that
// is a control character (C0 and DEL) or starts no character is shown as a visible escape
// "\xHH" and never goes out raw: an ESC in a keyword cannot move the cursor or recolour the
// screen, and two different stored texts never come out as one.
#pragma once

#include <cstddef>
#include <string>

namespace vexor {

struct VisibleText {
    std::string utf8;
    std::size_t width = 0;
};

// For one line: line breaks are escaped too.
VisibleText visibleText(const std::string& cp932);

// For a message of several lines: its line feeds stay line breaks.
std::string visibleLines(const std::string& cp932);

// For a writer that escapes control characters in its own way (JSON's "\u001B"): only the
// bytes that start no character are shown as "\xHH"; every character, control characters
// included, is converted as it is.
std::string utf8ShowingStrayBytes(const std::string& cp932);

}  // namespace vexor
