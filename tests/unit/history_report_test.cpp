// The history report: its figures per keyword and run, its charts, the page and the command
// that writes and opens it.
#include "app/history_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "app/command_dispatch.h"
#include "app/html_text.h"
#include "app/report_charts.h"
#include "app/report_command.h"
#include "app/report_data.h"
#include "app/texts.h"
#include "app_test_fixture.h"
#include "japanese.h"

namespace vexor {
namespace {

using testing::cp932;
using testing::utf8Bytes;
using Rank = std::optional<int32_t>;

// One record of a history built in memory.
struct Record {
    std::string keyword;
    RankEntry entry;
    std::string address = "";
};

// A history built in memory: one run per element, its records in order.
SiteHistory historyOf(const std::vector<std::pair<std::string, std::vector<Record>>>& runs) {
    SiteHistory history;
    int day = 1;
    for (const auto& [engine, records] : runs) {
        HistoryRun run;
        run.start = "2024/05/" + std::string(day < 10 ? "0" : "") + std::to_string(day) + " 07:00:00";
        run.engine = engine;
        ++day;
        for (const Record& record : records) {
            auto [it, added] = history.keywordIndex.try_emplace(record.keyword, static_cast<uint32_t>(history.keywords.size()));
            if (added) history.keywords.push_back(record.keyword);
            run.records.push_back({it->second, record.entry, record.address});
        }
        history.runs.push_back(run);
    }
    return history;
}

const KeywordTrend& trendOf(const ReportData& data, const std::string& keyword) {
    for (const auto& trend : data.keywords)
        if (trend.keyword == keyword) return trend;
    throw std::runtime_error("no trend for " + keyword);
}

TEST(ReportData, CurrentRankChangeBestAndOrder) {
    const SiteHistory history = historyOf({
        {"old", {{"up", 9}, {"down", 2}, {"lost", 4}, {"gone", 1}, {"flat", 0}, {"other", 1}}},
        {"nuq", {{"up", 5}, {"down", 3}, {"lost", 6}, {"new", 0}, {"flat", 0}}},
        {"nuq", {{"up", 2}, {"down", 8}, {"lost", 0}, {"new", 40}, {"flat", 0}, {"up", 1}}},
    });
    const std::deque<std::string> keywords = {"flat", "lost", "down", "up", "new", "gone",
                                              "never", "up"};
    const ReportData data = reportData(history, keywords);

    // The repeated keyword once; ranked by current rank, then not ranked, then no record, ties in
    // survey order.
    std::vector<std::string> order;
    for (const auto& trend : data.keywords) order.push_back(trend.keyword);
    EXPECT_EQ(order, (std::vector<std::string>{"up", "down", "new", "flat", "lost", "gone", "never"}));

    const KeywordTrend& up = trendOf(data, "up");
    EXPECT_EQ(up.ranks, (std::vector<Rank>{9, 5, 2}));  // its second record in run 3 is ignored
    EXPECT_EQ(up.current, 2);
    EXPECT_EQ(up.change, RankChange::Better);
    EXPECT_EQ(up.changeAmount, 3);
    EXPECT_EQ(up.bestRank, 2);
    EXPECT_EQ(up.bestRun, 2u);

    const KeywordTrend& down = trendOf(data, "down");
    EXPECT_EQ(down.change, RankChange::Worse);
    EXPECT_EQ(down.changeAmount, 5);
    EXPECT_EQ(down.bestRank, 2);
    EXPECT_EQ(down.bestRun, 0u);

    EXPECT_EQ(trendOf(data, "new").change, RankChange::NewlyRanked);
    EXPECT_EQ(trendOf(data, "lost").change, RankChange::DroppedOut);
    EXPECT_EQ(trendOf(data, "lost").current, 0);
    EXPECT_EQ(trendOf(data, "flat").change, RankChange::Unchanged);
    EXPECT_EQ(trendOf(data, "flat").bestRank, std::nullopt);
    const KeywordTrend& gone = trendOf(data, "gone");
    EXPECT_EQ(gone.ranks, (std::vector<Rank>{1, std::nullopt, std::nullopt}));
    EXPECT_EQ(gone.current, std::nullopt);
    EXPECT_EQ(gone.change, RankChange::None);
    EXPECT_EQ(gone.bestRank, 1);
    EXPECT_EQ(trendOf(data, "never").ranks, (std::vector<Rank>(3)));

    // Runs: every record counts, the bands only the survey's keywords.
    ASSERT_EQ(data.runs.size(), 3u);
    EXPECT_EQ(data.runs[0].records, 6u);
    EXPECT_EQ(data.runs[0].engine, "old");
    EXPECT_EQ(data.runs[0].start, "2024/05/01 07:00:00");
    EXPECT_EQ(data.runs[0].inBand, (std::array<int, 4>{2, 4, 4, 4}));  // gone 1, down 2, lost 4, up 9
    EXPECT_EQ(data.runs[2].inBand, (std::array<int, 4>{1, 2, 2, 3}));  // up 2, down 8, new 40
}

const SearchFailure HTTP_429{3, FailureCause::HttpStatus, 429};
const RankEntry FAILED{0, HTTP_429};

TEST(ReportData, AFailureIsAGapCountedPerRunAndNeverAChange) {
    const SiteHistory history = historyOf({
        {"nuq", {{"now", 4}, {"before", 5}, {"retried", 6}, {"out", 1}}},
        {"nuq", {{"now", 3}, {"before", FAILED}, {"retried", FAILED}, {"out", FAILED}}},
        {"nuq", {{"now", FAILED}, {"before", 2}, {"retried", FAILED}, {"retried", 8}, {"out", 0},
                 {"before", FAILED}}},
    });
    const ReportData data = reportData(history, {"never", "now", "before", "retried", "out"});

    // A failed newest record: after the ranked and the not ranked, before no record at all.
    std::vector<std::string> order;
    for (const auto& trend : data.keywords) order.push_back(trend.keyword);
    EXPECT_EQ(order, (std::vector<std::string>{"before", "retried", "out", "now", "never"}));

    const KeywordTrend& now = trendOf(data, "now");
    EXPECT_EQ(now.ranks, (std::vector<Rank>{4, 3, std::nullopt}));
    EXPECT_EQ(now.failed, (std::vector<bool>{false, false, true}));
    EXPECT_EQ(now.current, std::nullopt);
    EXPECT_EQ(now.currentFailure, HTTP_429);
    EXPECT_EQ(now.change, RankChange::None);
    EXPECT_EQ(now.bestRank, 3);

    const KeywordTrend& before = trendOf(data, "before");
    EXPECT_EQ(before.current, 2);  // a later failure in the run does not replace it
    EXPECT_EQ(before.currentFailure, std::nullopt);
    EXPECT_EQ(before.change, RankChange::None);  // nothing known against a failure

    // A failure gives way to a later record of the keyword in the same run.
    const KeywordTrend& retried = trendOf(data, "retried");
    EXPECT_EQ(retried.ranks, (std::vector<Rank>{6, std::nullopt, 8}));
    EXPECT_EQ(retried.failed, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(retried.currentFailure, std::nullopt);

    // Never "dropped out" over a failure, and the bands leave failures out.
    EXPECT_EQ(trendOf(data, "out").change, RankChange::None);
    EXPECT_EQ(data.runs[0].failed, 0);
    EXPECT_EQ(data.runs[1].failed, 3);
    EXPECT_EQ(data.runs[2].failed, 1);
    EXPECT_EQ(data.runs[1].inBand, (std::array<int, 4>{1, 1, 1, 1}));
}

TEST(ReportData, TheNewestRankingAddressIsMarkedWhenTheRunBeforeRankedAnotherPage) {
    const std::string a = "http://www.example.jp/a", b = "http://www.example.jp/b%E3%81%82";
    const SiteHistory history = historyOf({
        {"nuq", {{"moved", {3}, a}, {"kept", {3}, a}, {"unkept", 3}, {"gap", {3}, a}, {"out", {3}, a}}},
        {"nuq", {{"moved", {5}, b}, {"kept", {2}, a}, {"unkept", {3}, b}, {"gap", 0}, {"out", {4}, b}}},
        {"nuq", {{"moved", {5}, b}, {"kept", {2}, a}, {"unkept", {3}, b}, {"gap", {3}, b}, {"out", 0}}},
        {"nuq", {{"moved", {1}, a}, {"kept", {2}, a}, {"unkept", 3}, {"gap", FAILED}, {"out", FAILED}}},
    });
    const ReportData data = reportData(history, {"moved", "kept", "unkept", "gap", "out"});
    const std::tuple<std::string, std::string, bool> cases[] = {
        {"moved", a, true},    // b in the run before
        {"kept", a, false},
        {"unkept", "", false},  // the newest ranked record kept no address
        {"gap", b, false},      // not ranked in the run before its newest ranked one
        {"out", b, true},       // the newest ranked record is not in the newest run
    };
    for (const auto& [keyword, address, changed] : cases) {
        EXPECT_EQ(trendOf(data, keyword).address, address) << keyword;
        EXPECT_EQ(trendOf(data, keyword).addressChanged, changed) << keyword;
    }
    const ReportData older = reportData(historyOf({{"nuq", {{"k", 3}}}, {"nuq", {{"k", {2}, a}}}}), {"k"});
    EXPECT_EQ(older.keywords[0].address, a);
    EXPECT_FALSE(older.keywords[0].addressChanged);  // the record before kept none
}

TEST(ReportData, NoRunsAndNoKeywords) {
    const ReportData empty = reportData(SiteHistory{}, {"a", "b"});
    EXPECT_TRUE(empty.runs.empty());
    ASSERT_EQ(empty.keywords.size(), 2u);
    EXPECT_TRUE(empty.keywords[0].ranks.empty());
    EXPECT_EQ(empty.keywords[0].current, std::nullopt);
    EXPECT_EQ(empty.keywords[0].change, RankChange::None);
    EXPECT_TRUE(reportData(historyOf({{"nuq", {{"a", 1}}}}), {}).keywords.empty());
}

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(ReportCharts, RankOneOnTopAndGapsWhereNotRanked) {
    EXPECT_EQ(rankHeight(1), 0);
    EXPECT_EQ(rankHeight(10), 50);
    EXPECT_EQ(rankHeight(100), 100);
    EXPECT_EQ(rankHeight(250), 100);
    EXPECT_EQ(rankHeight(-4), 0);
    EXPECT_LT(rankHeight(2), rankHeight(3));

    // Stretches: runs 0-1, the lone run 3, runs 5-8 (with a level middle left out).
    const std::vector<Rank> ranks = {1, 10, 0, 100, std::nullopt, 10, 10, 10, 1};
    const std::string svg = rankChart(ranks);
    EXPECT_EQ(count(svg, "<polyline class=\"rank-line"), 3) << svg;
    EXPECT_NE(svg.find("points=\"0,0 1,50\""), std::string::npos) << svg;
    EXPECT_NE(svg.find("class=\"rank-line lone\" points=\"3,100 3,100\""), std::string::npos) << svg;
    EXPECT_NE(svg.find("points=\"5,50 7,50 8,0\""), std::string::npos) << svg;
    EXPECT_NE(svg.find("viewBox=\"0 -6 8 112\""), std::string::npos) << svg;

    EXPECT_EQ(count(rankChart({}), "<polyline"), 0);
    EXPECT_EQ(count(rankChart({0, std::nullopt}), "<polyline"), 0);
    EXPECT_NE(rankChart({7}).find("points=\"0,42 0,42\""), std::string::npos);

    // A failed run: a gap with a line across the chart, never part of a stretch.
    const std::string failed = rankChart({5, std::nullopt, 5, 0}, {false, true, false, false});
    EXPECT_EQ(count(failed, "<line class=\"failed-run\" x1=\"1\" y1=\"-6\" x2=\"1\" y2=\"106\"/>"), 1)
        << failed;
    EXPECT_EQ(count(failed, "class=\"failed-run\""), 1) << failed;
    EXPECT_EQ(count(failed, "class=\"rank-line lone\""), 2) << failed;
}

TEST(ReportCharts, BandChartHasALinePerBandAndMarksEngineChanges) {
    const ReportData data = reportData(historyOf({{"old", {{"a", 2}, {"b", 20}}},
                                                  {"old", {{"a", 1}}},
                                                  {"nuq", {{"a", 5}, {"b", 50}}},
                                                  {"old", {{"a", 50}}}}),
                                       {"a", "b"});
    const std::string svg = bandChart(data);
    EXPECT_EQ(count(svg, "<polyline class=\"band-line"), 4) << svg;
    EXPECT_EQ(count(svg, "class=\"engine-change\""), 2) << svg;
    // Top 3: 1 keyword in runs 1 and 2, none after; x from 44 to 628, count 2 at the top (10).
    EXPECT_NE(svg.find("class=\"band-line band-3\" stroke-width=\"1.5\" "
                       "points=\"44,100 238.7,100 433.3,190 628,190\""),
              std::string::npos) << svg;
    EXPECT_NE(svg.find("class=\"band-line band-100\" stroke-width=\"11\" "
                       "points=\"44,10 238.7,100 433.3,10 628,100\""),
              std::string::npos) << svg;
    EXPECT_NE(svg.find(">2024/05/01<"), std::string::npos);
    EXPECT_NE(svg.find(">2024/05/04<"), std::string::npos);
    EXPECT_EQ(count(bandChart(reportData(SiteHistory{}, {})), "<polyline"), 0);
}

TEST(ReportCharts, TheCountAxisEndsAtARoundNumberAboveTheLargestCount) {
    const struct {
        int largest, top, step;
    } cases[] = {{0, 1, 1},   {1, 1, 1},     {3, 3, 1},       {5, 5, 1},        {6, 6, 2},
                 {7, 8, 2},   {12, 15, 5},   {100, 100, 20},  {101, 150, 50},   {4800, 5000, 1000},
                 {5001, 6000, 2000}};
    for (const auto& c : cases) {
        const CountAxis axis = countAxis(c.largest);
        EXPECT_EQ(std::make_pair(axis.top, axis.step), std::make_pair(c.top, c.step)) << c.largest;
    }
}

// The report page of a history in which keyword "kN" has the Nth entry of its run (a rank, 0 for
// not ranked, or a failure); every run lists only its own entries.
std::string pageOfRuns(const std::vector<std::vector<RankEntry>>& runs) {
    std::vector<std::pair<std::string, std::vector<Record>>> history;
    std::deque<std::string> keywords;
    for (const auto& ranks : runs) {
        auto& [engine, records] = history.emplace_back("nuq", std::vector<Record>{});
        for (std::size_t k = 0; k < ranks.size(); ++k)
            records.push_back({"k" + std::to_string(k), ranks[k]});
        keywords.resize(std::max(keywords.size(), ranks.size()));
    }
    for (std::size_t k = 0; k < keywords.size(); ++k) keywords[k] = "k" + std::to_string(k);
    return historyReportHtml("x.jp", reportData(historyOf(history), keywords),
                             SystemTime{2024, 5, 0, 3, 8, 30, 0, 0});
}

TEST(ReportCharts, OneRunIsABarPerBandOnAnAxisFromItsOwnCounts) {
    // 20 keywords, three ranked: the axis ends at 3, not at 20.
    std::vector<RankEntry> ranks(20, RankEntry{0});
    ranks[4] = 2;
    ranks[9] = 8;
    ranks[15] = 25;
    const std::string page = pageOfRuns({ranks});
    const struct {
        const char* what;
        int times;
    } cases[] = {
        {"<polyline class=\"band-line", 0},
        {"<rect class=\"band-bar band-", 4},
        {"<rect class=\"band-bar band-3\" x=\"166\" y=\"130\" width=\"64\" height=\"60\"/>", 1},
        {"<rect class=\"band-bar band-100\" x=\"442\" y=\"10\" width=\"64\" height=\"180\"/>", 1},
        {"text-anchor=\"middle\">3</text>", 2},  // the top 30 and top 100 bars
        {"text-anchor=\"end\">3</text>", 1},     // the axis's top
        {"text-anchor=\"end\">20</text>", 0},
        {"<line class=\"grid\"", 3},
        {"text-anchor=\"middle\">2024/05/01</text>", 1},
        {"class=\"legend\"", 0},  // the bars carry their names
        {"class=\"note\"", 1},      // the keyword table's note only
    };
    for (const auto& c : cases) EXPECT_EQ(count(page, c.what), c.times) << c.what << "\n" << page;
    EXPECT_NE(page.find(utf8Bytes(u8">上位10位</text>")), std::string::npos);
    EXPECT_NE(page.find(utf8Bytes(u8"<dt>キーワード数</dt><dd>20</dd>")), std::string::npos);
}

TEST(ReportCharts, RunsWithNothingRankedOrEveryKeywordFailedSaySoAndBreakTheLines) {
    const struct {
        std::vector<std::vector<RankEntry>> runs;
        std::u8string_view note;  // empty for none
        int failedRunLines;
        int bandLines;  // a run without a result is a gap in every band's line
    } cases[] = {
        {{{FAILED, FAILED}}, u8"この回はすべてのキーワードの検索に失敗しました。", 0, 0},
        {{{0, 0}}, u8"100位以内に入ったキーワードはまだありません。", 0, 0},
        {{{0, FAILED}}, u8"100位以内に入ったキーワードはまだありません。", 0, 0},
        {{{FAILED, FAILED}, {FAILED, FAILED}}, u8"100位以内に入ったキーワードはまだありません。", 2, 0},
        {{{3, 4}, {FAILED, FAILED}, {5, FAILED}}, u8"", 1, 8},
        {{{3, 4}, {}, {5, 6}, {7, 8}}, u8"", 0, 8},
        {{{3, 4}, {0, FAILED}}, u8"", 0, 4},
    };
    for (const auto& c : cases) {
        const std::string page = pageOfRuns(c.runs);
        const std::size_t chart = page.find("<svg class=\"band-chart\"");
        const std::string section = page.substr(chart, page.find("<h2>", chart) - chart);
        EXPECT_EQ(count(section, "<p class=\"note\">"), c.note.empty() ? 0 : 1) << section;
        EXPECT_NE(section.find(utf8Bytes(c.note)), std::string::npos) << section;
        EXPECT_EQ(count(section, "<line class=\"failed-run\""), c.failedRunLines) << section;
        EXPECT_EQ(count(section, utf8Bytes(u8"すべてのキーワードの検索に失敗した回")),
                  c.failedRunLines > 0 ? 1 : 0) << section;
        EXPECT_EQ(count(section, "<polyline class=\"band-line"), c.bandLines) << section;
    }
    // One run whose every search failed counted nothing, not 0.
    EXPECT_EQ(count(pageOfRuns({{FAILED, FAILED}}), "text-anchor=\"middle\">-</text>"), 4);
}

TEST(ReportCharts, CoincidingBandsNestAndTheLegendDrawsThemAlike) {
    // The top 10 and the top 30 hold the same keywords in every run.
    const std::string page = pageOfRuns({{1, 5, 50}, {2, 6, 60}, {4, 9, 0}});
    const std::size_t chart = page.find("<svg class=\"band-chart\"");
    const std::string svg = page.substr(chart, page.find("</svg>", chart) - chart);
    std::vector<std::size_t> drawnAt;
    double previousWidth = 1e9;
    for (const char* band : {"band-100", "band-30", "band-10", "band-3"}) {
        // Wider bands first, each narrower than the one beneath it, markers the same way.
        const std::regex line(std::string("<polyline class=\"band-line ") + band +
                              "\" stroke-width=\"([0-9.]+)\"");
        std::smatch found;
        ASSERT_TRUE(std::regex_search(svg, found, line)) << band << "\n" << svg;
        const double width = std::stod(found[1]);
        EXPECT_LT(width, previousWidth) << band;
        previousWidth = width;
        drawnAt.push_back(found.position(0));
        EXPECT_EQ(count(svg, std::string("<circle class=\"band-mark ") + band + "\""), 3) << band;
        // The legend's swatch draws the band with the chart's width.
        EXPECT_NE(page.find(std::string("<line class=\"band-line ") + band + "\" stroke-width=\"" +
                            found[1].str() + "\""),
                  std::string::npos) << band;
    }
    EXPECT_TRUE(std::is_sorted(drawnAt.begin(), drawnAt.end()));
    // The newest counts 0 (top 3) and 2 (top 10, 30 and 100): one label per count.
    EXPECT_EQ(count(svg, "class=\"value\""), 2) << svg;
    // Many runs: no markers, which would run together.
    std::vector<std::vector<RankEntry>> many(60, {1, 5});
    EXPECT_EQ(count(pageOfRuns(many), "<circle class=\"band-mark"), 4);  // the legend's
}

TEST(HtmlText, MarkupIsEscapedAndJapaneseBecomesUtf8) {
    EXPECT_EQ(htmlEscaped("a<b>&\"c'"), "a&lt;b&gt;&amp;&quot;c&#39;");
    EXPECT_EQ(htmlText(cp932(u8"表示<ソフト>")), utf8Bytes(u8"表示&lt;ソフト&gt;"));
}

TEST(HistoryReport, ThePageSaysWhatTheFiguresSay) {
    const std::string japanese = cp932(u8"表示 ソフト");
    const SiteHistory history = historyOf({{"old", {{japanese, 9}, {"a<b>", 3}}},
                                           {"nuq", {{japanese, 4}, {"a<b>", 0}}}});
    const ReportData data = reportData(history, {japanese, "a<b>"});
    const std::string html =
        historyReportHtml(cp932(u8"例え.jp"), data, SystemTime{2024, 5, 0, 3, 8, 30, 0, 0});

    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(html.find("name=\"viewport\""), std::string::npos);
    EXPECT_NE(html.find(utf8Bytes(u8"<title>順位レポート: 例え.jp</title>")), std::string::npos);
    EXPECT_NE(html.find(utf8Bytes(u8"<td class=\"keyword\">表示 ソフト</td><td class=\"num current\">4</td>"
                                  "<td class=\"change better\">▲5</td>"
                                  "<td class=\"num best\">4 <span class=\"date\">(2024/05/02)</span></td>")),
              std::string::npos);
    EXPECT_NE(html.find(utf8Bytes(u8"<td class=\"keyword\">a&lt;b&gt;</td><td class=\"num current\">-</td>"
                                  "<td class=\"change out\">圏外へ</td>"
                                  "<td class=\"num best\">3 <span class=\"date\">(2024/05/01)</span></td>")),
              std::string::npos);
    EXPECT_NE(html.find(utf8Bytes(u8"old → nuq")), std::string::npos);
    EXPECT_NE(html.find(utf8Bytes(u8"2024/05/01 – 2024/05/02")), std::string::npos);
    EXPECT_NE(html.find("2024/05/03 08:30"), std::string::npos);
    EXPECT_EQ(count(html, "<polyline class=\"rank-line"), 2);
    EXPECT_EQ(count(html, "<polyline class=\"band-line"), 4);
    // The palette of the result list, and nothing that runs or is fetched.
    EXPECT_NE(html.find("td.better{color:#000000;background:#A6CEE3}"), std::string::npos);
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_EQ(html.find("src="), std::string::npos);
    EXPECT_EQ(html.find("href="), std::string::npos);
    EXPECT_EQ(html.find("url("), std::string::npos);
}

TEST(HistoryReport, AFailureShowsAsAFailureAndAnotherRankingPageIsMarked) {
    const SiteHistory history = historyOf({
        {"nuq", {{"failed", 2}, {"moved", {4}, "http://x.jp/a"}}},
        {"nuq", {{"failed", FAILED}, {"moved", {3}, "http://x.jp/b?p=1&q=<2>"}}},
    });
    const std::string html =
        historyReportHtml("x.jp", reportData(history, {"failed", "moved"}), SystemTime{2024, 5, 0, 3, 8, 30, 0, 0});

    EXPECT_NE(html.find(utf8Bytes(u8"<td class=\"keyword\">failed</td>"
                                  "<td class=\"num current failed\">失敗: HTTP 429 (3 ページ目)</td>"
                                  "<td class=\"change none\"></td>"
                                  "<td class=\"num best\">2 <span class=\"date\">(2024/05/01)</span></td>"
                                  "<td class=\"address\"></td>")),
              std::string::npos) << html;
    EXPECT_EQ(count(html, "<line class=\"failed-run\""), 1);
    // The address as escaped text with the mark, no link.
    EXPECT_NE(html.find(utf8Bytes(u8"<td class=\"address\">http://x.jp/b?p=1&amp;q=&lt;2&gt; "
                                  "<span class=\"moved\" title=\"前回の調査とは別のページが順位に入っています\">"
                                  "別ページ</span></td>")),
              std::string::npos) << html;
    EXPECT_EQ(html.find("href="), std::string::npos);
    // The runs table counts the failure in the second run.
    EXPECT_NE(html.find(utf8Bytes(u8"<th class=\"num\">検索失敗</th>")), std::string::npos);
    EXPECT_NE(html.find("<td class=\"num\">2</td><td class=\"num\">1</td><td class=\"num\">1</td>"
                        "<td class=\"num\">1</td><td class=\"num\">1</td><td class=\"num\">1</td></tr>"),
              std::string::npos) << html;
}

TEST(HistoryReport, ChangeTexts) {
    KeywordTrend trend;
    const std::pair<RankChange, std::u8string> cases[] = {
        {RankChange::Better, u8"▲3"},       {RankChange::Worse, u8"▼3"},
        {RankChange::NewlyRanked, u8"ランクイン"}, {RankChange::DroppedOut, u8"圏外へ"},
        {RankChange::Unchanged, u8"→"},     {RankChange::None, u8""}};
    trend.changeAmount = 3;
    for (const auto& [change, text] : cases) {
        trend.change = change;
        EXPECT_EQ(changeText(trend), cp932(text));
    }
}

using ReportCommand = testing::AppTest;

TEST_F(ReportCommand, WritesTheReportIntoTheHistoryFolderAndOpensIt) {
    ASSERT_TRUE(replaceFileContent(at("s.txt"), "www.example.jp\r\nalpha\r\nbeta\r\n"));
    makeDirectory(at("www.example.jp"));
    ASSERT_TRUE(replaceFileContent(at("www.example.jp\\1.txt"),
                                   "2006/02/01 (nuq)\r\n2006/02/01:10:00:00\talpha\t7\r\n"));
    ASSERT_TRUE(replaceFileContent(at("www.example.jp\\0.txt"),
                                   "2006/02/02 (nuq)\r\n2006/02/02:10:00:00\talpha\t3\r\n"));
    state.lastSurveyPath = "s.txt";
    startupLoad(state, services);
    ui.messages.clear();

    EXPECT_EQ(dispatchCommand(state, services, Command{Command::Kind::WriteReport}), CommandOutcome::Done);
    EXPECT_TRUE(ui.messages.empty());
    const std::string path = files.joined("www.example.jp\\report.html");
    EXPECT_EQ(ui.openedAddresses, std::vector<std::string>{path});
    const std::string html = bytesOf("www.example.jp\\report.html");
    EXPECT_NE(html.find("<td class=\"keyword\">alpha</td><td class=\"num current\">3</td>"
                        "<td class=\"change better\">"),
              std::string::npos);
    EXPECT_NE(html.find("<td class=\"keyword\">beta</td><td class=\"num current\"></td>"), std::string::npos);
    EXPECT_NE(html.find("2006/02/01 14:29"), std::string::npos);  // the pinned clock

    // A second report replaces the first.
    ASSERT_TRUE(replaceFileContent(at("www.example.jp\\0.txt"),
                                   "2006/02/02 (nuq)\r\n2006/02/02:10:00:00\talpha\t9\r\n"));
    dispatchCommand(state, services, Command{Command::Kind::WriteReport});
    EXPECT_NE(bytesOf("www.example.jp\\report.html").find("<td class=\"num current\">9</td>"),
              std::string::npos);
}

TEST_F(ReportCommand, WithoutASurveyOrWhereItCannotBeWrittenItSaysSo) {
    dispatchCommand(state, services, Command{Command::Kind::WriteReport});
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, texts::MSG_NO_SURVEY_OPEN);
    EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
    EXPECT_EQ(ui.messages[0].owner, Owner::MainWindow);

    ASSERT_TRUE(replaceFileContent(at("s.txt"), "www.example.jp\r\nalpha\r\n"));
    state.lastSurveyPath = "s.txt";
    startupLoad(state, services);
    makeDirectory(at("www.example.jp\\report.html"));  // a folder where the file goes
    ui.messages.clear();
    dispatchCommand(state, services, Command{Command::Kind::WriteReport});
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "\"" + files.joined("www.example.jp\\report.html") + "\" " +
                                       std::string(texts::FMT_ENGINE_WRITE_FAILED).substr(5));
    EXPECT_TRUE(ui.openedAddresses.empty());
}

}  // namespace
}  // namespace vexor
