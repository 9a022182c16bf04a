// What the report of a survey's history says, before any HTML: per run its start, engine and
// how many keywords stood in the top 3, 10, 30 and 100; per keyword of the survey its rank in
// every run, its current rank, the change since the run before and its best rank.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/rank_change.h"
#include "survey/site_history.h"

namespace vexor {

inline constexpr std::array<int32_t, 4> RANK_BANDS = {3, 10, 30, 100};

struct RunSummary {
    std::string start;   // as HistoryRun::start
    std::string engine;
    std::size_t records = 0;  // every record of the run, surveyed keyword or not
    // How many of the report's keywords ranked within each of RANK_BANDS in this run.
    std::array<int, RANK_BANDS.size()> inBand{};
};

struct KeywordTrend {
    std::string keyword;  // code page 932
    std::vector<std::optional<int32_t>> ranks;  // one per run, oldest first; nothing: no record
    std::optional<int32_t> current;             // in the newest run
    RankChange change = RankChange::None;       // current against the run before the newest
    int32_t changeAmount = 0;                   // places gained or lost (Better, Worse)
    std::optional<int32_t> bestRank;            // the highest rank (smallest number >= 1)
    std::size_t bestRun = 0;                    // the first run that reached it
};

struct ReportData {
    std::vector<RunSummary> runs;       // oldest first
    std::vector<KeywordTrend> keywords;  // ranked by current rank, then not ranked, then no
                                         // record in the newest run; ties in survey order
};

// The survey's keywords (a repeated one once) over every run of history.
ReportData reportData(const SiteHistory& history, const std::deque<std::string>& keywords);

// The date part of a run's start: "2024/05/01" of "2024/05/01 07:00:00".
std::string runDate(const std::string& start);

}  // namespace vexor
