// Line splitting for the survey, history and settings files.
#include "platform/text_lines.h"

namespace vexor {

std::vector<LineSpan> lineSpans(std::string_view text) {
    std::vector<LineSpan> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lf = text.find('\n', start);
        const std::size_t next = lf == std::string_view::npos ? text.size() : lf + 1;
        std::size_t end = lf == std::string_view::npos ? text.size() : lf;
        if (end > start && text[end - 1] == '\r') --end;
        lines.push_back({start, end, next});
        start = next;
    }
    return lines;
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    for (const LineSpan& span : lineSpans(text))
        lines.emplace_back(text.substr(span.start, span.end - span.start));
    return lines;
}

void LineAssembler::feed(std::string_view chunk, const OnLine& onLine) {
    std::size_t start = 0;
    for (std::size_t lf = chunk.find('\n'); lf != std::string_view::npos; lf = chunk.find('\n', start)) {
        std::string_view line = chunk.substr(start, lf - start);
        if (!pending_.empty()) {
            pending_.append(line);
            line = pending_;
        }
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        onLine(line, true);
        pending_.clear();
        start = lf + 1;
    }
    pending_.append(chunk.substr(start));
}

void LineAssembler::finish(const OnLine& onLine) {
    if (pending_.empty()) return;
    std::string_view line = pending_;
    if (line.back() == '\r') line.remove_suffix(1);
    onLine(line, false);
    pending_.clear();
}

}  // namespace vexor
