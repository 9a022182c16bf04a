// Every run a site's history folder keeps, as data: the runs moved into its "archive" folder by
// the rotation, then the generation files 4.txt (oldest) to 0.txt (current). Each file is one
// run and is read by the history line rules; within a run the first record of a keyword wins,
// except over a failure, which gives way to a later record of the keyword.
// Keywords are kept once per site and runs refer to them by index, so a year of daily runs over
// a thousand keywords stays a few megabytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "survey/rank_outcome.h"

namespace vexor {

struct RunRecord {
    uint32_t keyword = 0;  // index into SiteHistory::keywords
    RankEntry entry;       // rank 1..100 found, 0 not found (as stored; hand-written files may
                           // differ), or the failure
    std::string address;   // where the ranked result led, "" when not kept
};

struct HistoryRun {
    // When the run began, "yyyy/MM/dd HH:mm:ss": the stamp of its first record, else the date of
    // its header at 00:00:00. A stamp or header that does not follow the picture is kept as
    // written; a run with neither has "".
    std::string start;
    std::string engine;  // the engine its header names ("" without a header naming one)
    std::vector<RunRecord> records;  // in file order, one per keyword
};

struct SiteHistory {
    std::vector<std::string> keywords;  // every keyword of any run, in order of first appearance
    std::unordered_map<std::string, uint32_t> keywordIndex;  // keyword -> its index
    std::vector<HistoryRun> runs;  // oldest first

    // The index of keyword, nothing when no run has a record of it.
    std::optional<uint32_t> indexOf(const std::string& keyword) const;
};

// Reads every run of the history folder. Archived runs (any "*.txt" in the archive folder) come
// first, ordered by their start, equal starts by file name; then 4.txt to 0.txt in that order.
// Missing files, and files with neither a header nor a record, are no runs. No archive folder
// reads as a history of files 0 to 4 alone.
SiteHistory readSiteHistory(const std::string& folder);

// The start of a run from the first field of its first record ("" when it has none) and its
// header line ("" when it has none), as HistoryRun::start describes it.
std::string runStart(const std::string& firstStamp, const std::string& header);

}  // namespace vexor
