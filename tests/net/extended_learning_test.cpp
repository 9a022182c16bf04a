// Learning against the fake engine's layouts of today's results pages, one cause of failed
// learning each, with the samples as a user gives them; and the classic layouts, whose engine
// files must stay byte for byte what they were before extended rules existed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/learn_command.h"
#include "app/texts.h"
#include "earlier_engines.h"
#include "engine/engine_file.h"
#include "engine/learning.h"
#include "engine/page_links.h"
#include "engine/query_address.h"
#include "fake_engine_control.h"
#include "fake_ui.h"
#include "japanese.h"
#include "recording_events.h"
#include "survey/rank_search.h"
#include "tokyo_sample.h"
#include "web/page_fetcher.h"

namespace vexor {
namespace {

using test::controlRequest;
using test::escapeParam;
using test::listedResults;
using test::TOKYO_EUC_ESCAPED;
using test::TOKYO_SJIS_ESCAPED;
using test::TOKYO_UTF8;
using test::TOKYO_UTF8_ESCAPED;

const SystemTime PINNED{2006, 3, 2, 7, 9, 5, 0, 0};

// The fake engine's own list of the results for 東京 on host, in rank order.
std::vector<std::string> tokyoResults(const std::string& host) { return listedResults(TOKYO_UTF8, host); }

std::string withKeyword(std::string path, const char* form) { return path.replace(path.find("%s"), 2, form); }

struct Sample {
    std::string host;
    std::string page2Path;  // "%s" stands for the escaped keyword
    std::string page3Path;
    const char* keywordForm;
};

EngineFields fieldsFor(const Sample& s, const std::string& first, const std::string& tenth) {
    EngineFields fields;
    fields.keyword = testing::cp932(u8"東京");
    fields.page2Url = "http://" + s.host + withKeyword(s.page2Path, s.keywordForm);
    fields.page3Url = "http://" + s.host + withKeyword(s.page3Path, s.keywordForm);
    fields.firstResultUrl = first;
    fields.tenthResultUrl = tenth;
    return fields;
}

std::string rulesLine(const char* kind, int pages) {
    return std::string(texts::MSG_LEARN_SUCCEEDED) + "\n" + testing::cp932(u8"規則の種類: ") + kind +
           testing::cp932(u8"、1～3 ページ目のうち ") + std::to_string(pages) + testing::cp932(u8" ページで有効");
}

class ExtendedLearning : public test::FakeEngineTest {
protected:
    // The learn command on a fresh engine; the one message it showed.
    std::string learn(const EngineFields& fields) {
        engine = EngineDefinition{};
        testing::FakeUi ui;
        ui.fields = fields;
        learnDefinition(engine, ui, ui, fetchPage, [] { return PINNED; });
        EXPECT_EQ(ui.messages.size(), 1u);
        return ui.messages.empty() ? std::string() : ui.messages.back().text;
    }

    // The rank of target placed at rank among the keyword's results on host.
    int32_t surveyed(const std::string& host, int rank, const std::string& target) {
        EXPECT_EQ(controlRequest("/place?keyword=" + escapeParam(TOKYO_UTF8) + "&engine=" + host +
                                 "&rank=" + std::to_string(rank) + "&target=" + target),
                  "ok\n");
        SurveyState state;
        state.keywords = {testing::cp932(u8"東京")};
        state.target = target;
        testing::RecordingEvents events;
        SurveyContext context{state, engine, events, fetchPage, [] { return PINNED; }};
        return searchRank(context, 0).entry.rank;
    }

