// Results pages told from block pages: the marks learnt from an engine's sample pages, and what
// a page without result links is, for an engine with and without marks.
#include "engine/page_kind.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/engine_file.h"
#include "engine/page_marks.h"
#include "japanese.h"
#include "web/euc_jp.h"

namespace vexor {
namespace {

using ::testing::ElementsAre;
using testing::cp932;
using testing::utf8Bytes;

const std::string KEYWORD = cp932(u8"東京");

// A UTF-8 engine's page around body: the search form echoes the keyword.
std::string framed(const std::string& body) {
    return "<html><head><meta charset=\"utf-8\"><title>" + utf8Bytes(u8"東京") + " - Find</title></head><body>\n" +
           "<div id=\"header\"><a class=\"logo\" href=\"/\">Find</a></div>\n<form action=\"/find\">"
           "<input type=\"text\" name=\"q\" value=\"" + utf8Bytes(u8"東京") + "\"><input type=\"submit\" value=\"" +
           utf8Bytes(u8"検索") + "\"></form>\n" + body + "<div id=\"footer\">(c) Find</div></body></html>\n";
}

// Result page `page` with `count` results, the links to the other pages carrying the keyword,
// beside a heading that names the keyword, a number and a token the same on every page.
std::string resultsPage(int page, int count = 10) {
    std::string body = "<p class=\"stats\">" + utf8Bytes(u8"東京") + " " + std::to_string(page) + "</p>\n" +
                       "<h2 id=\"for-%E6%9D%B1%E4%BA%AC\" class=\"n48213\"><span class=\"k9Xa2bQ7LmZ\"></span>" +
                       "<div class=\"page" + std::to_string(page) + "\"></div>\n<ol class=\"results\">\n";
    for (int i = 1; i <= count; ++i)
        body += "<li class=\"item\"><a href=\"http://r" + std::to_string(page * 10 + i) + ".example/\">t</a></li>\n";
    body += "</ol>\n<div id=\"nav\">";
    for (int p = 1; p <= 3; ++p)
        body += "<a class=\"pg\" href=\"/find?q=%E6%9D%B1%E4%BA%AC&amp;start=" + std::to_string(p * 10) + "\">" +
                std::to_string(p) + "</a> ";
    return body + "</div>\n";
}

const std::vector<std::string> EXPECTED_MARKS = {
    "action=\"/find\"", "class=\"results\"", "id=\"nav\"",    "id=\"header\"",
    "class=\"logo\"",    "class=\"stats\"",   "id=\"footer\"", "class=\"item\""};

TEST(PageMarks, LearntFromWhatPagesOneToThreeShareWithoutTheKeywordAndKeptInTheFile) {
    const std::string pages[] = {framed(resultsPage(1)), framed(resultsPage(2)), framed(resultsPage(3))};
    // Structure standing once first, then others standing once, then repeated ones; attributes
    // with the keyword, a page's own, numbers, tokens, one-letter names and the head's never.
    const auto marks = learnPageMarks({pages[0], pages[1], pages[2]}, KEYWORD);
    EXPECT_EQ(marks, EXPECTED_MARKS);
    EXPECT_TRUE(learnPageMarks({}, KEYWORD).empty());

    EngineDefinition engine;
    engine.resultsPageMarks = marks;
    EngineDefinition read;
    ASSERT_EQ(parseEngineFile(engineFileBytes(engine), read), EngineFileRead::Read);
    EXPECT_EQ(read.resultsPageMarks, marks);
}

TEST(PageMarks, AtMostTheBoundInCountAndLength) {
    std::string page;
    for (int i = 0; i < 20; ++i) page += "<div class=\"c" + std::string(2, static_cast<char>('a' + i)) + "\">";
    page += "<div id=\"" + std::string(LONGEST_PAGE_MARK, 'x') + "\">";
    const auto marks = learnPageMarks({page, page}, "abc");
    ASSERT_EQ(marks.size(), MOST_PAGE_MARKS);
    EXPECT_EQ(marks.front(), "class=\"caa\"");
    EXPECT_EQ(marks.back(), "class=\"chh\"");
}

// How a tag's attributes are read: from a start tag outside boilerplate, up to its ">", up to a
// "<" that begins another tag, and for at most 2 KB; each as written, quotes and all.
TEST(PageMarks, ReadFromStartTagsAsWritten) {
    const struct {
        std::string page;
        std::vector<std::string> marks;
    } cases[] = {
        {"<div id='single' class=\"double\">", {"id='single'", "class=\"double\""}},
        {"<DIV CLASS=\"upper\">", {"CLASS=\"upper\""}},
        {"<div\tclass=\"tab\" data-x=\"xy\" role=unquoted name=\"\" id=\"later\">", {"class=\"tab\"", "id=\"later\""}},
        {"<div class=\"one\"<span id=\"two\">", {"class=\"one\"", "id=\"two\""}},
        {"<div class=\"a>b\" id=\"after\">", {}},
        {"<div class=\"a<b\" id=\"after\">", {}},
        {"<script class=\"boiler\"><img class=\"plate\"></div class=\"closing\">", {}},
        {"<div class=\"" + std::string(2100, 'x') + "\" id=\"far\">", {}},
        {"<div class=\"unclosed id=\"x\">", {"class=\"unclosed id=\""}},
    };
    for (const auto& c : cases) EXPECT_EQ(learnPageMarks({c.page}, "abc"), c.marks) << c.page;
}

struct KindCase {
    const char* what;
    std::string page;
    PageKind withMarks;
    PageKind withoutMarks;
};

TEST(PageKind, BlockPagesByTheirSignsAndEndsOfResultsByTheMarks) {
    const std::string consentForm =
        "<html><body><h1>Before you continue</h1><form method=\"post\" action=\"https://consent.find.example/save\">"
        "<input type=\"submit\" value=\"Accept all\"></form></body></html>";
    const std::string scriptPage =
        "<html><head><noscript><meta http-equiv=\"refresh\" content=\"0;url=/find?nojs=1\"></noscript></head>"
        "<body><noscript>Please enable JavaScript to continue.</noscript><a href=\"/help\">Help</a></body></html>";
    const KindCase cases[] = {
        {"consent wording and form", consentForm, PageKind::Consent, PageKind::Consent},
        {"a form posting to a consent address", "<FORM Method=post ACTION=/consent/save><button>OK</button></FORM>",
         PageKind::Consent, PageKind::Consent},
        {"consent in Japanese (UTF-8)", "<p>" + utf8Bytes(u8"続行する前に") + "</p>", PageKind::Consent,
         PageKind::Consent},
        {"captcha widget", "<form action=\"/check\"><div class=\"g-recaptcha\" data-sitekey=\"k\"></div></form>",
         PageKind::Captcha, PageKind::Captcha},
        {"unusual traffic", "<p>Our systems have detected Unusual Traffic from your network.</p>", PageKind::Captcha,
         PageKind::Captcha},
        {"not a robot in Japanese (CP932)", "<p>" + cp932(u8"私はロボットではありません") + "</p>",
         PageKind::Captcha, PageKind::Captcha},
        {"the engine's own frame around a captcha", framed("<div class=\"h-captcha\"></div>"), PageKind::Captcha,
         PageKind::Captcha},
        {"noscript page", scriptPage, PageKind::ScriptRequired, PageKind::ScriptRequired},
        {"JavaScript in Japanese (EUC-JP)", "<body>" + toEucJp(cp932(u8"JavaScriptを有効にしてください")) + "</body>",
         PageKind::ScriptRequired, PageKind::ScriptRequired},
        {"an empty page after the last", framed("<p class=\"none\">No pages matched.</p>"), PageKind::Results,
         PageKind::Results},
        {"a short last page", framed(resultsPage(4, 3)), PageKind::Results, PageKind::Results},
        {"a results page asking for JavaScript beside its links",
         framed("<noscript>Turn on JavaScript for more.</noscript>" + resultsPage(2, 9)), PageKind::Results,
         PageKind::Results},
        {"another site's error page", "<html><body><h1>Service Unavailable</h1></body></html>",
         PageKind::NotResults, PageKind::Results},
        {"nothing", "", PageKind::NotResults, PageKind::Results},
    };
    EngineDefinition marked;
    marked.resultsPageMarks = EXPECTED_MARKS;
    const EngineDefinition unmarked;
    for (const KindCase& c : cases) {
        EXPECT_EQ(pageKindOf(c.page, marked), c.withMarks) << c.what;
        EXPECT_EQ(pageKindOf(c.page, unmarked), c.withoutMarks) << c.what;
    }
}

}  // namespace
}  // namespace vexor
