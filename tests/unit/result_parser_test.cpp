// Result page parsing: markers, rules, selections and strides on hand-made pages.
#include <gtest/gtest.h>

#include "engine/page_links.h"

namespace vexor {
namespace {

// A results page with count entries "<a href="http://siteN.example/">", framed by markers.
std::string page(int count, const std::string& before = "<ol>", const std::string& after = "</ol>") {
    std::string text = "<html><head><title>r</title></head><body>\n" + before + "\n";
    for (int i = 1; i <= count; ++i)
        text += "<li><a href=\"http://site" + std::to_string(i) + ".example/\">Site " +
                std::to_string(i) + "</a></li>\n";
    return text + after + "\n<a href=\"http://ads.example/\">ad</a></body></html>\n";
}

std::deque<std::string> sites(int from, int to, int step = 1) {
    std::deque<std::string> expected;
    for (int i = from; i <= to; i += step) expected.push_back("http://site" + std::to_string(i) + ".example/");
    return expected;
}

EngineDefinition engineWith(std::vector<LinkRule> rules, std::string start = "<ol>",
                            std::string end = "</ol>") {
    EngineDefinition engine;
    engine.linkRules = std::move(rules);
    engine.startMarker = std::move(start);
    engine.endMarker = std::move(end);
    return engine;
}

std::deque<std::string> parse(const std::string& text, const EngineDefinition& engine) {
    std::deque<std::string> links;
    parseResultPage(text, engine, links);
    return links;
}

const std::string HREF = "<a href=\"";

TEST(ParseResultPage, TenOccurrencesGiveTenLinksWhateverTheSelection) {
    for (auto selection : {LinkSelection::ExactlyTen, LinkSelection::FirstTen, LinkSelection::LastTen})
        EXPECT_EQ(parse(page(10), engineWith({{selection, 1, HREF}})), sites(1, 10));
}

TEST(ParseResultPage, MoreThanTenTakesTheSelectedTen) {
    EXPECT_EQ(parse(page(12), engineWith({{LinkSelection::FirstTen, 1, HREF}})), sites(1, 10));
    EXPECT_EQ(parse(page(12), engineWith({{LinkSelection::LastTen, 1, HREF}})), sites(3, 12));
    EXPECT_EQ(parse(page(12), engineWith({{LinkSelection::ExactlyTen, 1, HREF}})), sites(0, -1));
    EXPECT_EQ(parse(page(12), engineWith({{static_cast<LinkSelection>(7), 1, HREF}})), sites(0, -1));
    // A rule that does not apply hands over to the next one.
    const auto engine = engineWith({{LinkSelection::ExactlyTen, 1, HREF}, {LinkSelection::LastTen, 1, HREF}});
    EXPECT_EQ(parse(page(12), engine), sites(3, 12));
}

TEST(ParseResultPage, FewerThanTenGiveNothingAndTheListIsOnlyAppendedTo) {
    std::deque<std::string> links{"kept"};
    parseResultPage(page(9), engineWith({{LinkSelection::FirstTen, 1, HREF}}), links);
    EXPECT_EQ(links, std::deque<std::string>{"kept"});
    parseResultPage(page(10), engineWith({{LinkSelection::FirstTen, 1, HREF}}), links);
    ASSERT_EQ(links.size(), 11u);
    EXPECT_EQ(links.front(), "kept");
    EXPECT_EQ(parse("", engineWith({{LinkSelection::FirstTen, 1, HREF}})), sites(0, -1));
    EXPECT_EQ(parse(page(10), engineWith({})), sites(0, -1));
}

TEST(ParseResultPage, StrideTakesEveryStrideThOccurrence) {
    EXPECT_EQ(parse(page(20), engineWith({{LinkSelection::ExactlyTen, 2, HREF}})), sites(1, 19, 2));
    EXPECT_EQ(parse(page(30), engineWith({{LinkSelection::ExactlyTen, 3, HREF}})), sites(1, 28, 3));
    // 21 occurrences with stride 2 give eleven candidates (1, 3, ... 21).
    EXPECT_EQ(parse(page(21), engineWith({{LinkSelection::ExactlyTen, 2, HREF}})), sites(0, -1));
    EXPECT_EQ(parse(page(21), engineWith({{LinkSelection::LastTen, 2, HREF}})), sites(3, 21, 2));
    // The skip runs out of occurrences: the candidates found so far count.
    EXPECT_EQ(parse(page(19), engineWith({{LinkSelection::ExactlyTen, 2, HREF}})), sites(1, 19, 2));
}

TEST(ParseResultPage, StrideOfOneZeroOrBelowSkipsNothing) {
    for (int32_t stride : {1, 0, -1, INT32_MIN})
        EXPECT_EQ(parse(page(10), engineWith({{LinkSelection::ExactlyTen, stride, HREF}})), sites(1, 10))
            << "stride " << stride;
}

TEST(ParseResultPage, LinksEndAtDelimitersButNotAtCarriageReturns) {
    std::string text;
    for (int i = 1; i <= 10; ++i) text += "url=http://s" + std::to_string(i) + ".example/p\r\n";
    const auto links = parse(text, engineWith({{LinkSelection::ExactlyTen, 1, "url="}}, "", ""));
    ASSERT_EQ(links.size(), 10u);
    EXPECT_EQ(links[0], "http://s1.example/p\r");
    EXPECT_EQ(links[9], "http://s10.example/p\r");
    // Each of the seven delimiters ends a link.
    const std::string delimiters = "\"' <>\t\n";
    text.clear();
    for (int i = 0; i < 10; ++i) text += "@x" + std::to_string(i) + delimiters[i % 7];
    const auto cut = parse(text, engineWith({{LinkSelection::ExactlyTen, 1, "@"}}, "", ""));
    ASSERT_EQ(cut.size(), 10u);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(cut[i], "x" + std::to_string(i));
}

TEST(ParseResultPage, EmptyLinksCountAndTheSearchGoesOnFromTheDelimiter) {
    // Ten quotes: the closing quote of one link opens the next; the last link is empty.
    const std::string text = "\"1\"2\"3\"4\"5\"6\"7\"8\"9\"";
    const auto links = parse(text, engineWith({{LinkSelection::ExactlyTen, 1, "\""}}, "", ""));
    EXPECT_EQ(links, (std::deque<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", ""}));
    // A prefix at the very end of the region (just before the end marker) gives an empty link.
    std::string listed = "<ol>";
    for (int i = 1; i <= 9; ++i) listed += "go:" + std::to_string(i) + " ";
    listed += "go:</ol>";
    const auto last = parse(listed, engineWith({{LinkSelection::ExactlyTen, 1, "go:"}}));
    ASSERT_EQ(last.size(), 10u);
    EXPECT_EQ(last[9], "");
}

TEST(ParseResultPage, AnEmptyPrefixFindsNothingAndTheNextRuleIsTried) {
    EXPECT_EQ(parse(page(10), engineWith({{LinkSelection::FirstTen, 1, ""}})), sites(0, -1));
    EXPECT_EQ(parse(page(10), engineWith({{LinkSelection::FirstTen, 2, ""}, {LinkSelection::ExactlyTen, 1, HREF}})),
              sites(1, 10));
}

TEST(ParseResultPage, TheStartMarkerIsPartOfTheRegion) {
    // The start marker holds the prefix itself and so gives the first candidate.
    const std::string text = page(9, "<a href=\"http://site0.example/\">");
    const auto links = parse(text, engineWith({{LinkSelection::ExactlyTen, 1, HREF}}, "<a href=\"http://site0", "</ol>"));
    EXPECT_EQ(links, sites(0, 9));
}

TEST(CutToMarkers, EveryCombinationOfMarkers) {
    const std::string text = "head START body END tail END";
    struct Case {
        const char* start;
        const char* end;
        const char* region;
    } cases[] = {
        {"", "", "head START body END tail END"},         // no markers: the whole page
        {"START", "", "START body END tail END"},         // start only
        {"MISSING", "", "head START body END tail END"},  // start missing
        {"", "END", "head START body "},                  // end only, first occurrence
        {"", "MISSING", "head START body END tail END"},  // end missing
        {"START", "END", "START body "},                  // both, in order
        {"MISSING", "END", "head START body "},           // start missing, end found
        {"START", "MISSING", "START body END tail END"},  // start found, end missing
        {"MISSING", "NONE", "head START body END tail END"},
        {"body", "head", "body END tail END"},            // end before start: to the page's end
        {"START", "START", ""},                           // the same first occurrence: empty
    };
    for (const Case& c : cases)
        EXPECT_EQ(cutToMarkers(text, c.start, c.end), std::string_view(c.region)) << c.start << " / " << c.end;
    // The end marker is searched from the page's start, not from the start marker.
    EXPECT_EQ(cutToMarkers("END a START b END c", "START", "END"), "START b END c");
    EXPECT_EQ(cutToMarkers("", "a", "b"), "");
}

}  // namespace
}  // namespace vexor
