// The report's charts as inline SVG in UTF-8 (the page around them gives their legend). Runs are
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

// The band chart's count axis: from 0 to top in steps of step, step a round number (1, 2 or 5
// times a power of ten) and top the smallest multiple of it at or above largest, in at most five
// steps, so that a few keywords of a long survey still fill the chart. largest 0 gives 0 to 1.
struct CountAxis {
    int top = 1;
    int step = 1;
};
CountAxis countAxis(int largest);

// Whether every search of a run failed (and it made any): its zero counts mean nothing.
bool everyKeywordFailed(const RunSummary& run);

// How many keywords stood in the top 3, 10, 30 and 100 in each run, on countAxis of the largest
// count, with a grid line per step.
// One run: a bar per band (class "band-bar band-N") with its count ("-" when the run has no
// result) above and its name under it, the run's date below.
// More runs: a polyline per band (class "band-line band-N") for each stretch of runs with a
// result (a run in which every search failed or nothing was recorded is a gap), drawn from the
// top 100 down to the top 3 with widths that narrow in that order, so that where bands hold the
// same keywords the narrower line lies inside the wider one and both show; a marker per run
// (class "band-mark band-N", nested the same way) while the runs stand far enough apart; the
// newest run's counts at the right end (one label per distinct count, kept apart); the first and
// the last run's dates; a dashed line where a run's engine differs from the one before; a line
// across a run in which every search failed (class "failed-run") instead of the engine's line.
std::string bandChart(const ReportData& data);

// The legend's sample of a band's line and marker (class "swatch"), drawn as the chart draws it.
std::string bandSwatch(std::size_t band);

}  // namespace vexor
