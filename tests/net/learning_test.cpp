// Learning engines from the fake engine's live pages with the learn command, the real page
// fetcher and each page layout, then reading result pages with what was learnt.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "app/texts.h"
#include "app/learn_command.h"
#include "fake_engine_control.h"
#include "fake_ui.h"
#include "japanese.h"
#include "tokyo_sample.h"
#include "engine/page_kind.h"
#include "engine/page_links.h"
#include "web/page_fetcher.h"
#include "engine/query_address.h"

namespace vexor {
namespace {

using test::controlRequest;
using test::listedResults;
using test::TOKYO_EUC_ESCAPED;
using test::TOKYO_SJIS_ESCAPED;
using test::TOKYO_UTF8;
using test::TOKYO_UTF8_ESCAPED;
using test::FakeEngineTest;

// The fake engine's own list of the results for 東京 on host, in rank order.
std::vector<std::string> tokyoResults(const std::string& host) { return listedResults(TOKYO_UTF8, host); }

std::vector<std::string> slice(const std::vector<std::string>& all, std::size_t from, std::size_t count) {
    return {all.begin() + static_cast<long>(from), all.begin() + static_cast<long>(from + count)};
}

struct Sample {
    std::string host;
    std::string page2Path;  // "%s" stands for the escaped keyword
    std::string page3Path;
    const char* keywordForm;
    std::string startMarker = {};
    std::string endMarker = {};
};

std::string withKeyword(const std::string& path, const char* form) {
    std::string address = path;
    return address.replace(address.find("%s"), 2, form);
}

// The dialog's fields for a sample search of 東京 on host, the result fields as a user copies
// them from the results page (with the size and date that follow the address).
EngineFields fieldsFor(const Sample& s) {
    const auto results = tokyoResults(s.host);
    EngineFields fields;
    fields.keyword = testing::cp932(u8"東京");
    fields.page2Url = "http://" + s.host + withKeyword(s.page2Path, s.keywordForm);
    fields.page3Url = "http://" + s.host + withKeyword(s.page3Path, s.keywordForm);
    fields.firstResultUrl = results.at(0) + " - 12k - 2006/03/07";
    fields.tenthResultUrl = results.at(9);
    fields.startMarker = s.startMarker;
    fields.endMarker = s.endMarker;
    return fields;
}

std::vector<std::string> linksOnPage(const EngineDefinition& engine, int page) {
    const std::string address = queryAddressOf(engine, engine.keyword, page);
    const std::atomic<bool> never{false};
    std::string body;
    fetchPage(address, body, never);
    const PageLinks read = readResultPage(body, engine, address);
    return {read.links.begin(), read.links.end()};
}

std::string pageBody(const std::string& address) {
    std::string body;
    fetchPage(address, body, std::atomic<bool>{false});
    return body;
}

SystemTime at(uint16_t day, uint16_t hour) { return {2006, 3, 0, day, hour, 5, 0, 0}; }

class LiveLearning : public FakeEngineTest {
protected:
    // Runs the learn command on engine with the dialog holding fields; the first line of the
    // message it showed (the whole message stays in message).
    std::string learn(const EngineFields& fields, SystemTime now) {
        testing::FakeUi ui;
        ui.fields = fields;
        learnDefinition(engine, ui, ui, fetchPage, [now] { return now; });
        EXPECT_EQ(ui.messages.size(), 1u);
        status = ui.engineStatus();
        message = ui.messages.empty() ? std::string() : ui.messages.back().text;
        return message.substr(0, message.find('\n'));
    }

