#include "engine/learn_links.h"
#include "engine/learn_plain.h"
#include "engine/learn_prefix_groups.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <random>

#include "engine/page_links.h"
#include "engine/learn_check.h"
#include "engine/learn_context.h"
#include "engine/learn_variants.h"
#include "engine/link_elements.h"
#include "engine/learning.h"
#include "literal_link_rules.h"
#include "sample_results_page.h"

namespace vexor {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string result(int i) { return "http://r" + std::to_string(i) + ".example/"; }

// "<i>" before results from..to, one a line.
std::string listed(int from, int to, const std::string& before = "<i>") {
    std::string text;
    for (int i = from; i <= to; ++i) text += before + result(i) + "</i>\n";
    return text;
}

std::vector<LinkRule> rulesOf(const std::string& page) {
    return findLinkRules(page, result(1), result(10));
}

TEST(FindLinkRules, EachResultTwiceGivesStrideTwoOnceForEachOccurrenceOfTheFirst) {
    std::string page;
    for (int i = 1; i <= 10; ++i) page += "<i>" + result(i) + "</i> <i>" + result(i) + "</i>\n";
    // The first sample stands twice, and each occurrence learns the same rule.
    const LinkRule strideTwo{LinkSelection::FirstTen, 2, "<i>"};
    EXPECT_THAT(rulesOf(page), ElementsAre(strideTwo, strideTwo));
}

TEST(FindLinkRules, FirstResultAlsoInAnotherBoxGivesARulePerOccurrenceInPageOrder) {
    const std::string page = listed(1, 10, "<a href=") + "<b>see also <q>" + result(1) + "</q>";
    // Every prefix of the box's link ends in "<q>", which occurs once: no rule from there.
    EXPECT_THAT(rulesOf(page), ElementsAre(LinkRule{LinkSelection::ExactlyTen, 1, "ef="}));
    const std::string twice = listed(1, 10, "<a href=") + listed(1, 1, "<a href=");
    EXPECT_THAT(rulesOf(twice), ElementsAre(LinkRule{LinkSelection::FirstTen, 1, "ef="},
                                            LinkRule{LinkSelection::FirstTen, 1, "ef="}));
}

TEST(FindLinkRules, FirstTenPrefixWithoutAFittingStrideGivesUpAndTriesLongerPrefixes) {
    // "<i>" occurs 11 times: the first is followed by result 1, the 10th by junk and the last
    // by result 10. LastTen is not tried for it; the longer "x<i>" counts exactly ten.
    std::string page;
    for (int i = 1; i <= 9; ++i) page += "x<i>" + result(i) + "\n";
    page += "y<i>junk\nx<i>" + result(10) + "\n";
    EXPECT_THAT(rulesOf(page), ElementsAre(LinkRule{LinkSelection::ExactlyTen, 1, "x<i>"}));
}

TEST(FindLinkRules, ShortestFittingPrefixWins) {
    // "<i>" and "><i>" also stand before other links; "p><i>" is the shortest prefix that
    // stands only before results.
    std::string page = "<b><i>nav</i></b>\n<b><i>nav</i></b>\n";
    for (int i = 1; i <= 10; ++i) page += "<p><i>" + result(i) + "</i></p>\n";
    page += "<b><i>nav</i></b>\n";
    EXPECT_THAT(rulesOf(page), ElementsAre(LinkRule{LinkSelection::ExactlyTen, 1, "p><i>"}));
}

TEST(FindLinkRules, NeedsThreeBytesBeforeTheFirstSample) {
    // The first sample at position 2 has no prefix of 3 bytes; at position 3 it has.
    EXPECT_THAT(rulesOf("i>" + result(1) + "\n" + listed(2, 10)), IsEmpty());
    EXPECT_THAT(rulesOf(listed(1, 10)), ElementsAre(LinkRule{LinkSelection::ExactlyTen, 1, "<i>"}));
}

TEST(FindLinkRules, PrefixesReach99BytesButNot100) {
    // 98 bytes that never overlap themselves stand before every result and every decoy.
    std::string shared;
    for (int c = 0x21; shared.size() < 98; ++c) shared += static_cast<char>(c);
    const auto page = [&](const std::string& tail) {
        std::string text = "D" + tail + "junk\nD" + tail + "junk\n";
        for (int i = 1; i <= 10; ++i) text += "R" + tail + result(i) + "\n";
        return text + "D" + tail + "junk\nD" + tail + "junk\n";
    };
    const auto rules = rulesOf(page(shared));
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0].prefix, "R" + shared);
    EXPECT_EQ(rules[0].prefix.size(), LONGEST_PREFIX);
    EXPECT_THAT(rulesOf(page(shared + "\xA1")), IsEmpty());
}

TEST(FindLinkRules, FewerThanTenResultsOrNoFirstSampleLearnNothing) {
    EXPECT_THAT(rulesOf(listed(1, 9) + "<i>"), IsEmpty());
    EXPECT_THAT(rulesOf(listed(2, 11)), IsEmpty());
    EXPECT_THAT(rulesOf(""), IsEmpty());
}

TEST(FindLinkRules, ComparesSamplesByteForByte) {
    EXPECT_THAT(findLinkRules(listed(1, 10), "HTTP://r1.example/", result(10)), IsEmpty());
    // A tenth sample running past the end of the page does not match.
    std::string cut = listed(1, 10);
    cut.resize(cut.size() - 6);  // ends in "http://r10.example", without the last slash
    EXPECT_THAT(findLinkRules(cut, result(1), result(10)), IsEmpty());
}

TEST(FindLinkRules, EmptyFirstSampleEndsAtOnceWithoutRules) {
    EXPECT_THAT(findLinkRules(listed(1, 10), "", result(10)), IsEmpty());
}

