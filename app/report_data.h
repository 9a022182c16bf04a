// What the report of a survey's history says, before any HTML: per run its start, engine, how
// many keywords stood in the top 3, 10, 30 and 100 and how many failed; per keyword of the
// survey its rank in every run (a failure is no rank: a gap), its current rank or failure, the
// change since the run before, its best rank and the address that ranked last.
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
    int failed = 0;  // how many of the report's keywords failed in this run
    int results = 0;  // how many of the report's keywords have a rank or "not ranked" in this run
};

struct KeywordTrend {
    std::string keyword;  // code page 932
    std::vector<std::optional<int32_t>> ranks;  // one per run, oldest first; nothing: no record
                                                // or a failure
    std::vector<bool> failed;                   // one per run: its record there is a failure
    std::optional<int32_t> current;             // in the newest run
    std::optional<SearchFailure> currentFailure;  // the newest run's record is this failure
    // current against the run before the newest; None unless both are real results.
    RankChange change = RankChange::None;
    int32_t changeAmount = 0;                   // places gained or lost (Better, Worse)
    std::optional<int32_t> bestRank;            // the highest rank (smallest number >= 1)
    std::size_t bestRun = 0;                    // the first run that reached it
    // Where the newest ranked record led, as written; "" when that record kept no address.
    std::string address;
    // Another page of the site ranks: address differs from the one the keyword ranked with in
    // the run just before that record's run (both kept, the keyword ranked in both).
    bool addressChanged = false;
};

struct ReportData {
    std::vector<RunSummary> runs;       // oldest first
    std::vector<KeywordTrend> keywords;  // ranked by current rank, then not ranked, then failed,
                                         // then no record in the newest run; ties in survey
                                         // order
};

// The survey's keywords (a repeated one once) over every run of history.
ReportData reportData(const SiteHistory& history, const std::deque<std::string>& keywords);

// The date part of a run's start: "2024/05/01" of "2024/05/01 07:00:00".
std::string runDate(const std::string& start);

}  // namespace vexor
