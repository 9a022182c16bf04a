// Drawing the report's charts.
#include "app/report_charts.h"

#include <algorithm>
#include <cmath>

#include "app/html_text.h"

namespace vexor {
namespace {

constexpr int LOWEST_CHARTED_RANK = 100;

// The band chart's drawing area inside its 640 x 230 view box.
constexpr int PLOT_LEFT = 44;
constexpr int PLOT_RIGHT = 628;
constexpr int PLOT_TOP = 10;
constexpr int PLOT_BOTTOM = 190;

// A coordinate (never negative) to one decimal, finer than any screen shows; whole numbers
// drop it.
std::string number(double value) {
    const long long tenths = std::llround(value * 10);
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10 != 0) text += "." + std::to_string(tenths % 10);
    return text;
}

void appendPoint(std::string& points, const std::string& x, int y) {
    if (!points.empty()) points += ' ';
    points += x + "," + std::to_string(y);
}

// The points of ranks[first, last) as polyline coordinates, leaving out points in the middle
// of a level stretch (they add nothing to the line).
std::string stretchPoints(const std::vector<std::optional<int32_t>>& ranks, std::size_t first,
                          std::size_t last) {
    std::string points;
    for (std::size_t i = first; i < last; ++i) {
        const int y = rankHeight(*ranks[i]);
        const bool level = i > first && i + 1 < last && rankHeight(*ranks[i - 1]) == y &&
                           rankHeight(*ranks[i + 1]) == y;
        if (!level) appendPoint(points, std::to_string(i), y);
    }
    if (last - first == 1) appendPoint(points, std::to_string(first), rankHeight(*ranks[first]));
    return points;
}

double runX(std::size_t run, std::size_t runs) {
    if (runs <= 1) return (PLOT_LEFT + PLOT_RIGHT) / 2.0;
    return PLOT_LEFT + (PLOT_RIGHT - PLOT_LEFT) * static_cast<double>(run) / static_cast<double>(runs - 1);
}

double countY(int count, int keywordCount) {
    return PLOT_BOTTOM - (PLOT_BOTTOM - PLOT_TOP) * static_cast<double>(count) /
                             static_cast<double>(std::max(keywordCount, 1));
}

}  // namespace

int rankHeight(int32_t rank) {
    const int32_t charted = std::clamp(rank, 1, LOWEST_CHARTED_RANK);
    return static_cast<int>(std::lround(100.0 * std::log(charted) / std::log(LOWEST_CHARTED_RANK)));
}

std::string rankChart(const std::vector<std::optional<int32_t>>& ranks, const std::vector<bool>& failed) {
    const std::size_t width = std::max<std::size_t>(ranks.size(), 2) - 1;
    const std::string w = std::to_string(width);
    std::string svg = "<svg class=\"rank-chart\" viewBox=\"0 -6 " + w +
                      " 112\" preserveAspectRatio=\"none\" role=\"img\">"
                      "<line class=\"guide\" x1=\"0\" y1=\"" + std::to_string(rankHeight(10)) +
                      "\" x2=\"" + w + "\" y2=\"" + std::to_string(rankHeight(10)) + "\"/>";
    for (std::size_t run = 0; run < failed.size(); ++run)
        if (failed[run])
            svg += "<line class=\"failed-run\" x1=\"" + std::to_string(run) + "\" y1=\"-6\" x2=\"" +
                   std::to_string(run) + "\" y2=\"106\"/>";
    std::size_t run = 0;
    while (run < ranks.size()) {
        if (!ranks[run] || *ranks[run] < 1) {
            ++run;
            continue;
        }
        std::size_t end = run;
        while (end < ranks.size() && ranks[end] && *ranks[end] >= 1) ++end;
        svg += std::string("<polyline class=\"rank-line") + (end - run == 1 ? " lone" : "") +
               "\" points=\"" + stretchPoints(ranks, run, end) + "\"/>";
        run = end;
    }
    return svg + "</svg>";
}

std::string bandChart(const ReportData& data) {
    const std::size_t runs = data.runs.size();
    const int keywordCount = static_cast<int>(data.keywords.size());
    std::string svg = "<svg class=\"band-chart\" viewBox=\"0 0 640 230\" role=\"img\">";
    svg += "<line class=\"axis\" x1=\"" + std::to_string(PLOT_LEFT) + "\" y1=\"" +
           std::to_string(PLOT_BOTTOM) + "\" x2=\"" + std::to_string(PLOT_RIGHT) + "\" y2=\"" +
           std::to_string(PLOT_BOTTOM) + "\"/>";
    svg += "<line class=\"axis\" x1=\"" + std::to_string(PLOT_LEFT) + "\" y1=\"" +
           std::to_string(PLOT_TOP) + "\" x2=\"" + std::to_string(PLOT_LEFT) + "\" y2=\"" +
           std::to_string(PLOT_BOTTOM) + "\"/>";
    svg += "<text class=\"tick\" x=\"38\" y=\"" + std::to_string(PLOT_BOTTOM + 4) +
           "\" text-anchor=\"end\">0</text>";
    svg += "<text class=\"tick\" x=\"38\" y=\"" + std::to_string(PLOT_TOP + 4) +
           "\" text-anchor=\"end\">" + std::to_string(keywordCount) + "</text>";
    if (runs == 0) return svg + "</svg>";

    for (std::size_t run = 1; run < runs; ++run) {
        if (data.runs[run].engine == data.runs[run - 1].engine) continue;
        const std::string x = number(runX(run, runs));
        svg += "<line class=\"engine-change\" x1=\"" + x + "\" y1=\"" + std::to_string(PLOT_TOP) +
               "\" x2=\"" + x + "\" y2=\"" + std::to_string(PLOT_BOTTOM) + "\"><title>" +
               htmlText(data.runs[run].engine) + "</title></line>";
    }
    for (std::size_t band = 0; band < RANK_BANDS.size(); ++band) {
        std::string points;
        for (std::size_t run = 0; run < runs; ++run) {
            const std::string point =
                number(runX(run, runs)) + "," + number(countY(data.runs[run].inBand[band], keywordCount));
            points += (run > 0 ? " " : "") + point;
            if (runs == 1) points += " " + point;
        }
        const std::string top = std::to_string(RANK_BANDS[band]);
        svg += "<polyline class=\"band-line band-" + top + "\" points=\"" + points + "\"/>";
    }
    const std::string labelY = std::to_string(PLOT_BOTTOM + 22);
    svg += "<text class=\"tick\" x=\"" + std::to_string(PLOT_LEFT) + "\" y=\"" + labelY + "\">" +
           htmlText(runDate(data.runs.front().start)) + "</text>";
    if (runs > 1)
        svg += "<text class=\"tick\" x=\"" + std::to_string(PLOT_RIGHT) + "\" y=\"" + labelY +
               "\" text-anchor=\"end\">" + htmlText(runDate(data.runs.back().start)) + "</text>";
    return svg + "</svg>";
}

}  // namespace vexor