TEST(SampleOf, CutsAtTheFirstSpaceOnly) {
    EXPECT_EQ(sampleOf("http://a.example/ - 12k - 2006/03/07"), "http://a.example/");
    EXPECT_EQ(sampleOf("http://a.example/\t12k"), "http://a.example/\t12k");
    EXPECT_EQ(sampleOf(" http://a.example/"), "");
}

TEST(FindLinkRules, RealisticPageLearnsTheResultLinkAndTheDisplayedAddress) {
    const auto made = testing::makeResultsPage(100 * 1024, 5, 7);
    const auto rules = findLinkRules(made.page, made.results[0], made.results[9]);
    EXPECT_THAT(rules, ElementsAre(LinkRule{LinkSelection::ExactlyTen, 1, "r\"><a href=\""},
                                   LinkRule{LinkSelection::ExactlyTen, 1, "<cite>"}));
}

// Pages built to make the two algorithms disagree if one of them can: tiny alphabets with many
// overlapping occurrences, periodic runs, and result lists with decoys, duplicates and strides.
struct GeneratedCase {
    std::string page;
    std::string first;
    std::string tenth;
};

class CaseMaker {
public:
    explicit CaseMaker(uint32_t seed) : random_(seed) {}

    std::size_t below(std::size_t n) { return static_cast<std::size_t>(random_() % n); }

    std::string noise(std::size_t length, std::string_view alphabet) {
        std::string text;
        for (std::size_t i = 0; i < length; ++i) text += alphabet[below(alphabet.size())];
        return text;
    }

    GeneratedCase make() {
        switch (below(3)) {
        case 0: {  // noise over two to four letters, samples made of the same letters
            const std::string_view alphabet = std::string_view("ab<\"").substr(0, 2 + below(3));
            return {noise(30 + below(200), alphabet), noise(1 + below(3), alphabet),
                    noise(1 + below(3), alphabet)};
        }
        case 1: {  // periodic runs
            const std::string unit = noise(1 + below(3), "ab");
            std::string page;
            for (std::size_t runs = 2 + below(4); runs > 0; --runs) {
                for (std::size_t n = 3 + below(25); n > 0; --n) page += unit;
                page += noise(below(4), "abc");
            }
            return {page, noise(1 + below(2), "ab"), noise(1 + below(3), "abc")};
        }
        default: {  // lists behind a few prefixes, with decoys and repeated results
            const std::vector<std::string> prefixes{"<i>", "aaaa", "<a href=\"", "x<i>", "\"a"};
            const std::vector<std::string> links{"F1", "T10", "junk", "F1x", "a", "<i>F1"};
            std::string page = noise(below(20), "ax<i");
            for (std::size_t items = 5 + below(30); items > 0; --items) {
                page += prefixes[below(prefixes.size())] + links[below(links.size())];
                page += noise(below(4), "ax<i\"");
            }
            return {page, below(8) ? "F1" : "a", below(8) ? "T10" : "F1"};
        }
        }
    }

private:
    std::mt19937 random_;
};

TEST(FindLinkRules, AgreesWithTheStepByStepSearchOnGeneratedPages) {
    int exactlyTen = 0, firstTen = 0, lastTen = 0, longStrides = 0, severalRules = 0;
    for (uint32_t seed = 1; seed <= 1000; ++seed) {
        const GeneratedCase c = CaseMaker(seed).make();
        const auto fast = findLinkRules(c.page, c.first, c.tenth);
        ASSERT_EQ(fast, testing::literalLinkRules(c.page, c.first, c.tenth))
            << "seed " << seed << " page [" << c.page << "] first [" << c.first << "] tenth ["
            << c.tenth << "]";
        for (const auto& rule : fast) {
            exactlyTen += rule.selection == LinkSelection::ExactlyTen;
            firstTen += rule.selection == LinkSelection::FirstTen;
            lastTen += rule.selection == LinkSelection::LastTen;
            longStrides += rule.stride > 1;
        }
        severalRules += fast.size() > 1;
    }
    // The generator must reach every kind of rule, not only the empty outcome.
    EXPECT_GT(exactlyTen, 10);
    EXPECT_GT(firstTen, 10);
    EXPECT_GT(lastTen, 10);
    EXPECT_GT(longStrides, 10);
    EXPECT_GT(severalRules, 10);
}

TEST(FindLinkRules, AgreesWithTheStepByStepSearchOnRealisticPages) {
    for (uint32_t seed = 1; seed <= 3; ++seed) {
        const auto made = testing::makeResultsPage(20 * 1024, 4, seed);
        EXPECT_EQ(findLinkRules(made.page, made.results[0], made.results[9]),
                  testing::literalLinkRules(made.page, made.results[0], made.results[9]));
    }
}

// The plain stage as learning runs it: the marker cut and the samples cut at their first space.
TEST(FindLinkRules, AgreesWithTheStepByStepSearchWithMarkers) {
    int learnt = 0;
    for (uint32_t seed = 1; seed <= 600; ++seed) {
        CaseMaker maker(seed);
        const GeneratedCase c = maker.make();
        const auto marker = [&]() -> std::string {
            if (maker.below(3) == 0) return {};
            const std::size_t at = maker.below(c.page.size());
            return c.page.substr(at, 1 + maker.below(3));
        };
        const std::string firstField = c.first + (maker.below(4) ? "" : " 12k");
        const std::string startMarker = marker();
        const std::string endMarker = marker();
        const auto expected =
            testing::literalLearnedRules(c.page, startMarker, endMarker, firstField, c.tenth);
        const auto fast = findLinkRules(cutToMarkers(c.page, startMarker, endMarker), sampleOf(firstField),
                                        sampleOf(c.tenth));
        ASSERT_EQ(fast, expected) << "seed " << seed;
        learnt += !fast.empty();
    }
    EXPECT_GT(learnt, 30);
}

