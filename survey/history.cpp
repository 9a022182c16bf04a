// Reading, rotating and starting the five history generations of a survey.
#include "survey/history.h"

#include <algorithm>
#include <cstdint>

#include "engine/engine_name.h"
#include "platform/files.h"
#include "platform/leading_number.h"
#include "platform/text_lines.h"

namespace vexor {

namespace {

std::vector<std::string> splitAtTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::string::size_type start = 0;
    for (;;) {
        const auto tab = line.find('\t', start);
        if (tab == std::string::npos) break;
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    fields.push_back(line.substr(start));
    return fields;
}

// One generation file: its table, its header (baseName of a first line that is no record) and
// the date part of its second physical line.
struct Generation {
    std::string header;
    std::string startDate = "-";
};

Generation readGeneration(const std::string& path, HistoryTable& table) {
    Generation generation;
    const auto content = readWholeFile(path);
    if (!content) return generation;
    const auto lines = splitLines(*content);
    int counted = 0;
    for (const auto& line : lines) {
        if (line.empty()) continue;
        ++counted;
        const auto fields = splitAtTabs(line);
        if (fields.size() == 3)
            recordRank(table, fields[1], leadingNumber(fields[2]));
        else if (counted == 1)
            generation.header = baseNameAtBackslash(line);
    }
    if (lines.size() >= 2) generation.startDate = lines[1].substr(0, lines[1].find(':'));
    return generation;
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
    const std::string header = splitLines(*content).front();
    if (header.find('\t') != std::string::npos) return false;
    const auto open = header.find(" (");
    if (open == std::string::npos) return false;
    const auto close = header.find(')', open + 2);
    if (close == std::string::npos) return false;
    return header.compare(open + 2, close - (open + 2), engineName) == 0;
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
