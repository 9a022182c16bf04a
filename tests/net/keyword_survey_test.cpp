// Keywords whose query form the browser and vexor must agree on, learnt from the fake engine in
// each of its character sets with the learn command and then searched with the real fetcher,
// the target placed where the engine must show it; a sample address with lower-case escapes
// before the page number; and an engine file learnt before query templates kept their percent
// signs doubled, which must survey plain keywords exactly as it did.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/learn_command.h"
#include "app/texts.h"
#include "engine/engine_file.h"
#include "fake_engine_control.h"
#include "fake_ui.h"
#include "form_escape.h"
#include "japanese.h"
#include "live_search.h"
#include "platform/text.h"
#include "web/euc_jp.h"
#include "web/keyword_forms.h"

namespace vexor {
namespace {

using test::controlRequest;
using test::escapeParam;
using test::listedResults;
using test::loggedRequests;
using testing::cp932;

constexpr char TARGET[] = "www.mysite.example";
constexpr int PLACED_RANK = 37;  // on page 4: the search reads four pages of each keyword

struct CharsetEngine {
    std::string host;
    std::string page2;  // "%s" stands for the keyword as the browser escaped it
    std::string page3;
    KeywordEncoding encoding;
};

const CharsetEngine ENGINES[] = {
    {"plain.engine.test", "/search?q=%s&start=10&hl=ja", "/search?q=%s&start=20&hl=ja", KeywordEncoding::Utf8},
    {"pagenum.engine.test", "/find?p=2&q=%s", "/find?p=3&q=%s", KeywordEncoding::EucJp},
    {"sjis.engine.test", "/cgi-bin/search.cgi?kw=%s&first=11", "/cgi-bin/search.cgi?kw=%s&first=21",
     KeywordEncoding::ShiftJis},
};

std::string bytesIn(const std::string& keyword, KeywordEncoding encoding) {
    switch (encoding) {
        case KeywordEncoding::EucJp: return toEucJp(keyword);
        case KeywordEncoding::Utf8: return toUtf8(keyword);
        default: return keyword;
    }
}

std::string withKeyword(std::string path, const std::string& form) {
    return path.replace(path.find("%s"), 2, form);
}

class KeywordSurvey : public test::FakeEngineTest {
protected:
    // Runs the learn command with the dialog holding fields; its message.
    std::string learn(const EngineFields& fields) {
        testing::FakeUi ui;
        ui.fields = fields;
        learnDefinition(engine, ui, ui, fetchPage, [] { return SystemTime{}; });
        EXPECT_EQ(ui.messages.size(), 1u);
        // The message's first line: the outcome (a second one names the rules learnt).
        const std::string message = ui.messages.empty() ? std::string() : ui.messages.back().text;
        return message.substr(0, message.find('\n'));
    }

    void place(const std::string& utf8Keyword, const std::string& host, int rank) {
        ASSERT_EQ(controlRequest("/place?keyword=" + escapeParam(utf8Keyword) + "&engine=" + host +
                                 "&rank=" + std::to_string(rank) + "&target=" + TARGET),
                  "ok\n");
    }

