// The state of the open survey: its file, site, keywords, loaded history, and the two flags and
// the thread by which the user-interface thread and the survey worker coordinate.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_lock.h"
#include "survey/rank_outcome.h"
#include "survey/survey_file.h"

namespace vexor {

// keyword -> what the generation holds of it; ordered byte by byte.
using HistoryTable = std::map<std::string, RankEntry>;

inline constexpr int HISTORY_GENERATIONS = 5;

struct SurveyState {
    std::string surveyPath;
    std::string target;
    std::deque<std::string> keywords;
    std::string historyDirectory;
    std::array<HistoryTable, HISTORY_GENERATIONS> historyTables;
    // What names each loaded generation: its header, else the date of its first record, else
    // "-". After a rotation generation 0 is named by the new header.
    std::array<std::string, HISTORY_GENERATIONS> generationCaptions;
    // What the last open said about the survey file's lines, so that reading the same file again
    // does not say it again.
    std::vector<LineNotice> fileNotices;
    std::atomic<bool> surveyRunning{false};
    std::atomic<bool> abortRequested{false};
    std::thread workerThread;
    FileLock runLock;                 // held on the history folder for the length of a run
    bool historyWriteFailed = false;  // a record or header of the run could not be stored
    bool engineRefused = false;       // the run stopped because the engine refused keywords
    int runRows = 0;                  // how many rows the run started last fills
    // When each loaded generation began: the stamp of its first record as written
    // ("yyyy/MM/dd:HH:mm:ss"), "" when it has none. Read by the user-interface thread only.
    std::array<std::string, HISTORY_GENERATIONS> generationStarts;
};

// Whether any keyword of table failed.
inline bool anyFailure(const HistoryTable& table) {
    for (const auto& kept : table)
        if (kept.second.failed()) return true;
    return false;
}

// Inserts keyword -> entry unless the table already holds the keyword: the first record of a
// keyword wins, except that a failure gives way to whatever is recorded after it (a keyword
// surveyed again after it failed).
inline void recordEntry(HistoryTable& table, const std::string& keyword, const RankEntry& entry) {
    const auto [it, added] = table.try_emplace(keyword, entry);
    if (!added && it->second.failed()) it->second = entry;
}

}  // namespace vexor