// learnLinkRules: the fetches of result pages 1 to 3, the check of the plain rules on pages 2
// and 3, the extended learning where they do not hold, and what the definition keeps.

struct Fetched {
    std::vector<std::string> addresses;
    std::vector<bool> abortFlags;
};

const char PAGE_1[] = "http://e.example/find?q=abc&start=0";
const char PAGE_2[] = "http://e.example/find?q=abc&start=10";
const char PAGE_3[] = "http://e.example/find?q=abc&start=20";

// Serves page 1 for PAGE_1 and the later pages for PAGE_2 and PAGE_3.
PageFetcher serving(const std::string& page1, const std::string& page2, const std::string& page3,
                    Fetched& fetched) {
    return [&fetched, page1, page2, page3](const std::string& address, std::string& body,
                                           const std::atomic<bool>& abortFlag) {
        fetched.addresses.push_back(address);
        fetched.abortFlags.push_back(abortFlag);
        body = address == PAGE_1 ? page1 : address == PAGE_2 ? page2 : address == PAGE_3 ? page3 : "";
        return FetchOutcome{};
    };
}

// An engine that answers each page with the same results.
PageFetcher serving(const std::string& page, Fetched& fetched) { return serving(page, page, page, fetched); }

// Result pages 1 to 3 of a list of ten results a page behind before.
PageFetcher servingLists(Fetched& fetched, const std::string& before = "<i>") {
    return serving(listed(1, 10, before), listed(11, 20, before), listed(21, 30, before), fetched);
}

EngineDefinition learntQueryFor(const std::string& firstField, const std::string& tenthField) {
    EngineDefinition d;
    d.keyword = "abc";
    d.page2Url = "http://e.example/find?q=abc&start=10";
    d.page3Url = "http://e.example/find?q=abc&start=20";
    d.queryTemplate = "http://e.example/find?q=%s&start=%d";
    d.pageStep = 10;
    d.pageOffset = 0;
    d.firstResultUrl = firstField;
    d.tenthResultUrl = tenthField;
    d.learnedAt.year = 2005;
    d.linkRules = {{LinkSelection::LastTen, 3, "old"}, {LinkSelection::FirstTen, 2, "older"}};
    d.extendedRules = {{LinkSelection::EveryLink, "oldest", "absolute", ""}};
    return d;
}

TEST(LearnLinkRules, PlainRulesThatHoldOnPagesTwoAndThreeAreKeptAsFound) {
    EngineDefinition d = learntQueryFor(result(1), result(10));
    const EngineDefinition before = d;
    Fetched fetched;
    const LinkLearning learnt = learnLinkRules(d, servingLists(fetched));
    EXPECT_TRUE(learnt.learnt);
    EXPECT_FALSE(learnt.extended);
    EXPECT_EQ(learnt.pagesHeld, 3);
    EXPECT_THAT(fetched.addresses, ElementsAre(PAGE_1, PAGE_2, PAGE_3));
    EXPECT_THAT(fetched.abortFlags, ElementsAre(false, false, false));
    EXPECT_THAT(d.linkRules, ElementsAre(LinkRule{LinkSelection::ExactlyTen, 1, "<i>"}));
    EXPECT_THAT(d.extendedRules, IsEmpty()) << "extended rules of an earlier run are gone";
    d.linkRules = before.linkRules;
    d.extendedRules = before.extendedRules;
    EXPECT_EQ(d, before) << "every field but the rules keeps its value";
}

TEST(LearnLinkRules, FailureFetchesOnlyPageOneAndLeavesTheDefinitionUntouched) {
    for (const std::string& page : {std::string(), listed(2, 11), listed(1, 10).substr(0, 40)}) {
        EngineDefinition d = learntQueryFor(result(1), result(10));
        const EngineDefinition before = d;
        Fetched fetched;
        EXPECT_FALSE(learnLinkRules(d, serving(page, fetched)).learnt);
        EXPECT_THAT(fetched.addresses, ElementsAre(PAGE_1));
        EXPECT_EQ(d, before);
    }
}

// A fetcher whose pages 1 to 3 come with the outcomes given.
PageFetcher answering(const std::array<std::pair<std::string, FetchOutcome>, 3>& answers, Fetched& fetched) {
    return [&fetched, answers](const std::string& address, std::string& body, const std::atomic<bool>&) {
        fetched.addresses.push_back(address);
        const int page = address == PAGE_1 ? 0 : address == PAGE_2 ? 1 : 2;
        body = answers[page].first;
        return answers[page].second;
    };
}

