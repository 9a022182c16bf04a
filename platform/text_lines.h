// Splitting a text file's content into lines the way a text-mode reader sees them.
#pragma once

#include <cstddef>
#include <functional>
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

// The lines of a text that arrives in pieces (a file read in chunks): the same lines that
// splitLines gives for the whole text, each with whether a line end followed it.
class LineAssembler {
public:
    using OnLine = std::function<void(std::string_view line, bool terminated)>;
    void feed(std::string_view chunk, const OnLine& onLine);
    // After the last piece: the last line, when it had no line end.
    void finish(const OnLine& onLine);

private:
    std::string pending_;  // the part of a line that has arrived so far
};

}  // namespace vexor
