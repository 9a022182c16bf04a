// An engine learnt from one keyword's sample search surveys other keywords: on every layout of
// the fake engine, learnt with 東京, a site placed for other keywords on page 1 and on a later
// page must be found at its rank. The other keywords' pages differ from the sample's where a
// layout lets them (tokens, site-link clusters, news boxes, title classes, a version of the markup).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/learn_command.h"
#include "app/texts.h"
#include "fake_engine_control.h"
#include "fake_ui.h"
#include "japanese.h"
#include "live_search.h"
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

constexpr char TARGET[] = "www.mysite.example";

struct Layout {
    std::string host;
    std::string page2Path;  // "%s" stands for the escaped keyword
    std::string page3Path;
    const char* keywordForm;
    int lastRank = 10;  // the sample's last result of page 1
};

// Other keywords and where the site stands for each; the comments say what their pages hold
// that 東京's first three pages do not.
struct Placed {
    std::u8string_view keyword;
    int rank;
};
const Placed PLACED[] = {
    {u8"abc", 5},         // a cluster under the 2nd result, the 3rd title's class with a space
    {u8"京都", 9},        // a cluster under the 8th result, the 9th title's class with a space
    {u8"ホテル", 20},     // a news box before the 19th result, a cluster under the 20th
    {u8"大阪", 35},       // a cluster under the 32nd result, the 33rd title's class with a space
    {u8"温泉 旅館", 14},  // only what differs with every keyword (a token)
};

std::string withKeyword(std::string path, const char* form) { return path.replace(path.find("%s"), 2, form); }

class CrossKeyword : public test::FakeEngineTest {
protected:
    // The learn command with 東京's 1st and last result of page 1 on layout; its message's first line.
    std::string learn(const Layout& layout) {
        const auto results = listedResults(TOKYO_UTF8, layout.host);
        testing::FakeUi ui;
        ui.fields.keyword = testing::cp932(u8"東京");
        ui.fields.page2Url = "http://" + layout.host + withKeyword(layout.page2Path, layout.keywordForm);
        ui.fields.page3Url = "http://" + layout.host + withKeyword(layout.page3Path, layout.keywordForm);
        ui.fields.firstResultUrl = results.at(0);
        ui.fields.tenthResultUrl = results.at(static_cast<std::size_t>(layout.lastRank - 1));
        engine = EngineDefinition{};
        learnDefinition(engine, ui, ui, fetchPage, [] { return SystemTime{}; });
        const std::string message = ui.messages.empty() ? std::string() : ui.messages.back().text;
        return message.substr(0, message.find('\n'));
    }

    EngineDefinition engine;
};

TEST_F(CrossKeyword, LearntWithOneKeywordEveryLayoutFindsOtherKeywordsAtTheirRanks) {
    const Layout layouts[] = {
        {"plain.engine.test", "/search?q=%s&start=10&hl=ja", "/search?q=%s&start=20&hl=ja", TOKYO_UTF8_ESCAPED},
        {"pagenum.engine.test", "/find?p=2&q=%s", "/find?p=3&q=%s", TOKYO_EUC_ESCAPED},
        {"sjis.engine.test", "/cgi-bin/search.cgi?kw=%s&first=11", "/cgi-bin/search.cgi?kw=%s&first=21",
         TOKYO_SJIS_ESCAPED},
        {"sponsored.engine.test", "/search?q=%s&start=10", "/search?q=%s&start=20", TOKYO_UTF8_ESCAPED},
        {"extra.engine.test", "/search?query=%s&b=11", "/search?query=%s&b=21", TOKYO_EUC_ESCAPED},
        {"double.engine.test", "/s?p=2&q=%s", "/s?p=3&q=%s", TOKYO_UTF8_ESCAPED},
        {"boxed.engine.test", "/search?q=%s&start=10", "/search?q=%s&start=20", TOKYO_SJIS_ESCAPED},
        {"mixed.engine.test", "/search?q=%s&p=2", "/search?q=%s&p=3", TOKYO_UTF8_ESCAPED, 8},
        {"notice.engine.test", "/search?q=%s&start=10", "/search?q=%s&start=20", TOKYO_UTF8_ESCAPED},
        {"framed.engine.test", "/search?q=%s&start=10", "/search?q=%s&start=20", TOKYO_UTF8_ESCAPED},
        {"redirect.engine.test", "/search?q=%s&start=10", "/search?q=%s&start=20", TOKYO_UTF8_ESCAPED},
        {"escaped.engine.test", "/html/?q=%s&s=10", "/html/?q=%s&s=20", TOKYO_UTF8_ESCAPED},
        {"pathwrap.engine.test", "/search?p=%s&b=11", "/search?p=%s&b=21", TOKYO_UTF8_ESCAPED},
        {"spelled.engine.test", "/search?q=%s&start=10", "/search?q=%s&start=20", TOKYO_UTF8_ESCAPED},
        {"token.engine.test", "/search?q=%s&start=10", "/search?q=%s&start=20", TOKYO_UTF8_ESCAPED},
        {"cluster.engine.test", "/search?q=%s&start=10", "/search?q=%s&start=20", TOKYO_UTF8_ESCAPED},
        {"news.engine.test", "/search?q=%s&start=10", "/search?q=%s&start=20", TOKYO_UTF8_ESCAPED},
        {"versions.engine.test", "/search?q=%s&start=10", "/search?q=%s&start=20", TOKYO_UTF8_ESCAPED},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.host);
        ASSERT_EQ(controlRequest("/reset"), "ok\n");
        ASSERT_EQ(learn(layout), texts::MSG_LEARN_SUCCEEDED);
        for (const Placed& placed : PLACED) {
            const std::string utf8 = testing::utf8Bytes(placed.keyword);
            SCOPED_TRACE(utf8);
            ASSERT_EQ(controlRequest("/place?keyword=" + escapeParam(utf8) + "&engine=" + layout.host +
                                     "&rank=" + std::to_string(placed.rank) + "&target=" + TARGET),
                      "ok\n");
            EXPECT_EQ(test::searchLive(engine, testing::cp932(placed.keyword), TARGET).rank, placed.rank);
        }
    }
}

}  // namespace
}  // namespace vexor
