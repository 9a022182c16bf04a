// Writing the history report's page.
#include "app/history_report.h"

#include <cstdio>
#include <iterator>

#include "app/html_text.h"
#include "app/rank_colours.h"
#include "app/report_charts.h"
#include "app/survey_display.h"
#include "app/text_format.h"
#include "app/texts.h"
#include "platform/text.h"

namespace vexor {
namespace {

// The four bands' colours: blue, bluish green, orange, reddish purple, which stay apart for
// colour-blind readers; the chart's line widths tell them apart in grey too.
constexpr const char* BAND_COLOURS[] = {"#0072B2", "#009E73", "#E69F00", "#CC79A7"};
static_assert(std::size(BAND_COLOURS) == RANK_BANDS.size());

constexpr const char* STYLE =
    "*{box-sizing:border-box}"
    "body{margin:0 auto;max-width:980px;padding:12px 16px;color:#222;background:#fff;"
    "font-family:\"IPAPGothic\",\"IPAGothic\",\"Noto Sans CJK JP\",\"Hiragino Sans\",\"Meiryo\","
    "sans-serif;font-size:15px;line-height:1.5}"
    "h1{font-size:1.5em;margin:.2em 0 .5em}"
    "h2{font-size:1.15em;margin:1.4em 0 .4em;border-bottom:2px solid #1F78B4}"
    ".facts{display:grid;grid-template-columns:max-content minmax(0,1fr);gap:2px 16px;margin:0}"
    ".facts dt{font-weight:bold}.facts dd{margin:0}"
    // Names break at spaces and punctuation, not inside a Japanese word; one that is still too
    // long for its line breaks where it must rather than run off the page.
    ".facts dd,td.keyword,td.engine{word-break:keep-all;overflow-wrap:break-word}"
    ".scroll{overflow-x:auto}"
    "table{border-collapse:collapse;width:100%}"
    "th,td{border-bottom:1px solid #ddd;padding:4px 8px;text-align:left;vertical-align:middle}"
    "th{background:#f3f3f3;white-space:nowrap}th.num{text-align:right}"
    "td.num{text-align:right;white-space:nowrap;font-variant-numeric:tabular-nums}"
    "td.keyword{min-width:7em}"
    "td.change{white-space:nowrap;text-align:center}"
    "td.current.failed{white-space:normal;color:#A0301A;font-size:.9em}"
    "td.address{overflow-wrap:anywhere;min-width:10em;font-size:.85em}"
    ".moved{display:inline-block;margin-left:4px;padding:0 4px;border:1px solid #A0301A;"
    "border-radius:3px;color:#A0301A;font-size:.9em;white-space:nowrap}"
    ".legend{display:flex;flex-wrap:wrap;gap:4px 16px;margin:4px 0;padding:0;list-style:none}"
    ".legend span{display:inline-block;width:28px;height:0;vertical-align:middle;margin-right:4px}"
    ".legend svg.swatch{width:32px;height:12px;vertical-align:middle;margin-right:4px}"
    "svg.band-chart{width:100%;max-width:672px;height:auto;display:block;overflow:visible;"
    "margin-top:14px}"
    "svg.band-chart .axis{stroke:#888;stroke-width:1}"
    "svg.band-chart .grid{stroke:#e4e4e4;stroke-width:1}"
    "svg.band-chart .tick,svg.band-chart .band-name{font-size:12px;fill:#444}"
    "svg.band-chart .value{font-size:13px;font-weight:bold;fill:#222}"
    "svg.band-chart .failed-run{stroke:#D55E00;stroke-width:2;stroke-dasharray:3 2}"
    "svg.band-chart .engine-change{stroke:#777;stroke-width:1;stroke-dasharray:2 4}"
    // The band lines keep their widths on a narrow screen, so that nested lines still show.
    ".band-line{fill:none;stroke-linejoin:round;stroke-linecap:round;vector-effect:non-scaling-stroke}"
    "svg .band-mark,svg .band-bar{stroke:none}"
    "svg.rank-chart{width:180px;height:36px;display:block;overflow:visible}"
    ".rank-line{fill:none;stroke:#1F78B4;stroke-width:2;stroke-linejoin:round;stroke-linecap:round;"
    "vector-effect:non-scaling-stroke}.rank-line.lone{stroke-width:6}"
    "svg.rank-chart .guide{stroke:#ccc;stroke-width:1;stroke-dasharray:2 2;"
    "vector-effect:non-scaling-stroke}"
    "svg.rank-chart .failed-run{stroke:#D55E00;stroke-width:2;stroke-dasharray:3 2;"
    "vector-effect:non-scaling-stroke}"
    ".note{color:#555;font-size:.9em}"
    ".date{white-space:nowrap}"
    // A phone: each keyword's chart goes under its figures, across the whole row.
    "@media (max-width:600px){body{padding:8px;font-size:14px}th,td{padding:3px 4px}"
    "th{white-space:normal}table.runs{font-size:.85em}table.runs th{word-break:keep-all}"
    "td.engine{min-width:8em}"
    // The chart shrinks to the screen; its words do not.
    "svg.band-chart .tick,svg.band-chart .value{font-size:19px}"
    "svg.band-chart .band-name{font-size:17px}"
    "table.keywords tr{display:grid;grid-template-columns:minmax(0,1fr) 4.4em 5.6em 6.4em;"
    "border-bottom:1px solid #ddd}"
    "table.keywords td,table.keywords th{border:0}"
    "table.keywords th.address,table.keywords th:last-child{display:none}"
    "table.keywords td.address,table.keywords td.trend{grid-column:1/-1;padding-top:0}"
    // A failure's text takes the place of the change, which it never has.
    "table.keywords td.current.failed{grid-column:span 2}"
    "table.keywords td.current.failed+td.change{display:none}"
    "td.best .date{display:block;font-size:.85em;color:#555}"
    "svg.rank-chart{width:100%;height:32px}}";

// The CSS class of a change, and its rule in the palette of the result list.
const char* changeClass(RankChange change) {
    switch (change) {
        case RankChange::Better: return "better";
        case RankChange::Worse: return "worse";
        case RankChange::NewlyRanked: return "new";
        case RankChange::DroppedOut: return "out";
        case RankChange::Unchanged: return "same";
        case RankChange::None: break;
    }
    return "none";
}

std::string hex(const Rgb& rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", rgb.red, rgb.green, rgb.blue);
    return text;
}

std::string paletteStyle() {
    std::string css;
    for (const RankChange change : {RankChange::Better, RankChange::Worse, RankChange::NewlyRanked,
                                    RankChange::DroppedOut, RankChange::Unchanged}) {
        const auto colours = changeColours(change);
        css += std::string("td.") + changeClass(change) + "{color:" + hex(colours->text) +
               ";background:" + hex(colours->fill) + "}";
    }
    return css;
}

// A system text (code page 932) for the page.
std::string word(const char* text) { return htmlText(text); }

std::string enginesText(const ReportData& data) {
    std::string engines;
    for (std::size_t run = 0; run < data.runs.size(); ++run) {
        if (run > 0 && data.runs[run].engine == data.runs[run - 1].engine) continue;
        if (!engines.empty()) engines += " \xE2\x86\x92 ";  // →, UTF-8
        engines += htmlText(data.runs[run].engine.empty() ? "-" : data.runs[run].engine);
    }
    return engines.empty() ? "-" : engines;
}

std::string factsList(const std::string& target, const ReportData& data, const SystemTime& writtenAt) {
    auto fact = [](const char* name, const std::string& value) {
        return "<dt>" + word(name) + "</dt><dd>" + value + "</dd>";
    };
    std::string period = "-";
    if (!data.runs.empty())
        period = htmlText(runDate(data.runs.front().start));
    if (data.runs.size() > 1 && runDate(data.runs.back().start) != runDate(data.runs.front().start))
        period += " \xE2\x80\x93 " + htmlText(runDate(data.runs.back().start));  // –, UTF-8
    return "<dl class=\"facts\">" + fact(texts::REPORT_SITE, htmlText(target)) +
           fact(texts::REPORT_ENGINE, enginesText(data)) +
           fact(texts::REPORT_KEYWORD_COUNT, std::to_string(data.keywords.size())) +
           fact(texts::REPORT_RUNS, std::to_string(data.runs.size())) +
           fact(texts::REPORT_PERIOD, period) +
           fact(texts::REPORT_WRITTEN_AT,
                htmlText(formatDate(writtenAt) + " " + formatHourMinute(writtenAt))) +
           "</dl>";
}

// The chart's legend and notes. One run's bars carry their names, so only a note on a run with
// every search failed, or with nothing ranked, goes under them.
std::string bandSection(const ReportData& data) {
    std::string html = "<h2>" + word(texts::REPORT_BANDS_HEADING) + "</h2>" + bandChart(data);
    bool engineChanged = false;
    bool runFailed = false;
    bool ranked = false;
    for (std::size_t run = 0; run < data.runs.size(); ++run) {
        const bool failed = everyKeywordFailed(data.runs[run]);
        runFailed = runFailed || failed;
        engineChanged = engineChanged ||
                        (!failed && run > 0 && data.runs[run].engine != data.runs[run - 1].engine);
        ranked = ranked || data.runs[run].inBand.back() > 0;
    }
    if (data.runs.size() > 1) {
        html += "<ul class=\"legend\">";
        for (std::size_t band = 0; band < RANK_BANDS.size(); ++band)
            html += "<li>" + bandSwatch(band) +
                    htmlText(formatWithNumber(texts::FMT_REPORT_BAND, RANK_BANDS[band])) + "</li>";
        if (engineChanged)
            html += "<li><span style=\"border-top:1px dashed #777\"></span>" +
                    word(texts::REPORT_ENGINE_CHANGE) + "</li>";
        if (runFailed)
            html += "<li><span style=\"border-top:2px dashed #D55E00\"></span>" +
                    word(texts::REPORT_ALL_FAILED_RUN) + "</li>";
        html += "</ul>";
    }
    if (data.runs.size() == 1 && runFailed)
        html += "<p class=\"note\">" + word(texts::REPORT_ONE_RUN_ALL_FAILED) + "</p>";
    else if (!data.runs.empty() && !ranked)
        html += "<p class=\"note\">" + word(texts::REPORT_NOTHING_RANKED) + "</p>";
    return html;
}

std::string bestText(const KeywordTrend& trend, const ReportData& data) {
    if (!trend.bestRank) return "-";
    return std::to_string(*trend.bestRank) + " <span class=\"date\">(" +
           htmlText(runDate(data.runs[trend.bestRun].start)) + ")</span>";
}

// The cell text of the keyword's newest record: its rank, "-" or its failure.
std::string currentText(const KeywordTrend& trend) {
    if (trend.currentFailure) return rankCellText(RankEntry{0, trend.currentFailure});
    return rankCellText(trend.current ? std::optional<RankEntry>(*trend.current) : std::nullopt);
}

// The address as text, never a link: the page fetches nothing and opens nothing by itself.
std::string addressText(const KeywordTrend& trend) {
    std::string html = htmlText(trend.address);
    if (trend.addressChanged)
        html += " <span class=\"moved\" title=\"" + word(texts::REPORT_ADDRESS_CHANGED_NOTE) + "\">" +
                word(texts::REPORT_ADDRESS_CHANGED) + "</span>";
    return html;
}

std::string keywordSection(const ReportData& data) {
    std::string html = "<h2>" + word(texts::REPORT_KEYWORDS_HEADING) + "</h2>"
                       "<div class=\"scroll\"><table class=\"keywords\"><thead><tr>"
                       "<th>" + word(texts::CAPTION_KEYWORD) + "</th>"
                       "<th class=\"num\">" + word(texts::REPORT_CURRENT_RANK) + "</th>"
                       "<th>" + word(texts::REPORT_CHANGE) + "</th>"
                       "<th class=\"num\">" + word(texts::REPORT_BEST_RANK) + "</th>"
                       "<th class=\"address\">" + word(texts::REPORT_ADDRESS) + "</th>"
                       "<th>" + word(texts::REPORT_TREND) + "</th></tr></thead><tbody>";
    for (const KeywordTrend& trend : data.keywords) {
        html += "<tr><td class=\"keyword\">" + htmlText(trend.keyword) + "</td>";
        html += std::string("<td class=\"num current") + (trend.currentFailure ? " failed" : "") +
                "\">" + htmlText(currentText(trend)) + "</td>";
        html += std::string("<td class=\"change ") + changeClass(trend.change) + "\">" +
                htmlText(changeText(trend)) + "</td>";
        html += "<td class=\"num best\">" + bestText(trend, data) + "</td>";
        html += "<td class=\"address\">" + addressText(trend) + "</td>";
        html += "<td class=\"trend\">" + rankChart(trend.ranks, trend.failed) + "</td></tr>";
    }
    return html + "</tbody></table></div><p class=\"note\">" + word(texts::REPORT_TREND_NOTE) + "</p>";
}

std::string runSection(const ReportData& data) {
    std::string html = "<h2>" + word(texts::REPORT_RUNS_HEADING) + "</h2>";
    if (data.runs.empty()) return html + "<p>" + word(texts::REPORT_NO_RUNS) + "</p>";
    html += "<div class=\"scroll\"><table class=\"runs\"><thead><tr><th class=\"num\">#</th>"
            "<th>" + word(texts::REPORT_RUN_START) + "</th>"
            "<th>" + word(texts::REPORT_ENGINE) + "</th>"
            "<th class=\"num\">" + word(texts::REPORT_RUN_RECORDS) + "</th>";
    for (const int32_t band : RANK_BANDS)
        html += "<th class=\"num\">" + htmlText(formatWithNumber(texts::FMT_REPORT_BAND, band)) + "</th>";
    html += "<th class=\"num\">" + word(texts::REPORT_RUN_FAILED) + "</th></tr></thead><tbody>";
    for (std::size_t run = 0; run < data.runs.size(); ++run) {
        const RunSummary& summary = data.runs[run];
        html += "<tr><td class=\"num\">" + std::to_string(run + 1) + "</td><td>" +
                htmlText(summary.start) + "</td><td class=\"engine\">" + htmlText(summary.engine) +
                "</td><td class=\"num\">" + std::to_string(summary.records) + "</td>";
        for (const int count : summary.inBand)
            html += "<td class=\"num\">" + std::to_string(count) + "</td>";
        html += "<td class=\"num\">" + std::to_string(summary.failed) + "</td></tr>";
    }
    return html + "</tbody></table></div>";
}

}  // namespace

std::string changeText(const KeywordTrend& trend) {
    switch (trend.change) {
        case RankChange::Better:
            return texts::CHANGE_BETTER_MARK + std::to_string(trend.changeAmount);
        case RankChange::Worse:
            return texts::CHANGE_WORSE_MARK + std::to_string(trend.changeAmount);
        case RankChange::NewlyRanked: return texts::CHANGE_NEWLY_RANKED;
        case RankChange::DroppedOut: return texts::CHANGE_DROPPED_OUT;
        case RankChange::Unchanged: return texts::CHANGE_UNCHANGED;
        case RankChange::None: break;
    }
    return "";
}

std::string historyReportHtml(const std::string& target, const ReportData& data,
                              const SystemTime& writtenAt) {
    std::string html;
    html.reserve(4096 + data.keywords.size() * (400 + data.runs.size() * 8));
    html += "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\">"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
            "<title>" + word(texts::REPORT_TITLE) + ": " + htmlText(target) + "</title><style>";
    html += STYLE;
    html += paletteStyle();
    for (std::size_t band = 0; band < RANK_BANDS.size(); ++band) {
        const std::string name = "band-" + std::to_string(RANK_BANDS[band]);
        html += "." + name + "{stroke:" + BAND_COLOURS[band] + "}.band-mark." + name + ",.band-bar." +
                name + "{fill:" + BAND_COLOURS[band] + "}";
    }
    html += "</style></head>\n<body><h1>" + word(texts::REPORT_TITLE) + "</h1>";
    html += factsList(target, data, writtenAt);
    html += bandSection(data);
    html += "\n" + keywordSection(data);
    html += "\n" + runSection(data);
    html += "\n</body></html>\n";
    return html;
}

}  // namespace vexor
