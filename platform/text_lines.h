// Splitting a text file's content into lines the way a text-mode reader sees them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vexor {

// Where one line stands in a text.
struct LineSpan {
    std::size_t start;  // offset of the line's first byte
    std::size_t end;    // offset of its line end (or of the end of the text)
    std::size_t next;   // offset of the next line (the text's size after the last one)
};

// Lines at LF; a CR right before the LF (or at the very end of the text) belongs to the line
// end, so CR LF and LF files read alike. A last line without a line end counts; nothing
// follows a final line end. "" gives no lines, "\n" one empty line.
std::vector<LineSpan> lineSpans(std::string_view text);

// The same lines as strings, each without its line end.
std::vector<std::string> splitLines(std::string_view text);

}  // namespace vexor
