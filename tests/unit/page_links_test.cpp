// Reading a results page with extended rules, and the repeated-page test the survey and the
// learning check share.
#include "engine/page_links.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/rule_walk.h"

namespace vexor {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const char ADDRESS[] = "http://www.search.example/find?q=abc&p=1";

std::string item(const std::string& link) { return "<h3><a href=\"" + link + "\">t</a></h3>\n"; }

std::string site(int i) { return "https://s" + std::to_string(i) + ".example/"; }

std::deque<std::string> sites(int from, int to) {
    std::deque<std::string> all;
    for (int i = from; i <= to; ++i) all.push_back(site(i));
    return all;
}

EngineDefinition withRule(LinkSelection selection, const std::string& kind = "absolute") {
    EngineDefinition engine;
    engine.linkRules = {{LinkSelection::ExactlyTen, 1, "<h3><a href=\""}};
    engine.extendedRules = {{selection, "<h3><a href=\"", kind, ""}};
    return engine;
}

// A rule that reads facts, as an extended rule is read.
Rule factsRule(const std::string& prefix, const std::string& kind) { return {prefix, LinkSelection::EveryLink, 1, true, kind, ""}; }

TEST(WalkRule, KeepsItsKindAndCountsTwoLinksToOneAddressOnce) {
    const std::string page = item(site(1)) + item("/search?q=more") + item(site(2)) + item(site(2)) +
                             item("/url?q=" + site(3) + "&amp;ved=1") + item("/url?q=" + site(3) + "&amp;ved=2") +
                             item(site(3));
    const PageAddress address = pageAddressOf(ADDRESS);
    std::vector<std::string_view> links;
    for (const RuleLink& link : walkRule(page, factsRule("<h3><a href=\"", "absolute"), address))
        links.push_back(link.link);
    EXPECT_THAT(links, ElementsAre(site(1), site(2), site(3)));
    links.clear();
    for (const RuleLink& link : walkRule(page, factsRule("<h3><a href=\"", "wrapped:/url"), address))
        links.push_back(link.link);
    EXPECT_THAT(links, ElementsAre("/url?q=" + site(3) + "&amp;ved=1"))
        << "the second redirect carries the same address";
    // Without a kind every link counts, a repeat of the address before only once (the direct
    // link to site 3 repeats the address the redirects before it carry).
    EXPECT_EQ(walkRule(page, factsRule("<h3><a href=\"", ""), address).size(), 4u);
    EXPECT_THAT(walkRule(page, factsRule("", ""), address), IsEmpty());
}

TEST(WalkRule, EachSearchResumesWhereTheLinkBeforeEnded) {
    // The prefix stands again inside the first link: that occurrence is passed over, as a plain
    // rule passes it over.
    const std::string page = "u=x" + std::string("u=y") + " u=z";
    EXPECT_EQ(walkRule(page, factsRule("u=", ""), pageAddressOf(ADDRESS)).size(), 2u);
}

// Occurrences are found wherever the prefix's rarest byte stands in it: first, last or between,
// at the region's start and end, and after a false start that shares the rarest byte.
TEST(WalkRule, FindsEveryOccurrenceWhereverThePrefixsRarestByteStands) {
    struct Case {
        std::string page;
        std::string prefix;
        std::vector<std::string_view> links;
    };
    const Case cases[] = {
        {"Zq=a Zq=b xq=c", "Zq=", {"a", "b"}},
        {"<a href=a <a hre=b <a href=c", "<a href=", {"a", "c"}},
        {"x_9=a x_9x_9=b", "x_9=", {"a", "b"}},
        {" data-k=\"a\" data-k=\"b\" data-kk=\"c\"", " data-k=\"", {"a", "b"}},
        {"ee=1 e=2 ee=", "ee=", {"1", ""}},
    };
    for (const Case& c : cases) {
        std::vector<std::string_view> links;
        for (const RuleLink& link : walkRule(c.page, factsRule(c.prefix, ""), pageAddressOf(ADDRESS)))
            links.push_back(link.link);
        EXPECT_EQ(links, c.links) << c.page;
    }
}

TEST(ReadResultPage, EveryLinkTakesAllResultsHoweverMany) {
    std::string page;
    for (int i = 1; i <= 7; ++i) page += item(site(i));
    const PageLinks read = readResultPage(page, withRule(LinkSelection::EveryLink), ADDRESS);
    EXPECT_EQ(read.links, sites(1, 7));
    EXPECT_TRUE(read.countsVary);
    EXPECT_THAT(readResultPage("<p>none</p>", withRule(LinkSelection::EveryLink), ADDRESS).links, IsEmpty());
}

TEST(ReadResultPage, TenLinkSelectionsTakeTenAsPlainRulesDo) {
    std::string page;
    for (int i = 1; i <= 12; ++i) page += item(site(i));
    PageLinks read = readResultPage(page, withRule(LinkSelection::FirstTen), ADDRESS);
    EXPECT_EQ(read.links, sites(1, 10));
    EXPECT_FALSE(read.countsVary);
    EXPECT_EQ(readResultPage(page, withRule(LinkSelection::LastTen), ADDRESS).links, sites(3, 12));
    EXPECT_THAT(readResultPage(page, withRule(LinkSelection::ExactlyTen), ADDRESS).links, IsEmpty());
    std::string nine;
    for (int i = 1; i <= 9; ++i) nine += item(site(i));
    EXPECT_THAT(readResultPage(nine, withRule(LinkSelection::FirstTen), ADDRESS).links, IsEmpty());
}

TEST(ReadResultPage, LaterRulesAreTriedAndMarkersCut) {
    EngineDefinition engine = withRule(LinkSelection::FirstTen);
    engine.extendedRules.push_back({LinkSelection::EveryLink, "<i>", "", ""});
    engine.startMarker = "<!--s-->";
    engine.endMarker = "<!--e-->";
    const std::string page = "<i>" + site(0) + "</i><!--s-->" + item(site(1)) + "<i>" + site(2) + "</i><!--e--><i>x";
    const PageLinks read = readResultPage(page, engine, ADDRESS);
    EXPECT_THAT(read.links, ElementsAre(site(2)));
    EXPECT_TRUE(read.countsVary);
}

TEST(ReadResultPage, AnEngineWithoutExtendedRulesReadsWithItsLinkRules) {
    EngineDefinition engine;
    engine.linkRules = {{LinkSelection::ExactlyTen, 1, "<h3><a href=\""}};
    std::string page = item("/search?q=x");
    for (int i = 1; i <= 9; ++i) page += item(site(i));
    const PageLinks read = readResultPage(page, engine, ADDRESS);
    EXPECT_EQ(read.links.size(), 10u) << "plain rules take every link, of any kind";
    EXPECT_FALSE(read.countsVary);
}

TEST(ReadResultPage, AFactsTableOfThePageGivesWhatAFreshReadingGives) {
    std::string page = item("/search?q=x") + item(site(1)) + "<b u=\"" + site(2) + "\">";
    for (int i = 3; i <= 9; ++i) page += item(site(i)) + item("/url?q=" + site(i) + "&amp;v=" + std::to_string(i));
    LinkFactsTable table;
    for (const char* kind : {"absolute", "wrapped:/url", "relative:/search", "", "absolute"}) {
        SCOPED_TRACE(kind);
        EngineDefinition engine = withRule(LinkSelection::EveryLink, kind);
        engine.extendedRules.insert(engine.extendedRules.begin(), {LinkSelection::FirstTen, " u=\"", kind, ""});
        EXPECT_EQ(readResultPage(page, engine, ADDRESS, &table).links, readResultPage(page, engine, ADDRESS).links);
    }
    // A rule that differs by its context alone walks the page afresh.
    EngineDefinition engine = withRule(LinkSelection::EveryLink, "absolute");
    engine.extendedRules[0].context = "<div class=\"box\"><p><a href=\"";
    EXPECT_THAT(readResultPage(page, engine, ADDRESS, &table).links, IsEmpty());
}

TEST(LinkFactsTable, KeepsEveryLinksFactsWhenItsLinksComeToStandDensely) {
    // Links far apart, then thousands close together: the table finds its starts by a hash first
    // and by a table as long as the page once they stand densely; what it gave stays the same.
    std::string page;
    std::vector<std::size_t> starts;
    for (int i = 0; i < 3000; ++i) {
        page += std::string(i < 40 ? 900 : 1, ' ') + "<a href=\"";
        starts.push_back(page.size());
        page += (i < 40 ? (i % 2 ? "/url?q=" : "") + site(i % 5) : "/s" + std::to_string(i % 9)) + "\">";
    }
    const PageAddress address = pageAddressOf(ADDRESS);
    LinkFactsTable table;
    std::vector<LinkFactsTable::Ids> first;
    std::vector<int32_t> identities;
    for (const std::size_t start : starts) {
        first.push_back(table.at(page, start, address));
        identities.push_back(table.identityOf(first.back(), address));
    }
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const LinkFactsTable::Ids again = table.at(page, starts[i], address);
        ASSERT_EQ(again.slot, static_cast<int32_t>(i));
        ASSERT_EQ(table.slotAt(starts[i]), static_cast<int32_t>(i));
        ASSERT_EQ(again.kind, first[i].kind);
        ASSERT_EQ(again.end, first[i].end);
        ASSERT_EQ(table.identityOf(again, address), identities[i]);
    }
    EXPECT_EQ(table.slotAt(starts[0] + 1), -1);
    EXPECT_EQ(table.asked(), starts.size());
    // A redirect and a direct link to one site have one identity, whatever their place.
    EXPECT_EQ(identities[1], identities[6]);
    EXPECT_NE(identities[1], identities[2]);
    EXPECT_EQ(identities[40], identities[49]);
}

TEST(RepeatsPreviousPage, MoreThanHalfTheLinksAsEqualPairs) {
    EXPECT_FALSE(repeatsPreviousPage(sites(1, 10), {}));
    std::deque<std::string> page2 = sites(11, 20);
    for (int i = 0; i < 5; ++i) page2[static_cast<std::size_t>(i)] = site(i + 1);
    EXPECT_FALSE(repeatsPreviousPage(page2, sites(1, 10)));
    page2[5] = site(6);
    EXPECT_TRUE(repeatsPreviousPage(page2, sites(1, 10)));
    // Pages of other sizes: more than half of the current page's links.
    EXPECT_TRUE(repeatsPreviousPage(sites(1, 3), sites(1, 8)));
    EXPECT_FALSE(repeatsPreviousPage(sites(1, 8), sites(1, 4)));
}

}  // namespace
}  // namespace vexor