    EngineDefinition engine;
};

TEST_F(KeywordSurvey, EveryKeywordIsLearntAndFoundOnEngineOfEachCharacterSet) {
    const std::u8string_view keywords[] = {u8"Q&A", u8"1+1", u8"C#", u8"100%", u8"a b", u8"天気 tokyo", u8"あa"};
    for (const auto& site : ENGINES) {
        for (const auto utf8Keyword : keywords) {
            const std::string keyword = cp932(utf8Keyword);
            const std::string utf8 = testing::utf8Bytes(utf8Keyword);
            SCOPED_TRACE(site.host + " " + utf8);
            place(utf8, site.host, PLACED_RANK);
            const auto results = listedResults(utf8, site.host);
            ASSERT_GE(results.size(), 10u);
            const std::string form = testing::formEscaped(bytesIn(keyword, site.encoding));
            EngineFields fields;
            fields.keyword = keyword;
            fields.page2Url = "http://" + site.host + withKeyword(site.page2, form);
            fields.page3Url = "http://" + site.host + withKeyword(site.page3, form);
            fields.firstResultUrl = results[0];
            fields.tenthResultUrl = results[9];
            engine = EngineDefinition{};
            ASSERT_EQ(learn(fields), texts::MSG_LEARN_SUCCEEDED);
            const bool ascii = toUtf8(keyword) == keyword;
            EXPECT_EQ(engine.keywordEncoding, ascii ? KeywordEncoding::ShiftJis : site.encoding);

            const test::LiveSearch found = test::searchLive(engine, keyword, TARGET);
            EXPECT_EQ(found.rank, PLACED_RANK);
            EXPECT_EQ(found.ending.how, SearchEnd::Found);
            EXPECT_EQ(found.ending.page, 4);
        }
    }
}

TEST_F(KeywordSurvey, ALowerCaseEscapeBeforeThePageNumberStaysInEveryPageAddress) {
    const std::string base = "http://plain.engine.test/search?fr=%d3%a4&q=abc&start=";
    EngineFields fields;
    fields.keyword = "abc";
    fields.page2Url = base + "10&hl=ja";
    fields.page3Url = base + "20&hl=ja";
    fields.firstResultUrl = "http://www.site001-k294.example/p1.html";
    fields.tenthResultUrl = "http://www.site010-k294.example/p10.html";
    ASSERT_EQ(learn(fields), texts::MSG_LEARN_SUCCEEDED);
    EXPECT_EQ(engine.queryTemplate, "http://plain.engine.test/search?fr=%%d3%%a4&q=%s&start=%d&hl=ja");

    ASSERT_EQ(controlRequest("/reset"), "ok\n");
    place("abc", "plain.engine.test", 15);
    EXPECT_EQ(test::searchLive(engine, "abc", TARGET).rank, 15);
    const auto requests = loggedRequests("plain.engine.test");
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].path, "/search?fr=%d3%a4&q=abc&start=0&hl=ja");
    EXPECT_EQ(requests[1].path, "/search?fr=%d3%a4&q=abc&start=10&hl=ja");
}

// An engine file that vexor-cli learn wrote before this change, from the sample addresses
// .../search?q=abc&start=10&hl=ja&ie=%E3%81%82&oe=utf-8 (and start=20): keyword encoding 0 and
// a template that keeps the sample's "%E3%81%82" as single percent signs.
const std::string ENGINE_FILE_BEFORE_ESCAPING(
    "_VEXOR_ENGINE_DEFINITION_d\x00\x00\x00\x03\x00\x00\x00" "abcJ\x00\x00\x00http://plai"
    "n.engine.test/search?q=abc&start=10&hl=ja&ie=%E3%81%82&oe=utf-8J\x00\x00\x00http://p"
    "lain.engine.test/search?q=abc&start=20&hl=ja&ie=%E3%81%82&oe=utf-8I\x00\x00\x00http:"
    "//plain.engine.test/search?q=%s&start=%d&hl=ja&ie=%E3%81%82&oe=utf-8\x0A\x00\x00\x00"
    "\x00\x00\x00\x00\x00'\x00\x00\x00http://www.site001-k294.example/p1.html(\x00\x00"
    "\x00http://www.site010-k294.example/p10.html\x00\x00\x00\x00\x00\x00\x00\x00\xEA\x07"
    "\x0C\x00\x01\x00\x07\x00\x0A\x00\x00\x00$\x00\xD7\x02\x01\x00\x00\x00\x00\x01\x00"
    "\x00\x00\x08\x00\x00\x00" "a href=\""
    , 410);

TEST_F(KeywordSurvey, AnEngineFileFromBeforeSurveysPlainKeywordsAsItDid) {
    ASSERT_EQ(parseEngineFile(ENGINE_FILE_BEFORE_ESCAPING, engine), EngineFileRead::Read);
    EXPECT_EQ(engine.keywordEncoding, KeywordEncoding::ShiftJis);
    EXPECT_EQ(engine.queryTemplate, "http://plain.engine.test/search?q=%s&start=%d&hl=ja&ie=%E3%81%82&oe=utf-8");
    ASSERT_TRUE(isLearnt(engine));

    for (const auto& [keyword, rank] : {std::pair{"abc", 4}, std::pair{"Tokyo2006", 12}}) {
        SCOPED_TRACE(keyword);
        ASSERT_EQ(controlRequest("/reset"), "ok\n");
        place(keyword, "plain.engine.test", rank);
        EXPECT_EQ(test::searchLive(engine, keyword, TARGET).rank, rank);
        const auto requests = loggedRequests("plain.engine.test");
        ASSERT_EQ(requests.size(), static_cast<std::size_t>((rank - 1) / 10 + 1));
        // The address the program built before this change, byte for byte.
        EXPECT_EQ(requests.back().path, "/search?q=" + std::string(keyword) + "&start=" +
                                            std::to_string((rank - 1) / 10 * 10) +
                                            "&hl=ja&ie=%E3%81%82&oe=utf-8");
    }
}

}  // namespace
}  // namespace vexor
