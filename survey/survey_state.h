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

#include "platform/file_lock.h"

namespace vexor {

// keyword -> rank (1..100 found, 0 not found); ordered byte by byte; insertion never replaces.
using HistoryTable = std::map<std::string, int32_t>;

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
    std::atomic<bool> surveyRunning{false};
    std::atomic<bool> abortRequested{false};
    std::thread workerThread;
    FileLock runLock;                 // held on the history folder for the length of a run
    bool historyWriteFailed = false;  // a record or header of the run could not be stored
};

// Inserts keyword -> rank unless the table already holds the keyword.
inline void recordRank(HistoryTable& table, const std::string& keyword, int32_t rank) {
    table.emplace(keyword, rank);
}

}  // namespace vexor