TEST(LearnLinkRules, SamplePagesThatFailOrAreBlockPagesAreRefusedByNumber) {
    const FetchOutcome fine{};
    const FetchOutcome unavailable{FetchFailure::None, 503};
    const FetchOutcome cut{FetchFailure::Network, 0};
    const std::string captcha = "<div class=\"g-recaptcha\"></div>";
    const std::string consent = "<form action=\"https://consent.e.example/s\"><button>OK</button></form>";
    const std::string script = "<noscript>Please turn on JavaScript.</noscript>";
    struct Case {
        std::array<std::pair<std::string, FetchOutcome>, 3> answers;
        int page;
        FetchOutcome fetch;
        PageKind kind;
        std::size_t fetches;
    };
    const Case cases[] = {
        // A 503 answer with a results page in its body is no sample; nothing more is fetched.
        {{{{listed(1, 10), unavailable}, {listed(11, 20), fine}, {listed(21, 30), fine}}}, 1, unavailable,
         PageKind::Results, 1},
        {{{{listed(1, 10), fine}, {listed(11, 20), unavailable}, {listed(21, 30), fine}}}, 2, unavailable,
         PageKind::Results, 3},
        {{{{listed(1, 10), fine}, {listed(11, 20), fine}, {"", cut}}}, 3, cut, PageKind::Results, 3},
        {{{{captcha, fine}, {listed(11, 20), fine}, {listed(21, 30), fine}}}, 1, fine, PageKind::Captcha, 1},
        {{{{listed(1, 10), fine}, {consent, fine}, {listed(21, 30), fine}}}, 2, fine, PageKind::Consent, 3},
        {{{{listed(1, 10), fine}, {listed(11, 20), fine}, {script, fine}}}, 3, fine, PageKind::ScriptRequired, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        EngineDefinition d = learntQueryFor(result(1), result(10));
        const EngineDefinition before = d;
        Fetched fetched;
        const LinkLearning learnt = learnLinkRules(d, answering(c.answers, fetched));
        EXPECT_FALSE(learnt.learnt);
        EXPECT_EQ(learnt.refusedPage, c.page);
        EXPECT_EQ(learnt.fetch, c.fetch);
        EXPECT_EQ(learnt.pageKind, c.kind);
        EXPECT_EQ(fetched.addresses.size(), c.fetches);
        EXPECT_EQ(d, before);
    }
    // A later page without results and without a block page's sign is an end of the results.
    EngineDefinition d = learntQueryFor(result(1), result(10));
    Fetched fetched;
    const LinkLearning learnt = learnLinkRules(
        d, answering({{{listed(1, 10), fine}, {listed(11, 20), fine}, {"<p>No more pages.</p>", fine}}}, fetched));
    EXPECT_TRUE(learnt.learnt);
    EXPECT_EQ(learnt.refusedPage, 0);
}

TEST(LearnLinkRules, ResultFieldsAreComparedUpToTheirFirstSpace) {
    EngineDefinition d = learntQueryFor(result(1) + " - 12k - cache", result(10) + " 2006/03/07");
    Fetched fetched;
    ASSERT_TRUE(learnLinkRules(d, servingLists(fetched)).learnt);
    EXPECT_THAT(d.linkRules, ElementsAre(LinkRule{LinkSelection::ExactlyTen, 1, "<i>"}));
    // A field that begins with a space has an empty sample: learning fails at once.
    d = learntQueryFor(" " + result(1), result(10));
    EXPECT_FALSE(learnLinkRules(d, servingLists(fetched)).learnt);
}

TEST(LearnLinkRules, PlainRulesThatPagesTwoAndThreeDoNotConfirmGiveWayToExtendedOnes) {
    // Page 2 holds an eleventh link behind the bare markup, page 3 repeats page 2.
    const auto page = [](int from, const std::string& extra) {
        std::string text = "<p>" + extra + "</p>\n";
        for (int i = from; i < from + 10; ++i) text += "<h3><a href=\"" + result(i) + "\">t</a></h3>\n";
        return text;
    };
    const std::string page2 = page(11, "<a href=\"http://notice.example/\">n</a>");
    EngineDefinition d = learntQueryFor(result(1), result(10));
    Fetched fetched;
    const LinkLearning learnt = learnLinkRules(d, serving(page(1, ""), page2, page2, fetched));
    EXPECT_TRUE(learnt.learnt);
    EXPECT_TRUE(learnt.extended);
    EXPECT_EQ(learnt.selection, LinkSelection::EveryLink);
    EXPECT_EQ(learnt.pagesHeld, 2) << "page 3 repeats page 2";
    EXPECT_THAT(d.extendedRules, ElementsAre(ExtendedLinkRule{LinkSelection::EveryLink, "<h3><a href=\"", "absolute", ""}));
    EXPECT_THAT(d.linkRules, ElementsAre(LinkRule{LinkSelection::ExactlyTen, 1, "<h3><a href=\""}))
        << "the extended rule's plain form, for programs that know only plain rules";
}

TEST(LearnLinkRules, ExtendedRulesThatHoldOnMorePagesComeFirst) {
    // On page 1 alone "<i>" comes before " u=\"" (it is shorter); pages 2 and 3 write their
    // results only behind " u=\"".
    std::string page1, page2, page3;
    for (int i = 1; i <= 8; ++i) page1 += "<h4><i>" + result(i) + "</i></h4><b u=\"" + result(i) + "\">\n";
    for (int i = 9; i <= 16; ++i) page2 += "<b u=\"" + result(i) + "\">\n";
    for (int i = 17; i <= 24; ++i) page3 += "<b u=\"" + result(i) + "\">\n";
    EngineDefinition d = learntQueryFor(result(1), result(8));
    Fetched fetched;
    const LinkLearning learnt = learnLinkRules(d, serving(page1, page2, page3, fetched));
    EXPECT_EQ(learnt.pagesHeld, 3);
    ASSERT_EQ(d.extendedRules.size(), 1u);
    EXPECT_EQ(d.extendedRules[0].prefix, " u=\"");
}

TEST(LearnLinkRules, AddressesShownAsTextAreResultsOfOneKindToo) {
    // Samples copied from the address a page shows under each result, without its scheme.
    const auto page = [](int from) {
        std::string text;
        for (int i = from; i < from + 10; ++i) text += "<cite>www.r" + std::to_string(i) + ".example/</cite>\n";
        return text;
    };
    EngineDefinition d = learntQueryFor("www.r1.example/", "www.r10.example/");
    Fetched fetched;
    const LinkLearning learnt = learnLinkRules(d, serving(page(1), page(11), page(21), fetched));
    EXPECT_FALSE(learnt.extended);
    EXPECT_EQ(learnt.pagesHeld, 3);
    EXPECT_THAT(d.linkRules, ElementsAre(LinkRule{LinkSelection::ExactlyTen, 1, "<cite>"}));
}

TEST(LearnLinkRules, PagesTwoAndThreeTellRulesApartOnlyWithBodiesOfTheirOwn) {
    SamplePages pages;
    pages.bodies = {"page 1", "page 1", ""};
    EXPECT_FALSE(laterPagesTell(pages));
    pages.bodies = {"page 1", "", "page 1"};
    EXPECT_FALSE(laterPagesTell(pages));
    pages.bodies = {"page 1", "page 2", "page 2"};
    EXPECT_TRUE(laterPagesTell(pages));
    pages.bodies = {"page 1", "page 1", "page 3"};
    EXPECT_TRUE(laterPagesTell(pages));
}

TEST(LearnLinkRules, PlainRulesOfPageOneAloneAreKeptWhenNothingExtendedFits) {
    // Result links the extended search cannot tell from the page's other links: the first sample
    // stands inside a word, not at a link start.
    std::string page;
    for (int i = 1; i <= 10; ++i) page += "<i>x" + result(i) + "</i>\n";
    EngineDefinition d = learntQueryFor(result(1), result(10));
    Fetched fetched;
    const LinkLearning learnt = learnLinkRules(d, serving(page, fetched));
    EXPECT_TRUE(learnt.learnt);
    EXPECT_FALSE(learnt.extended);
    EXPECT_EQ(learnt.pagesHeld, 1);
    EXPECT_THAT(d.linkRules, ElementsAre(LinkRule{LinkSelection::ExactlyTen, 1, "i>x"}));
    EXPECT_THAT(d.extendedRules, IsEmpty());
}

TEST(LearnLinkRules, SearchesOnlyBetweenTheMarkers) {
    // Outside the markers the first and the tenth results stand once more behind "<i>".
    const auto page = [](int from) {
        return "<i>" + result(from) + " top\n<!--results-->" + listed(from, from + 9) + "<!--end--><i>" +
               result(from + 9) + "<i>x";
    };
    Fetched fetched;
    EngineDefinition cut = learntQueryFor(result(1), result(10));
    cut.startMarker = "<!--results-->";
    cut.endMarker = "<!--end-->";
    const LinkLearning learnt = learnLinkRules(cut, serving(page(1), page(11), page(21), fetched));
    ASSERT_TRUE(learnt.learnt);
    EXPECT_FALSE(learnt.extended);
    EXPECT_THAT(cut.linkRules, ElementsAre(LinkRule{LinkSelection::ExactlyTen, 1, "<i>"}));

    // Equal markers leave nothing to search.
    cut.endMarker = cut.startMarker;
    EXPECT_FALSE(learnLinkRules(cut, serving(page(1), page(11), page(21), fetched)).learnt);
}

TEST(LearnLinkRules, AnEndMarkerBeforeTheStartMarkerIsIgnored) {
    const auto page = [](int from) { return "<!--end--><!--results-->" + listed(from, from + 9) + "<i>more</i>"; };
    EngineDefinition d = learntQueryFor(result(1), result(10));
    d.startMarker = "<!--results-->";
    d.endMarker = "<!--end-->";
    Fetched fetched;
    ASSERT_TRUE(learnLinkRules(d, serving(page(1), page(11), page(21), fetched)).learnt);
    // The eleventh "<i>" after the list counts: the text runs to the end of the page.
    EXPECT_THAT(d.linkRules, ElementsAre(LinkRule{LinkSelection::FirstTen, 1, "<i>"}));
}

// Learning that cannot be right is refused with the reason; samples that name no page or one page
// twice are refused before anything is fetched.
TEST(LearnFromSample, RefusesWhatCannotBeRight) {
    // The results behind "<i>x", one of them a relative link: only a plain rule fits page 1 (the
    // samples stand inside words), and it holds on no page (pages 2 and 3 are empty).
    std::string mixed;
    for (int i = 1; i <= 10; ++i) mixed += "<i>x" + (i == 5 ? std::string("/local/") : result(i)) + "</i>\n";
    // Each result followed by another link, the 10th by one more before it: a rule of every
    // second "<i>" fits where the samples stand, but its walk takes that extra link as the tenth.
    std::string strided;
    for (int i = 1; i <= 9; ++i) strided += "<i>" + result(i) + "</i>\n<i>http://a" + std::to_string(i) + ".example/</i>\n";
    strided += "<i>http://z.example/</i>\n<i>" + result(10) + "</i>\n";
    struct Case {
        const char* name;
        std::string first, tenth, page;
        Refusal refusal;
        SampleField sample;
    };
    const Case cases[] = {
        {"a bare scheme", "http://", result(10), listed(1, 10), Refusal::NoAddress, SampleField::FirstResultUrl},
        {"slashes and a fragment", result(1), "//#top", listed(1, 10), Refusal::NoAddress, SampleField::TenthResultUrl},
        {"one address twice", result(1), result(1) + " 12KB", listed(1, 10), Refusal::SameResult, {}},
        {"one address in other letters", "http://R1.EXAMPLE/", result(1), listed(1, 10), Refusal::SameResult, {}},
        {"a rule that misplaces the tenth", result(1), result(10), strided, Refusal::MisreadsSamples, {}},
        {"a rule that holds nowhere", result(1), result(10), mixed, Refusal::HoldsOnNoPage, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EngineDefinition d;
        Fetched fetched;
        const EngineFields fields{"abc", c.first, c.tenth, PAGE_2, PAGE_3, "", ""};
        const LearnResult r = learnFromSample(d, fields, serving(c.page, "", "", fetched), [] { return SystemTime{}; });
        EXPECT_EQ(r.outcome, LearnOutcome::Refused);
        EXPECT_EQ(r.refusal, c.refusal);
        if (c.refusal == Refusal::NoAddress) {
            EXPECT_EQ(r.sample, c.sample);
        }
        const bool judgedBeforeFetching = c.refusal == Refusal::NoAddress || c.refusal == Refusal::SameResult;
        EXPECT_EQ(fetched.addresses.empty(), judgedBeforeFetching);
        EXPECT_THAT(d.linkRules, IsEmpty());
        EXPECT_FALSE(isLearnt(d));
    }
}

// A result copied with the text it highlights after "#", where a quote in that text ends the
// link as the page writes it, is found by its address before the fragment.
TEST(LearnLinkRules, SamplesAreFoundWithoutTheirFragment) {
    std::string page = "<h3><a href=\"/about\">about</a></h3>\n";
    for (int i = 1; i <= 9; ++i) page += "<h3><a href=\"" + result(i) + "#:~:text=it's%20here\">t</a></h3>\n";
    EngineDefinition d = learntQueryFor(result(1) + "#:~:text=it's%20here", result(9));
    Fetched fetched;
    ASSERT_TRUE(learnLinkRules(d, serving(page, fetched)).learnt);
    const std::deque<std::string> read = readResultPage(page, d, PAGE_1).links;
    ASSERT_EQ(read.size(), 9u);
    EXPECT_EQ(read.front(), result(1) + "#:~:text=it");
    EXPECT_EQ(read.back(), result(9) + "#:~:text=it");
}

TEST(IsMarkupVariant, OneRunAddedLeftOutOrReplacedAtMost) {
    const std::string context = "<div class=\"g\"><h3 class=\"r\"><a href=\"";
    struct Case {
        std::string before;
        bool variant;
    };
    const Case cases[] = {
        {"<p>" + context, true},
        {"<div class=\"g\"><h3 class=\"r \"><a href=\"", true},                   // a trailing space
        {"<div class=\"g\"><h3 class=\"r\" data-n=\"3\"><a href=\"", true},      // one attribute more
        {"<div class=\"g\"><h3 class=\"t\"><a href=\"", true},                    // one byte replaced
        {"<div class=\"g\"><h3><a href=\"", true},                                // one attribute less
        {"</p><h3 class=\"r\"><a href=\"", true},                                 // one element less
        {"<td style=\"padding:7px;text-align:center\"><a href=\"", false},        // another box
        {"<div class=\"news\"><span>News</span><a href=\"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(isMarkupVariant(c.before, context), c.variant) << c.before;
}

// Ids differ with every page and keyword; a class name in place of the results' is another box.
TEST(IsMarkupVariant, AnIdReplacedByAnotherIsTheSameMarkup) {
    const std::string context = "<div class=\"g\"><h3 class=\"r\"><a data-ved=\"0ahUKEwMF9U1dzQe00E\" href=\"";
    struct Case {
        std::string before;
        bool variant;
    };
    const Case cases[] = {
        {"<div class=\"g\"><h3 class=\"r\"><a data-ved=\"0ahUKEw7Kp2Lx9aQzT1xY\" href=\"", true},
        {"<div class=\"g\"><h3 class=\"r\"><a data-ved=\"0ahUKEw7Kp2\" href=\"", true},  // a shorter one
        {"<div class=\"g\"><h3 class=\"r\"><a data-ved=\"sponsoredlinkbox\" href=\"", false},
        {"<div id=\"header\"><a class=\"logo\" href=\"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(isMarkupVariant(c.before, context), c.variant) << c.before;
    // A class name that a style sheet's hash ends keeps its words: only the hash is an id.
    const std::string hashed = "<div class=\"Stack-module__VerticalStack___2NDle\"><a href=\"";
    EXPECT_TRUE(isMarkupVariant("<div class=\"Stack-module__VerticalStack___9QxWp\"><a href=\"", hashed));
    EXPECT_FALSE(isMarkupVariant("<div class=\"SerpAd-module__SerpAdAction___11UfU\"><a href=\"", hashed));
}

// The elements a link stands in, innermost first, against those before a results' link.
TEST(IsElementVariant, OneElementMoreOrLessAroundTheLink) {
    const std::string context = "</p></li><li class=\"algo\"><div class=\"title\"><h2><a target=\"_blank\" href=\"";
    struct Case {
        std::string before;
        bool variant;
    };
    const Case cases[] = {
        {"<ol><li class=\"algo\"><div class=\"title\"><h2><a href=\"", true},            // an attribute less
        {"<ol><li class=\"algo\"><h2><a href=\"", true},                                // a wrapper less
        {"<li class=\"algo\"><div class=\"title\"><div><h2 id=\"x\"><a href=\"", true},  // a wrapper more
        {"<li class=\"algo\"><div class=\"title\"><img src=\"i\"><br/><span>s</span><h2><a href=\"", true},
        {"<li class=\"news\"><div class=\"title\"><h2><a href=\"", false},             // another box
        {"<li class=\"algo\"><ul class=\"links\"><li><a href=\"", false},              // links under a result
        {"<div class=\"title\"><h2><a href=\"", false},                                 // its outermost missing
    };
    const std::vector<OpenElement> learnt = openElements(context, context.size());
    EXPECT_TRUE(elementsTell(learnt));
    for (const Case& c : cases) EXPECT_EQ(isElementVariant(c.before, learnt), c.variant) << c.before;
    // Elements told apart by nothing but tag names or ids say nothing of the box.
    const auto tells = [](const std::string& markup) { return elementsTell(openElements(markup, markup.size())); };
    EXPECT_FALSE(tells("<div><h2><a href=\""));
    EXPECT_FALSE(tells("<div class=\"x2NDle\"><div class=\"q3wU9G 7k\"><a href=\""));
    EXPECT_TRUE(tells("<div class=\"Stack-module__Spacexxs___3wU9G\"><p><a href=\"")) << "words beside a hash";
    EXPECT_FALSE(isElementVariant("<div class=\"x_9\"><h2><a href=\"", openElements("<div class=\"y_1\"><h2><a href=\"", 9)));
    // Endless or unclosed tags are read only so far back.
    EXPECT_FALSE(isElementVariant(std::string(100'000, '<') + "a href=\"", learnt));
    EXPECT_FALSE(isElementVariant("<li class=\"algo\"><h2 title=\"" + std::string(100'000, 'x') + "<a href=\"", learnt));
}

// Result pages of nine or ten results whose shortest prefix also takes a link of another box;
// the longer prefix reads the results alone. A link of a news box is not a result; a result
// whose title markup differs by a space or an attribute is.
TEST(LearnLinkRules, LinksOfAnotherBoxAreNotResultsButVariantTitlesAre) {
    const auto item = [](int i, const std::string& title) {
        const std::string link = "<a href=\"" + result(i) + "\">t</a>";
        if (title.empty()) return "<div class=\"g\">" + link + "</div>\n";
        return "<div class=\"g\"><h3 class=\"" + title + "\">" + link + "</h3></div>\n";
    };
    struct Case {
        const char* name;
        std::string extra;  // before the third result
        std::string thirdTitle;  // its heading's class; none: no heading
        std::vector<int> results;
    };
    const Case cases[] = {
        {"a news box", "<table><tr><td style=\"font-size:78%\"><a href=\"http://news.example/1\">n</a></td></tr></table>",
         "r", {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"a help link", "<div class=\"help\"><a href=\"http://help.example/about\">?</a></div>", "r",
         {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"a title class with a space", "", "r ", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"a title with one attribute more", "", "r\" data-n=\"3", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"a title without its heading", "", "", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string page = "<a href=\"/search?q=abc&amp;tbm=isch\">images</a>\n";
        for (const int i : c.results) page += (i == 3 ? c.extra + item(i, c.thirdTitle) : item(i, "r"));
        EngineDefinition d = learntQueryFor(result(1), result(c.results.back()));
        Fetched fetched;
        ASSERT_TRUE(learnLinkRules(d, serving(page, fetched)).learnt);
        std::deque<std::string> expected;
        for (const int i : c.results) expected.push_back(result(i));
        EXPECT_EQ(readResultPage(page, d, PAGE_1).links, expected);
    }
}

// Results from..from+9 as an engine writes them for one keyword's page: its own links written
// with its host or relative, each title behind a tracking id of the page and keyword; cluster
// stands under the 2nd result, box before the 4th, and the 5th title has the class fifthClass.
std::string trackedResults(int from, const std::string& id, const std::string& cluster = "",
                           const std::string& box = "", const std::string& fifthClass = "r") {
    std::string page = "<div id=\"top\"><a class=\"logo\" href=\"http://e.example/\">E</a></div>\n"
                       "<span class=\"t\"><a href=\"/find?q=abc&amp;tbs=d\">day</a></span>\n";
    for (int n = 1; n <= 10; ++n) {
        const std::string link = result(from + n - 1);
        if (n == 4) page += box;
        page += "<div class=\"g\"><h3 class=\"" + (n == 5 ? fifthClass : "r") + "\"><a data-ved=\"0ah" + id +
                "\" href=\"" + link + "\">t</a></h3><cite>" + link + "</cite>" + (n == 2 ? cluster : "") + "</div>\n";
    }
    return page + "<p><a href=\"/find?q=abc+1\">abc 1</a></p>\n<a class=\"pg\" href=\"http://e.example/find?q=abc&amp;start=10\">2</a>\n";
}

// Learnt from one keyword's pages, which hold neither site links under a result nor a news box,
// the rules read another keyword's page: its own id, and what its pages may hold besides.
TEST(LearnLinkRules, RulesLearntOnOneKeywordReadAnotherKeywordsPage) {
    EngineDefinition d = learntQueryFor(result(1), result(10));
    Fetched fetched;
    ASSERT_TRUE(learnLinkRules(d, serving(trackedResults(1, "Xq7LkQk4Zx9"), trackedResults(11, "Pz8WwQk4Zx9"),
                                          trackedResults(21, "Mn4RtQk4Zx9"), fetched))
                    .learnt);
    const std::string cluster = "<table class=\"sl\"><tr><td><a href=\"" + result(2) +
                                "about.html\">about</a></td><td><a href=\"" + result(2) + "faq.html\">faq</a></td></tr></table>";
    const std::string news = "<div class=\"news\"><span>News</span><h3 class=\"r\"><a href=\"http://news1.example/abc\">n</a>"
                             "</h3><h3 class=\"r\"><a href=\"http://news2.example/abc\">n</a></h3></div>\n";
    struct Case {
        const char* name;
        std::string page;
    };
    const Case cases[] = {
        {"another id", trackedResults(1, "B2cD3eQz9Yx8w")},
        {"site links under a result", trackedResults(1, "B2cD3eQz9Yx8w", cluster)},
        {"a news box", trackedResults(1, "B2cD3eQz9Yx8w", "", news)},
        {"a title class with a space", trackedResults(1, "B2cD3eQz9Yx8w", "", "", "r ")},
    };
    std::deque<std::string> expected;
    for (int i = 1; i <= 10; ++i) expected.push_back(result(i));
    for (const Case& c : cases) EXPECT_EQ(readResultPage(c.page, d, PAGE_1).links, expected) << c.name;
}

// An engine's pages in two versions of its markup: the version learnt from writes each title in
// a wrapper and opens it in a new window; the other writes neither, and may hold a news box.
// Rules learnt from the first read the second by the elements its results stand in.
TEST(LearnLinkRules, RulesLearntOnOneVersionOfAPageReadAnother) {
    const auto page = [](int from, bool learnt, const std::string& box) {
        std::string text = "<p><a href=\"http://e.example/help\">help</a></p>\n<ol>";
        for (int i = from; i < from + 10; ++i) {
            if (i == from + 3) text += box;
            text += learnt ? "<li class=\"algo\"><div class=\"title\"><h2><a target=\"_blank\" href=\""
                           : "<li class=\"algo\"><h2><a href=\"";
            text += result(i) + "\">t</a></h2>" + (learnt ? "</div>" : "") + "<p>about it</p></li>\n";
        }
        return text + "</ol>";
    };
    EngineDefinition d = learntQueryFor(result(1), result(10));
    Fetched fetched;
    // Page 2's notice is a link of the engine's own: the chosen rule reads absolute links alone.
    const std::string notice = "<li class=\"algo\"><a target=\"_blank\" href=\"/notice\">n</a></li>";
    ASSERT_TRUE(learnLinkRules(d, serving(page(1, true, ""), page(11, true, notice), page(21, true, ""), fetched)).learnt);
    ASSERT_EQ(d.extendedRules.size(), 3U) << "the rules of the results' elements and container after the chosen one";
    EXPECT_EQ(d.extendedRules[1].prefix, "href=\"");
    EXPECT_EQ(d.extendedRules[2].container, "li algo");
    const std::string news = "<li class=\"news\"><h2><a href=\"http://news.example/1\">n</a></h2></li>";
    std::deque<std::string> expected;
    for (int i = 1; i <= 10; ++i) expected.push_back(result(i));
    EXPECT_EQ(readResultPage(page(1, false, ""), d, PAGE_1).links, expected);
    EXPECT_EQ(readResultPage(page(1, false, news), d, PAGE_1).links, expected);
    EXPECT_EQ(readResultPage(page(1, true, news), d, PAGE_1).links, expected) << "the version learnt from";
    // Other markup inside the same elements, a thumbnail link first: the first link of each.
    std::string rewritten = "<ol>";
    for (int i = 1; i <= 10; ++i)
        rewritten += "<li class=\"algo\"><a class=\"th\" href=\"" + result(i) + "\"><img src=\"/t.png\"></a><p class=\"t\">"
                     "<span><a rel=\"x\" href=\"" + result(i) + "\">t</a></span></p></li>\n";
    EXPECT_EQ(readResultPage(rewritten + "</ol>", d, PAGE_1).links, expected);
    // Ads written as results but for a class of the element around them are not results.
    const std::string ad = "<li class=\"algo algo-ad\"><div class=\"title\"><h2><a target=\"_blank\" "
                           "href=\"http://ad.example/lp?k=abc\">a</a></h2></div><p>about it</p></li>\n";
    EXPECT_EQ(readResultPage(page(1, true, ad + ad), d, PAGE_1).links, expected);
    const std::string otherAd = "<li class=\"algo algo-ad\"><h2><a href=\"http://ad.example/lp\">a</a></h2></li>\n";
    EXPECT_EQ(readResultPage(page(1, false, otherAd), d, PAGE_1).links, expected);
}

// The element that holds one result each, the outermost of them, and none where results share
// their elements or other elements alike hold something else.
TEST(ResultsContainer, TheOutermostElementThatHoldsOneResultEach) {
    const auto item = [](int i) { return "<li class=\"r\"><div class=\"t x1\"><a href=\"" + result(i) + "\">t</a></div></li>"; };
    const std::string three = item(1) + item(2) + item(3);
    struct Case {
        const char* name;
        std::string page;
        std::string container;  // empty: none
    };
    const Case cases[] = {
        {"one each", "<ol class=\"all\">" + three + "</ol>", "li r"},
        {"a card alike", three + "<li class=\"r\"><a href=\"/more\">m</a></li>", "div t \x01"},
        {"shared elements", "<div class=\"all\"><p><a href=\"" + result(1) + "\">1</a> <a href=\"" + result(2) + "\">2</a></p></div>", ""},
    };
    const PageAddress address = pageAddressOf(PAGE_1);
    for (const Case& c : cases) {
        const Rule rule{"<a href=\"", LinkSelection::EveryLink, 1, true, "absolute", ""};
        const std::optional<std::string> container = resultsContainer(readingOf(c.page, address, rule));
        EXPECT_EQ(container.value_or(""), c.container) << c.name;
    }
}

// Which links stand in an element that calls them an ad while the others do not.
TEST(AdsAmong, AnElementThatCallsSomeLinksAdsAndNotOthers) {
    const auto item = [](const std::string& classes, int i) {
        return "<article class=\"" + classes + "\"><div class=\"body\"><a href=\"" + result(i) + "\">t</a></div></article>\n";
    };
    const std::string filler(3000, 'x');
    struct Case {
        const char* name;
        std::string page;
        std::vector<bool> ads;
    };
    const Case cases[] = {
        {"ads before results", item("result ad-result", 1) + item("result ad-result", 2) + item("result web-result", 3) +
                                   item("result web-result", 4), {true, true, false, false}},
        {"words parted by _ and case", item("b_AD", 1) + item("b_algo", 2), {true, false}},
        {"sponsored", item("result", 1) + item("sponsored", 2), {false, true}},
        {"words that hold ad", item("header shadow", 1) + item("loaded adblock TopAds", 2) + item("r", 3), {false, false, false}},
        {"every link an ad", item("ads", 1) + item("ads", 2), {false, false}},
        {"in an element no result stands in", "<div class=\"ads\"><p><a href=\"" + result(1) + "\">t</a></p></div>" +
                                                  item("r", 2) + item("r", 3), {false, false, false}},
        {"a wrapper seen from the first link alone", "<div class=\"results ads\">" + item("r", 1) + filler + item("r", 2) +
                                                          filler + item("r", 3) + "</div>", {false, false, false}},
    };
    for (const Case& c : cases) {
        std::vector<std::size_t> starts;
        for (std::size_t at = c.page.find("href=\""); at != std::string::npos; at = c.page.find("href=\"", at + 1))
            starts.push_back(at + 6);
        EXPECT_EQ(adsAmong(c.page, starts), c.ads) << c.name;
    }
}

}  // namespace
}  // namespace vexor
