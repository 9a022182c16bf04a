// The report's charts as inline SVG in UTF-8 (the page around them gives their words). Runs are
// placed left to right, oldest first.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/report_data.h"

namespace vexor {

// The height of a rank in a rank chart: 0 for rank 1 to 100 for rank 100 (and anything lower),
// on a logarithmic scale so that moves near the top stay visible.
int rankHeight(int32_t rank);

// One keyword's rank over the runs: rank 1 at the top, a polyline (class "rank-line") for each
// stretch of runs in which it ranked; a run without a rank is a gap. A lone ranked run is a
// dot (a polyline, class "rank-line lone", of one point drawn twice). A faint guide marks rank 10.
// A run whose search failed (failed[run], as many as ranks or none) is a gap with a line across
// the chart (class "failed-run"), so that a failure never reads as "not ranked".
std::string rankChart(const std::vector<std::optional<int32_t>>& ranks,
                      const std::vector<bool>& failed = {});

// How many keywords stood in the top 3, 10, 30 and 100 in each run: one polyline per band
// (class "band-line band-N"), the count axis from 0 to keywordCount, the first and the last
// run's date under the runs, and a dashed line where a run's engine differs from the one before.
std::string bandChart(const ReportData& data);

}  // namespace vexor