    EngineDefinition engine;
    std::string status;
    std::string message;
};

struct Expected {
    KeywordEncoding encoding;
    int32_t pageStep;
    int32_t pageOffset;
    LinkSelection selection;
    int32_t stride;
    std::size_t rules;
};

TEST_F(LiveLearning, EveryLayoutIsLearntAndItsPagesReadBack) {
    const std::pair<Sample, Expected> cases[] = {
        {{"plain.engine.test", "/search?q=%s&start=10&hl=ja", "/search?q=%s&start=20&hl=ja", TOKYO_UTF8_ESCAPED},
         {KeywordEncoding::Utf8, 10, 0, LinkSelection::ExactlyTen, 1, 1}},
        {{"pagenum.engine.test", "/find?p=2&q=%s", "/find?p=3&q=%s", TOKYO_EUC_ESCAPED},
         {KeywordEncoding::EucJp, 1, 1, LinkSelection::ExactlyTen, 1, 1}},
        {{"sjis.engine.test", "/cgi-bin/search.cgi?kw=%s&first=11", "/cgi-bin/search.cgi?kw=%s&first=21",
          TOKYO_SJIS_ESCAPED},
         {KeywordEncoding::ShiftJis, 10, 1, LinkSelection::ExactlyTen, 1, 1}},
        {{"sponsored.engine.test", "/search?q=%s&start=10", "/search?q=%s&start=20", TOKYO_UTF8_ESCAPED},
         {KeywordEncoding::Utf8, 10, 0, LinkSelection::LastTen, 1, 1}},
        {{"extra.engine.test", "/search?query=%s&b=11", "/search?query=%s&b=21", TOKYO_EUC_ESCAPED},
         {KeywordEncoding::EucJp, 10, 1, LinkSelection::FirstTen, 1, 1}},
        {{"double.engine.test", "/s?p=2&q=%s", "/s?p=3&q=%s", TOKYO_UTF8_ESCAPED},
         {KeywordEncoding::Utf8, 1, 1, LinkSelection::FirstTen, 2, 2}},
        {{"boxed.engine.test", "/search?q=%s&start=10", "/search?q=%s&start=20", TOKYO_SJIS_ESCAPED,
          "<!-- RESULTS BEGIN -->", "<!-- RESULTS END -->"},
         {KeywordEncoding::ShiftJis, 10, 0, LinkSelection::ExactlyTen, 1, 1}},
    };
    for (const auto& [sample, expected] : cases) {
        SCOPED_TRACE(sample.host);
        engine = EngineDefinition{};
        EXPECT_EQ(learn(fieldsFor(sample), at(7, 9)), texts::MSG_LEARN_SUCCEEDED);
        EXPECT_EQ(engine.keywordEncoding, expected.encoding);
        EXPECT_EQ(engine.pageStep, expected.pageStep);
        EXPECT_EQ(engine.pageOffset, expected.pageOffset);
        ASSERT_EQ(engine.linkRules.size(), expected.rules);
        for (const auto& rule : engine.linkRules) {
            EXPECT_EQ(rule.selection, expected.selection);
            EXPECT_EQ(rule.stride, expected.stride);
            EXPECT_EQ(rule, engine.linkRules[0]);
        }
        EXPECT_EQ(engine.learnedAt, at(7, 9));
        // What was learnt reads the results of pages 1 and 3 in order.
        const auto results = tokyoResults(sample.host);
        EXPECT_EQ(linksOnPage(engine, 1), slice(results, 0, 10));
        EXPECT_EQ(linksOnPage(engine, 3), slice(results, 20, 10));
        // The page of a keyword without results is still one of the engine's results pages;
        // another server's error page is not.
        EXPECT_FALSE(engine.resultsPageMarks.empty());
        controlRequest("/place?keyword=zzz&engine=" + sample.host + "&count=0");
        const std::string empty = pageBody(queryAddressOf(engine, "zzz", 1));
        EXPECT_TRUE(readResultPage(empty, engine, queryAddressOf(engine, "zzz", 1)).links.empty());
        EXPECT_EQ(pageKindOf(empty, engine), PageKind::Results);
        EXPECT_EQ(pageKindOf(pageBody("http://e404.fault.test/search?q=x"), engine), PageKind::NotResults);
    }
}

TEST_F(LiveLearning, LearningFetchesResultPagesOneToThreeOnceEach) {
    const Sample plain{"plain.engine.test", "/search?q=%s&start=10&hl=ja", "/search?q=%s&start=20&hl=ja",
                       TOKYO_UTF8_ESCAPED};
    const EngineFields fields = fieldsFor(plain);
    controlRequest("/reset");
    learn(fields, at(7, 9));
    const auto requests = test::loggedRequests("plain.engine.test");
    ASSERT_EQ(requests.size(), 3u);
    for (int page = 0; page < 3; ++page)
        EXPECT_EQ(requests[static_cast<std::size_t>(page)].path,
                  "/search?q=" + std::string(TOKYO_UTF8_ESCAPED) + "&start=" + std::to_string(10 * page) + "&hl=ja");
}

TEST_F(LiveLearning, BoxedPageIsLearntWithItsMarkersOrFromTheListAfterTheBox) {
    const Sample boxed{"boxed.engine.test", "/search?q=%s&start=10", "/search?q=%s&start=20", TOKYO_SJIS_ESCAPED};
    // The box before the list holds the first result behind the list's own markup: the plain
    // rules find nothing. For the extended ones the box's link and the list's first, two links
    // to one address in a row, count as one result.
    EXPECT_EQ(learn(fieldsFor(boxed), at(7, 9)), texts::MSG_LEARN_SUCCEEDED);
    ASSERT_FALSE(engine.extendedRules.empty());
    EXPECT_EQ(engine.extendedRules[0].selection, LinkSelection::EveryLink);
    const auto results = tokyoResults(boxed.host);
    EXPECT_EQ(linksOnPage(engine, 1), slice(results, 0, 10));
    EXPECT_EQ(linksOnPage(engine, 3), slice(results, 20, 10));

    // Between the markers only the list is left.
    Sample marked = boxed;
    marked.startMarker = "<!-- RESULTS BEGIN -->";
    marked.endMarker = "<!-- RESULTS END -->";
    EXPECT_EQ(learn(fieldsFor(marked), at(7, 9)), texts::MSG_LEARN_SUCCEEDED);
    ASSERT_EQ(engine.linkRules.size(), 1u);
    EXPECT_EQ(engine.linkRules[0].selection, LinkSelection::ExactlyTen);
}

TEST_F(LiveLearning, AFailedRunOnOtherSamplesLeavesTheEngineUnlearnt) {
    const Sample plain{"plain.engine.test", "/search?q=%s&start=10&hl=ja", "/search?q=%s&start=20&hl=ja",
                       TOKYO_UTF8_ESCAPED};
    ASSERT_EQ(learn(fieldsFor(plain), at(7, 9)), texts::MSG_LEARN_SUCCEEDED);
    const std::string learntStatus = status;

    // The same sample on a host whose every answer is empty.
    EngineFields broken = fieldsFor(plain);
    broken.page2Url = "http://empty.fault.test/search?q=" + std::string(TOKYO_UTF8_ESCAPED) + "&start=10&hl=ja";
    broken.page3Url = "http://empty.fault.test/search?q=" + std::string(TOKYO_UTF8_ESCAPED) + "&start=20&hl=ja";
    EXPECT_EQ(learn(broken, at(8, 10)), texts::MSG_LEARN_FAILED);
    // The earlier rules were not learnt from these samples: keeping them, and their time, would
    // save rules that match nothing the dialog shows.
    EXPECT_TRUE(engine.linkRules.empty());
    EXPECT_EQ(engine.learnedAt, SystemTime{});
    EXPECT_EQ(engine.queryTemplate, "http://empty.fault.test/search?q=%s&start=%d&hl=ja");
    EXPECT_NE(status, learntStatus);
}

TEST_F(LiveLearning, SuccessfulRunReplacesTheRules) {
    const Sample twice{"double.engine.test", "/s?p=2&q=%s", "/s?p=3&q=%s", TOKYO_UTF8_ESCAPED};
    ASSERT_EQ(learn(fieldsFor(twice), at(7, 9)), texts::MSG_LEARN_SUCCEEDED);
    ASSERT_EQ(engine.linkRules.size(), 2u);
    const Sample plain{"plain.engine.test", "/search?q=%s&start=10&hl=ja", "/search?q=%s&start=20&hl=ja",
                       TOKYO_UTF8_ESCAPED};
    ASSERT_EQ(learn(fieldsFor(plain), at(8, 10)), texts::MSG_LEARN_SUCCEEDED);
    ASSERT_EQ(engine.linkRules.size(), 1u);
    EXPECT_EQ(engine.linkRules[0].stride, 1);
    EXPECT_EQ(engine.learnedAt, at(8, 10));
}

}  // namespace
}  // namespace vexor
