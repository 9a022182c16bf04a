// Drawing the report's charts.
#include "app/report_charts.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>

#include "app/html_text.h"
#include "app/text_format.h"
#include "app/texts.h"

namespace vexor {
namespace {

constexpr int LOWEST_CHARTED_RANK = 100;

// The band chart's drawing area inside its 672 x 230 view box; the newest counts stand in the
// margin on the right.
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

double countY(int count, const CountAxis& axis) {
    return PLOT_BOTTOM - (PLOT_BOTTOM - PLOT_TOP) * static_cast<double>(count) / axis.top;
}

// The line width of each band of RANK_BANDS: the wider the band, the wider its line, so that
// the lines nest where they coincide.
constexpr double BAND_WIDTHS[] = {1.5, 4, 7, 11};
static_assert(std::size(BAND_WIDTHS) == RANK_BANDS.size());

double markRadius(std::size_t band) { return BAND_WIDTHS[band] / 2 + 1.5; }

// Markers stand at every run while the runs lie at least this far apart (view box units).
constexpr double MARKED_RUN_SPACING = 14;

std::string bandClass(std::size_t band) { return "band-" + std::to_string(RANK_BANDS[band]); }

std::string textAt(const std::string& x, double y, const char* anchor, const std::string& text,
                   const char* cls = "tick") {
    return std::string("<text class=\"") + cls + "\" x=\"" + x + "\" y=\"" + number(y) +
           "\" text-anchor=\"" + anchor + "\">" + text + "</text>";
}

std::string horizontalLine(const char* cls, double y) {
    const std::string at = number(y);
    return std::string("<line class=\"") + cls + "\" x1=\"" + std::to_string(PLOT_LEFT) + "\" y1=\"" + at +
           "\" x2=\"" + std::to_string(PLOT_RIGHT) + "\" y2=\"" + at + "\"/>";
}

std::string verticalLine(const char* cls, double x, const std::string& title) {
    const std::string at = number(x);
    return std::string("<line class=\"") + cls + "\" x1=\"" + at + "\" y1=\"" + std::to_string(PLOT_TOP) +
           "\" x2=\"" + at + "\" y2=\"" + std::to_string(PLOT_BOTTOM) + "\"><title>" + title +
           "</title></line>";
}

std::string countGrid(const CountAxis& axis) {
    std::string svg;
    for (int count = 0; count <= axis.top; count += axis.step) {
        const double y = countY(count, axis);
        if (count > 0) svg += horizontalLine("grid", y);
        svg += textAt("38", y + 4, "end", std::to_string(count));
    }
    return svg + horizontalLine("axis", PLOT_BOTTOM) +
           "<line class=\"axis\" x1=\"" + std::to_string(PLOT_LEFT) + "\" y1=\"" + std::to_string(PLOT_TOP) +
           "\" x2=\"" + std::to_string(PLOT_LEFT) + "\" y2=\"" + std::to_string(PLOT_BOTTOM) + "\"/>";
}

// One run: the bands side by side, each with its count and its name.
std::string bandBars(const RunSummary& run, const CountAxis& axis) {
    constexpr double BAR_WIDTH = 64;
    constexpr double BAR_GAP = 28;
    const double first = (PLOT_LEFT + PLOT_RIGHT) / 2.0 -
                         (RANK_BANDS.size() * BAR_WIDTH + (RANK_BANDS.size() - 1) * BAR_GAP) / 2;
    std::string svg;
    for (std::size_t band = 0; band < RANK_BANDS.size(); ++band) {
        const double x = first + band * (BAR_WIDTH + BAR_GAP);
        const double y = countY(run.inBand[band], axis);
        const std::string middle = number(x + BAR_WIDTH / 2);
        svg += "<rect class=\"band-bar " + bandClass(band) + "\" x=\"" + number(x) + "\" y=\"" +
               number(y) + "\" width=\"" + number(BAR_WIDTH) + "\" height=\"" + number(PLOT_BOTTOM - y) +
               "\"/>";
        // A run without a result counted nothing: its bars say "-", not 0.
        svg += textAt(middle, y - 5, "middle", run.results > 0 ? std::to_string(run.inBand[band]) : "-",
                      "value");
        svg += textAt(middle, PLOT_BOTTOM + 16, "middle",
                      htmlText(formatWithNumber(texts::FMT_REPORT_BAND, RANK_BANDS[band])), "band-name");
    }
    return svg + textAt(number((PLOT_LEFT + PLOT_RIGHT) / 2.0), PLOT_BOTTOM + 34, "middle",
                        htmlText(runDate(run.start)));
}

// The newest run's counts beside the lines' right ends: one label per distinct count, moved
// apart just enough to stay readable and kept inside the chart.
std::string endLabels(const RunSummary& newest, const CountAxis& axis) {
    constexpr double LABEL_GAP = 20;  // a label's height at phone width
    std::vector<int> counts(newest.inBand.begin(), newest.inBand.end());
    std::sort(counts.begin(), counts.end(), std::greater<>());
    counts.erase(std::unique(counts.begin(), counts.end()), counts.end());
    std::vector<double> ys;
    for (const int count : counts) {
        const double y = countY(count, axis) + 4;
        ys.push_back(ys.empty() ? y : std::max(y, ys.back() + LABEL_GAP));
    }
    double lowest = PLOT_BOTTOM + 4;
    for (std::size_t i = ys.size(); i-- > 0; lowest = ys[i] - LABEL_GAP) ys[i] = std::min(ys[i], lowest);
    std::string svg;
    for (std::size_t i = 0; i < counts.size(); ++i)
        svg += textAt(std::to_string(PLOT_RIGHT + 8), ys[i], "start", std::to_string(counts[i]), "value");
    return svg;
}

std::string bandLines(const ReportData& data, const CountAxis& axis) {
    const std::size_t runs = data.runs.size();
    const bool marked = (PLOT_RIGHT - PLOT_LEFT) / static_cast<double>(runs - 1) >= MARKED_RUN_SPACING;
    std::string svg;
    for (std::size_t run = 0; run < runs; ++run) {
        if (everyKeywordFailed(data.runs[run]))
            svg += verticalLine("failed-run", runX(run, runs), htmlText(data.runs[run].start));
        else if (run > 0 && data.runs[run].engine != data.runs[run - 1].engine)
            svg += verticalLine("engine-change", runX(run, runs), htmlText(data.runs[run].engine));
    }
    for (std::size_t band = RANK_BANDS.size(); band-- > 0;) {
        const std::string line = "<polyline class=\"band-line " + bandClass(band) + "\" stroke-width=\"" +
                                 number(BAND_WIDTHS[band]) + "\" points=\"";
        std::string marks;
        std::size_t run = 0;
        while (run < runs) {
            if (data.runs[run].results == 0) {
                ++run;
                continue;
            }
            std::string points;
            std::string point;
            const std::size_t first = run;
            for (; run < runs && data.runs[run].results > 0; ++run) {
                const std::string x = number(runX(run, runs));
                const std::string y = number(countY(data.runs[run].inBand[band], axis));
                point = x + "," + y;
                points += (run > first ? " " : "") + point;
                if (marked)
                    marks += "<circle class=\"band-mark " + bandClass(band) + "\" cx=\"" + x +
                             "\" cy=\"" + y + "\" r=\"" + number(markRadius(band)) + "\"/>";
            }
            if (run - first == 1) points += " " + point;  // a lone run: a dot of round line ends
            svg += line + points + "\"/>";
        }
        svg += marks;
    }
    const double labelY = PLOT_BOTTOM + 22;
    if (data.runs.back().results > 0) svg += endLabels(data.runs.back(), axis);
    return svg +
           textAt(std::to_string(PLOT_LEFT), labelY, "start", htmlText(runDate(data.runs.front().start))) +
           textAt(std::to_string(PLOT_RIGHT), labelY, "end", htmlText(runDate(data.runs.back().start)));
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

CountAxis countAxis(int largest) {
    if (largest <= 0) return {};
    for (int scale = 1;; scale *= 10)
        for (const int round : {1, 2, 5}) {
            const int step = round * scale;
            const int steps = (largest + step - 1) / step;
            if (steps <= 5) return {steps * step, step};
        }
}

bool everyKeywordFailed(const RunSummary& run) { return run.failed > 0 && run.results == 0; }

std::string bandChart(const ReportData& data) {
    int largest = 0;
    for (const RunSummary& run : data.runs)
        largest = std::max(largest, *std::max_element(run.inBand.begin(), run.inBand.end()));
    const CountAxis axis = countAxis(largest);
    std::string svg = "<svg class=\"band-chart\" viewBox=\"0 0 672 230\" role=\"img\">" + countGrid(axis);
    if (data.runs.size() == 1) svg += bandBars(data.runs.front(), axis);
    if (data.runs.size() > 1) svg += bandLines(data, axis);
    return svg + "</svg>";
}

std::string bandSwatch(std::size_t band) {
    return "<svg class=\"swatch\" viewBox=\"0 0 32 12\"><line class=\"band-line " + bandClass(band) +
           "\" stroke-width=\"" + number(BAND_WIDTHS[band]) + "\" x1=\"3\" y1=\"6\" x2=\"29\" y2=\"6\"/>"
           "<circle class=\"band-mark " + bandClass(band) + "\" cx=\"16\" cy=\"6\" r=\"" +
           number(markRadius(band)) + "\"/></svg>";
}

}  // namespace vexor
