// Reading the lines of a history file.
#include "survey/history_format.h"

#include "engine/engine_name.h"
#include "platform/leading_number.h"
#include "platform/text_lines.h"

namespace vexor {

std::optional<HistoryRecord> recordOf(std::string_view line) {
    const std::size_t first = line.find('\t');
    if (first == std::string_view::npos) return std::nullopt;
    const std::size_t second = line.find('\t', first + 1);
    if (second == std::string_view::npos || line.find('\t', second + 1) != std::string_view::npos)
        return std::nullopt;
    return HistoryRecord{line.substr(0, first), line.substr(first + 1, second - first - 1),
                         leadingNumber(line.substr(second + 1))};
}

GenerationNames scanHistory(std::string_view content,
                            const std::function<void(const HistoryRecord&)>& onRecord) {
    GenerationNames names;
    const auto spans = lineSpans(content);
    const auto lineAt = [&](std::size_t i) {
        return content.substr(spans[i].start, spans[i].end - spans[i].start);
    };
    int counted = 0;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        const std::string_view line = lineAt(i);
        if (line.empty()) continue;
        ++counted;
        if (const auto record = recordOf(line))
            onRecord(*record);
        else if (counted == 1)
            names.header = baseNameAtBackslash(std::string(line));
    }
    if (spans.size() >= 2) {
        const std::string_view second = lineAt(1);
        names.startDate = second.substr(0, second.find(':'));
    }
    return names;
}

std::optional<std::string> headerEngine(std::string_view line) {
    if (line.find('\t') != std::string_view::npos) return std::nullopt;
    const std::size_t open = line.find(" (");
    if (open == std::string_view::npos) return std::nullopt;
    const std::size_t close = line.find(')', open + 2);
    if (close == std::string_view::npos) return std::nullopt;
    return std::string(line.substr(open + 2, close - (open + 2)));
}

}  // namespace vexor