    EngineDefinition engine;
};

TEST_F(ExtendedLearning, ClassicLayoutsLearnByteForByteTheEngineFilesLearntBefore) {
    struct Classic {
        const char* name;
        Sample sample;
        bool markers = false;
    };
    const Classic classics[] = {
        {"plain", {"plain.engine.test", "/search?q=%s&start=10&hl=ja", "/search?q=%s&start=20&hl=ja", TOKYO_UTF8_ESCAPED}},
        {"dl", {"pagenum.engine.test", "/find?p=2&q=%s", "/find?p=3&q=%s", TOKYO_EUC_ESCAPED}},
        {"table", {"sjis.engine.test", "/cgi-bin/search.cgi?kw=%s&first=11", "/cgi-bin/search.cgi?kw=%s&first=21",
                   TOKYO_SJIS_ESCAPED}},
        {"sponsored", {"sponsored.engine.test", "/search?q=%s&start=10", "/search?q=%s&start=20", TOKYO_UTF8_ESCAPED}},
        {"extra", {"extra.engine.test", "/search?query=%s&b=11", "/search?query=%s&b=21", TOKYO_EUC_ESCAPED}},
        {"double", {"double.engine.test", "/s?p=2&q=%s", "/s?p=3&q=%s", TOKYO_UTF8_ESCAPED}},
        {"boxed", {"boxed.engine.test", "/search?q=%s&start=10", "/search?q=%s&start=20", TOKYO_SJIS_ESCAPED}, true},
    };
    const auto& before = test::enginesLearntBeforeExtension();
    ASSERT_EQ(before.size(), std::size(classics));
    for (const Classic& classic : classics) {
        SCOPED_TRACE(classic.name);
        const auto results = tokyoResults(classic.sample.host);
        EngineFields fields = fieldsFor(classic.sample, results.at(0) + " - 12k - 2006/03/07", results.at(9));
        if (classic.markers) {
            fields.startMarker = "<!-- RESULTS BEGIN -->";
            fields.endMarker = "<!-- RESULTS END -->";
        }
        EXPECT_EQ(learn(fields), rulesLine(texts::TEXT_RULES_PLAIN, 3));
        EXPECT_TRUE(engine.extendedRules.empty());
        // The marks of the results pages follow in a block of their own; without them the file
        // is byte for byte the one learnt before.
        EXPECT_FALSE(engine.resultsPageMarks.empty());
        EngineDefinition withoutMarks = engine;
        withoutMarks.resultsPageMarks.clear();
        EXPECT_EQ(engineFileBytes(withoutMarks), before.at(classic.name));
    }
}

TEST_F(ExtendedLearning, EngineFilesLearntBeforeReadAndSurveyAsTheyDid) {
    const std::pair<const char*, const char*> hosts[] = {
        {"plain", "plain.engine.test"}, {"dl", "pagenum.engine.test"}, {"table", "sjis.engine.test"},
        {"sponsored", "sponsored.engine.test"}, {"extra", "extra.engine.test"}, {"double", "double.engine.test"},
        {"boxed", "boxed.engine.test"}};
    for (const auto& [name, host] : hosts) {
        SCOPED_TRACE(name);
        ASSERT_EQ(parseEngineFile(test::enginesLearntBeforeExtension().at(name), engine), EngineFileRead::Read);
        EXPECT_TRUE(engine.extendedRules.empty());
        // Read with the plain rules: the same ten links as the link rules alone give.
        const std::string address = queryAddressOf(engine, engine.keyword, 3);
        std::string page;
        fetchPage(address, page, std::atomic<bool>{false});
        std::deque<std::string> plain;
        parseResultPage(page, engine, plain);
        const PageLinks read = readResultPage(page, engine, address);
        EXPECT_EQ(read.links, plain);
        EXPECT_EQ(read.links.size(), 10u);
        EXPECT_FALSE(read.countsVary);
        EXPECT_EQ(surveyed(host, 24, "www.mysite.example"), 24);
    }
}

struct Today {
    Sample sample;
    int firstRank;
    int lastRank;  // the 10th result, or the last of page 1 when it holds fewer
    std::string (*form)(const std::string& address, int rank);  // the sample as the user gives it
    const char* rulesKind;
    int placedAt;
};

std::string asListed(const std::string& address, int) { return address; }

std::string asRedirectCopied(const std::string& address, int rank) {
    return "http://redirect.engine.test/url?q=" + address + "&sa=U&ved=0ahUKE" + std::to_string(rank);
}

std::string asRedirectWritten(const std::string& address, int rank) {
    return "/url?q=" + address + "&amp;sa=U&amp;ved=0ahUKE" + std::to_string(rank);
}

TEST_F(ExtendedLearning, TodaysLayoutsAreLearntFromSamplesAsGivenAndSurveyedRight) {
    const Today todays[] = {
        // Fewer than ten results on page 1 (eight, then nine, ten, seven), boxes between them.
        {{"mixed.engine.test", "/search?q=%s&p=2", "/search?q=%s&p=3", TOKYO_UTF8_ESCAPED}, 1, 8, asListed,
         texts::TEXT_RULES_ALL_RESULTS, 11},
        // The bare link markup fits page 1 only.
        {{"notice.engine.test", "/search?q=%s&start=10", "/search?q=%s&start=20", TOKYO_UTF8_ESCAPED}, 1, 10,
         asListed, texts::TEXT_RULES_ALL_RESULTS, 15},
        // Ads in the results' markup, more of them after page 1.
        {{"framed.engine.test", "/search?q=%s&start=10", "/search?q=%s&start=20", TOKYO_UTF8_ESCAPED}, 1, 10,
         asListed, texts::TEXT_RULES_ALL_RESULTS, 24},
        // Relative redirects with "&amp;": as copied from a browser, and as the page writes them.
        {{"redirect.engine.test", "/search?q=%s&start=10", "/search?q=%s&start=20", TOKYO_UTF8_ESCAPED}, 1, 10,
         asRedirectCopied, texts::TEXT_RULES_ALL_RESULTS, 12},
        {{"redirect.engine.test", "/search?q=%s&start=10", "/search?q=%s&start=20", TOKYO_UTF8_ESCAPED}, 1, 10,
         asRedirectWritten, texts::TEXT_RULES_PLAIN, 12},
        // Redirects that carry the address percent-escaped, in a parameter and in the path.
        {{"escaped.engine.test", "/html/?q=%s&s=10", "/html/?q=%s&s=20", TOKYO_UTF8_ESCAPED}, 1, 10, asListed,
         texts::TEXT_RULES_ALL_RESULTS, 19},
        {{"pathwrap.engine.test", "/search?p=%s&b=11", "/search?p=%s&b=21", TOKYO_UTF8_ESCAPED}, 1, 10, asListed,
         texts::TEXT_RULES_ALL_RESULTS, 21},
        // Hosts in capitals or escaped.
        {{"spelled.engine.test", "/search?q=%s&start=10", "/search?q=%s&start=20", TOKYO_UTF8_ESCAPED}, 1, 10,
         asListed, texts::TEXT_RULES_ALL_RESULTS, 13},
    };
    for (const Today& today : todays) {
        SCOPED_TRACE(today.sample.host + " " + today.form("A", 1));
        const auto results = tokyoResults(today.sample.host);
        const EngineFields fields =
            fieldsFor(today.sample, today.form(results.at(static_cast<std::size_t>(today.firstRank - 1)), today.firstRank),
                      today.form(results.at(static_cast<std::size_t>(today.lastRank - 1)), today.lastRank));
        EXPECT_EQ(learn(fields), rulesLine(today.rulesKind, 3));
        EXPECT_EQ(surveyed(today.sample.host, today.placedAt, "www.mysite.example"), today.placedAt);
        ASSERT_EQ(controlRequest("/reset"), "ok\n");
    }
}

TEST_F(ExtendedLearning, AnEngineLearntExtendedIsWrittenReadBackAndSurveysAlike) {
    const Sample mixed{"mixed.engine.test", "/search?q=%s&p=2", "/search?q=%s&p=3", TOKYO_UTF8_ESCAPED};
    const auto results = tokyoResults(mixed.host);
    ASSERT_EQ(learn(fieldsFor(mixed, results.at(0), results.at(7))), rulesLine(texts::TEXT_RULES_ALL_RESULTS, 3));
    ASSERT_FALSE(engine.extendedRules.empty());
    EXPECT_EQ(engine.extendedRules[0].selection, LinkSelection::EveryLink);
    const std::string bytes = engineFileBytes(engine);
    EngineDefinition read;
    ASSERT_EQ(parseEngineFile(bytes, read), EngineFileRead::Read);
    EXPECT_EQ(read, engine);
    engine = read;
    // Result 30 stands third on page 4 (eight, nine and ten results before it).
    EXPECT_EQ(surveyed(mixed.host, 30, "www.mysite.example"), 30);
    EXPECT_EQ(surveyed(mixed.host, 3, "www.mysite.example"), 3);
}

}  // namespace
}  // namespace vexor
