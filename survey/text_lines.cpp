// Line splitting for the survey and history files.
#include "survey/text_lines.h"

namespace vexor {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        const bool last = end == std::string::npos;
        if (last) end = text.size();
        auto length = end - start;
        if (length > 0 && text[end - 1] == '\r') --length;
        lines.push_back(text.substr(start, length));
        start = last ? text.size() : end + 1;
    }
    return lines;
}

}  // namespace vexor
