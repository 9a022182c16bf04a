// Reading, rotating and starting the five history generations of a survey.
#include "survey/history.h"

#include <algorithm>
#include <cstdint>

#include "platform/files.h"
#include "platform/text_lines.h"
#include "survey/history_format.h"

namespace vexor {

namespace {

// One generation file into table; what names it.
GenerationNames readGeneration(const std::string& path, HistoryTable& table) {
    const auto content = readWholeFile(path);
    if (!content) return GenerationNames{};
    return scanHistory(*content, [&](const HistoryRecord& record) {
        recordRank(table, std::string(record.keyword), record.rank);
    });
}

}  // namespace

std::string historyFilePath(const std::string& folder, int generation) {
    return joinPath(folder, std::to_string(generation) + ".txt");
}

std::string generationHeader(const SystemTime& now, const std::string& engineName) {
    return formatDate(now) + " (" + engineName + ")";
}

std::string historyRecord(const SystemTime& at, const std::string& keyword, int32_t rank) {
    return formatDate(at) + ":" + formatTime(at) + "\t" + keyword + "\t" + std::to_string(rank) +
           "\r\n";
}

std::optional<int32_t> rankOf(const HistoryTable& table, const std::string& keyword) {
    const auto found = table.find(keyword);
    if (found == table.end()) return std::nullopt;
    return found->second;
}

void loadHistory(SurveyState& state, const std::string& folder) {
    for (int k = 0; k < HISTORY_GENERATIONS; ++k) {
        state.historyTables[k].clear();
        const auto generation = readGeneration(historyFilePath(folder, k), state.historyTables[k]);
        state.generationCaptions[k] = generation.header.empty() ? generation.startDate : generation.header;
    }
}

bool canResumeGeneration(const SurveyState& state, const std::string& engineName) {
    const auto& current = state.historyTables[0];
    const bool unfinished =
        std::any_of(state.keywords.begin(), state.keywords.end(),
                    [&](const std::string& keyword) { return !current.contains(keyword); });
    if (!unfinished) return false;
    const auto content = readWholeFile(historyFilePath(state.historyDirectory, 0));
    if (!content || content->empty()) return false;
    const auto spans = lineSpans(*content);
    const auto engine = headerEngine(std::string_view(*content).substr(0, spans.front().end));
    return engine && *engine == engineName;
}

void rotateHistory(SurveyState& state, const std::string& header) {
    const std::string& folder = state.historyDirectory;
    bool currentIsSaved = true;
    for (int k = HISTORY_GENERATIONS - 1; k >= 1; --k) {
        const auto older = historyFilePath(folder, k - 1);
        if (!fileExists(older)) continue;
        const bool copied = copyFileReplacing(older, historyFilePath(folder, k));
        if (k == 1) currentIsSaved = copied;
    }
    // 0.txt goes only once it stands in 1.txt: deleting it after a failed copy (a full disk, say)
    // would lose the generation. Kept, the new run appends to it instead of losing it.
    if (currentIsSaved) removeFile(historyFilePath(folder, 0));
    loadHistory(state, folder);
    state.generationCaptions[0] = header;
    state.historyTables[0].clear();
}

bool writeGenerationHeader(const std::string& folder, const std::string& header) {
    const auto path = historyFilePath(folder, 0);
    if (fileExists(path)) return true;
    return appendToFile(path, header + "\r\n");
}

}  // namespace vexor
