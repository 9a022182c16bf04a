// Splitting a text file's content into lines the way a text-mode reader sees them.
#pragma once

#include <string>
#include <vector>

namespace vexor {

// Lines at LF, each without its line end; a CR right before the LF (or at the very end of the
// text) belongs to the line end, so CR LF and LF files read alike. A last line without a line
// end counts; nothing follows a final line end. "" gives no lines, "\n" one empty line.
std::vector<std::string> splitLines(const std::string& text);

}  // namespace vexor
