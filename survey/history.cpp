// Reading, starting and locking the history generations of a survey.
#include "survey/history.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <unordered_set>

#include "platform/files.h"
#include "survey/history_format.h"
#include "survey/rank_field.h"

namespace vexor {

std::string historyFilePath(const std::string& folder, int generation) {
    return joinPath(folder, std::to_string(generation) + ".txt");
}

std::string generationHeader(const SystemTime& now, const std::string& engineName) {
    return formatDate(now) + " (" + engineName + ")";
}

std::string historyRecord(const SystemTime& at, const std::string& keyword, const RankEntry& entry,
                          std::string_view address) {
    return formatDate(at) + ":" + formatTime(at) + "\t" + keyword + "\t" + rankField(entry, address) +
           "\r\n";
}

bool recordableKeyword(std::string_view keyword) {
    return keyword.find_first_of("\t\r\n") == std::string_view::npos;
}

std::optional<RankEntry> entryOf(const HistoryTable& table, const std::string& keyword) {
    const auto found = table.find(keyword);
    if (found == table.end()) return std::nullopt;
    return found->second;
}

void loadHistory(SurveyState& state, const std::string& folder) {
    const std::unordered_set<std::string_view> shown(state.keywords.begin(), state.keywords.end());
    for (int k = 0; k < HISTORY_GENERATIONS; ++k) {
        HistoryTable& table = state.historyTables[k];
        table.clear();
        const auto names = scanHistoryFile(historyFilePath(folder, k), [&](const HistoryRecord& record) {
            if (shown.contains(record.keyword)) recordEntry(table, std::string(record.keyword), record.entry);
        });
        const GenerationNames generation = names.value_or(GenerationNames{});
        state.generationCaptions[k] = generation.header.empty() ? generation.startDate : generation.header;
        state.generationStarts[k] = generation.firstRecordTime;
    }
}

bool canResumeGeneration(const SurveyState& state, const std::string& engineName) {
    const auto& current = state.historyTables[0];
    const bool unfinished =
        std::any_of(state.keywords.begin(), state.keywords.end(),
                    [&](const std::string& keyword) {
                        return recordableKeyword(keyword) && !current.contains(keyword);
                    });
    if (!unfinished) return false;
    const auto first = firstHistoryLine(historyFilePath(state.historyDirectory, 0));
    if (!first) return false;
    const auto engine = headerEngine(*first);
    return engine && *engine == engineName;
}

bool writeGenerationHeader(const std::string& folder, const std::string& header) {
    const auto path = historyFilePath(folder, 0);
    if (fileKind(path) == FileKind::Regular) return true;
    return appendToFile(path, header + "\r\n");
}

bool endLastLine(const std::string& folder) {
    const std::string path = historyFilePath(folder, 0);
    switch (fileKind(path)) {
        case FileKind::Missing: return true;
        case FileKind::Regular: break;
        default: return false;
    }
    std::uint64_t size = 0;
    std::uint64_t lastLineAt = 0;  // where the line after the last line end begins
    std::string lastLine;
    const bool read = forEachChunk(path, [&](std::string_view chunk) {
        const std::size_t lf = chunk.rfind('\n');
        if (lf == std::string_view::npos) {
            lastLine.append(chunk);
        } else {
            lastLineAt = size + lf + 1;
            lastLine.assign(chunk.substr(lf + 1));
        }
        size += chunk.size();
        return true;
    });
    if (!read) return false;
    if (lastLine.empty()) return true;
    std::string_view line = lastLine;
    if (line.back() == '\r') line.remove_suffix(1);
    if (recordOf(line)) return truncateFile(path, lastLineAt);
    return appendToFile(path, "\r\n");
}

FileLock lockHistory(const std::string& folder) { return FileLock::acquire(joinPath(folder, "lock")); }

}  // namespace vexor
