// Reading the lines of a history file.
#include "survey/history_format.h"

#include "engine/engine_name.h"
#include "platform/files.h"
#include "platform/text_lines.h"
#include "survey/rank_field.h"

namespace vexor {

std::optional<HistoryRecord> recordOf(std::string_view line) {
    const std::size_t first = line.find('\t');
    if (first == std::string_view::npos) return std::nullopt;
    const std::size_t second = line.find('\t', first + 1);
    if (second == std::string_view::npos || line.find('\t', second + 1) != std::string_view::npos)
        return std::nullopt;
    const ReadRankField field = readRankField(line.substr(second + 1));
    return HistoryRecord{line.substr(0, first), line.substr(first + 1, second - first - 1),
                         field.entry, field.address};
}

void HistoryScan::line(std::string_view text, bool terminated) {
    if (++physical_ == 2) names_.startDate = text.substr(0, text.find(':'));
    if (text.empty()) return;
    ++counted_;
    const auto record = recordOf(text);
    if (record) {
        if (names_.firstRecordTime.empty()) names_.firstRecordTime = std::string(record->stamp);
        if (terminated) onRecord_(*record);
    } else if (counted_ == 1) {
        names_.header = baseNameAtBackslash(std::string(text));
    }
}

GenerationNames scanHistory(std::string_view content, const RecordHandler& onRecord) {
    HistoryScan scan(onRecord);
    for (const LineSpan& span : lineSpans(content))
        scan.line(content.substr(span.start, span.end - span.start),
                  span.next > span.end && content[span.next - 1] == '\n');
    return scan.names();
}

std::optional<GenerationNames> scanHistoryFile(const std::string& path, const RecordHandler& onRecord) {
    if (fileKind(path) != FileKind::Regular) return std::nullopt;
    HistoryScan scan(onRecord);
    if (!forEachLine(path, [&scan](std::string_view text, bool terminated) { scan.line(text, terminated); }))
        return std::nullopt;
    return scan.names();
}

std::optional<std::string> headerEngine(std::string_view line) {
    if (line.find('\t') != std::string_view::npos) return std::nullopt;
    const std::size_t open = line.find(" (");
    if (open == std::string_view::npos) return std::nullopt;
    const std::size_t close = line.find(')', open + 2);
    if (close == std::string_view::npos) return std::nullopt;
    return std::string(line.substr(open + 2, close - (open + 2)));
}

std::optional<std::string> firstHistoryLine(const std::string& path) {
    if (fileKind(path) != FileKind::Regular) return std::nullopt;
    std::optional<std::string> first;
    std::string pending;
    forEachChunk(path, [&](std::string_view chunk) {
        const std::size_t lf = chunk.find('\n');
        pending.append(chunk.substr(0, lf));
        if (lf == std::string_view::npos) return true;
        first = pending;
        return false;
    });
    if (!first && !pending.empty()) first = pending;
    if (first && !first->empty() && first->back() == '\r') first->pop_back();
    return first;
}

}  // namespace vexor
