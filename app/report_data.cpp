// The figures of the history report.
#include "app/report_data.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_set>

namespace vexor {
namespace {

constexpr int32_t NOT_IN_REPORT = -1;

bool isRanked(std::optional<int32_t> rank) { return rank && *rank >= 1; }

// Ranked keywords first by rank, then those not ranked, then those that failed, then those
// without a record.
int orderGroup(const KeywordTrend& trend) {
    if (isRanked(trend.current)) return 0;
    if (trend.current) return 1;
    return trend.currentFailure ? 2 : 3;
}

// One record of a report keyword in run r. A failure gives way to a later record of the keyword
// in the run (as the history reader keeps it); otherwise the first record wins.
void takeRecord(KeywordTrend& trend, std::size_t r, const RunRecord& record, bool newestRun) {
    if (trend.ranks[r]) return;
    if (record.entry.failed()) {
        trend.failed[r] = true;
        if (newestRun) trend.currentFailure = record.entry.failure;
        return;
    }
    trend.failed[r] = false;
    if (newestRun) trend.currentFailure.reset();
    const int32_t rank = record.entry.rank;
    trend.ranks[r] = rank;
    if (rank < 1) return;
    // trend.address is still that of the newest ranked record before this run.
    const bool rankedBefore = r > 0 && isRanked(trend.ranks[r - 1]);
    trend.addressChanged = rankedBefore && !trend.address.empty() && !record.address.empty() &&
                           trend.address != record.address;
    trend.address = record.address;
}

void summarise(KeywordTrend& trend) {
    const std::size_t runs = trend.ranks.size();
    if (runs == 0) return;
    trend.current = trend.ranks.back();
    const std::optional<int32_t> previous = runs >= 2 ? trend.ranks[runs - 2] : std::nullopt;
    trend.change = rankChange(trend.current, previous);
    if (trend.change == RankChange::Better || trend.change == RankChange::Worse)
        trend.changeAmount = std::abs(*trend.current - *previous);
    for (std::size_t run = 0; run < runs; ++run) {
        const auto rank = trend.ranks[run];
        if (isRanked(rank) && (!trend.bestRank || *rank < *trend.bestRank)) {
            trend.bestRank = rank;
            trend.bestRun = run;
        }
    }
}

}  // namespace

std::string runDate(const std::string& start) { return start.substr(0, start.find(' ')); }

ReportData reportData(const SiteHistory& history, const std::deque<std::string>& keywords) {
    ReportData data;
    const std::size_t runCount = history.runs.size();

    // The report's row of each history keyword, NOT_IN_REPORT for keywords left out.
    std::vector<int32_t> rowOf(history.keywords.size(), NOT_IN_REPORT);
    std::unordered_set<std::string> taken;
    for (const std::string& keyword : keywords) {
        if (!taken.insert(keyword).second) continue;
        if (const auto index = history.indexOf(keyword))
            rowOf[*index] = static_cast<int32_t>(data.keywords.size());
        KeywordTrend& trend = data.keywords.emplace_back();
        trend.keyword = keyword;
        trend.ranks.resize(runCount);
        trend.failed.resize(runCount);
    }

    for (std::size_t r = 0; r < runCount; ++r) {
        const HistoryRun& run = history.runs[r];
        for (const RunRecord& record : run.records)
            if (const int32_t row = rowOf[record.keyword]; row != NOT_IN_REPORT)
                takeRecord(data.keywords[row], r, record, r + 1 == runCount);
        RunSummary summary{run.start, run.engine, run.records.size(), {}, 0, 0};
        for (const KeywordTrend& trend : data.keywords) {
            summary.failed += trend.failed[r] ? 1 : 0;
            summary.results += trend.ranks[r] ? 1 : 0;
            if (!isRanked(trend.ranks[r])) continue;
            for (std::size_t b = 0; b < RANK_BANDS.size(); ++b)
                if (*trend.ranks[r] <= RANK_BANDS[b]) ++summary.inBand[b];
        }
        data.runs.push_back(std::move(summary));
    }

    for (KeywordTrend& trend : data.keywords) summarise(trend);
    std::stable_sort(data.keywords.begin(), data.keywords.end(),
                     [](const KeywordTrend& a, const KeywordTrend& b) {
                         const int ga = orderGroup(a);
                         const int gb = orderGroup(b);
                         if (ga != gb) return ga < gb;
                         return ga == 0 && *a.current < *b.current;
                     });
    return data;
}

}  // namespace vexor
