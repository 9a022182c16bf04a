// The extended learning on synthetic pages, one cause of failed learning at a time, and its
// fast search against the step-by-step one.
#include "engine/learn_extended.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "engine/rule_walk.h"
#include "engine/link_kind.h"
#include "literal_link_rules.h"

namespace vexor {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

const char ADDRESS[] = "http://www.search.example/find?q=abc&start=0";
const PageAddress PAGE = pageAddressOf(ADDRESS);

std::string result(int i) { return "https://r" + std::to_string(i) + ".example/page"; }

std::vector<std::string> results(int from, int to) {
    std::vector<std::string> all;
    for (int i = from; i <= to; ++i) all.push_back(result(i));
    return all;
}

// One organic result: a title link and the address shown below it.
std::string organic(const std::string& link) {
    return "<div class=\"res\"><h3><a href=\"" + link + "\">title</a></h3><cite>shown</cite></div>\n";
}

std::vector<RuleOption> optionsFor(const std::string& page, const std::string& first, const std::string& tenth) {
    const ExtendedSearch search =
        findExtendedRules(page, PAGE, sampleFormsOf(first, PAGE), sampleFormsOf(tenth, PAGE));
    EXPECT_FALSE(search.exhausted);
    return search.options;
}

// The links the best option reads from page.
std::vector<std::string> readWith(const RuleOption& option, const std::string& page) {
    const auto selected = selectResults(walkRule(page, option.rule, PAGE), option.rule.selection);
    return {selected.begin(), selected.end()};
}

// Cause: fewer than ten organic results, blocks taking the other places.
TEST(ExtendedLearning, APageOfEightResultsIsLearntFromItsLastResultAsTheTenth) {
    std::string page = "<div class=\"news\"><a href=\"https://news.example/1\">news</a></div>\n";
    for (int i = 1; i <= 3; ++i) page += organic(result(i));
    page += "<div class=\"images\"><a href=\"/images?q=abc\"><img></a><a href=\"https://img.example/p\">i</a></div>\n";
    for (int i = 4; i <= 8; ++i) page += organic(result(i));
    const auto options = optionsFor(page, result(1), result(8));
    ASSERT_FALSE(options.empty());
    EXPECT_EQ(options[0].rule, ruleOf(ExtendedLinkRule{LinkSelection::EveryLink, "<h3><a href=\"", "absolute", ""}));
    EXPECT_EQ(options[0].links, 8u);
    EXPECT_THAT(readWith(options[0], page), ElementsAreArray(results(1, 8)));
    // The next page holds nine: the rule takes them all.
    std::string next;
    for (int i = 9; i <= 17; ++i) next += organic(result(i));
    EXPECT_THAT(readWith(options[0], next), ElementsAreArray(results(9, 17)));
}

// Cause: the shortest fitting prefix is the bare link markup, which other links share.
TEST(ExtendedLearning, PrefersMarkupThatDescribesTheResultsToTheBareLink) {
    std::string page = "<p><a class=\"nav\" href=\"/help\">help</a></p>\n";
    for (int i = 1; i <= 10; ++i) page += organic(result(i));
    const auto options = optionsFor(page, result(1), result(10));
    ASSERT_GE(options.size(), 2u);
    EXPECT_EQ(options[0].rule.prefix, "<h3><a href=\"");
    EXPECT_TRUE(options[0].markupAligned);
    // The bare link markup fits too, but only further down.
    const bool bareFits = std::any_of(options.begin(), options.end(), [](const RuleOption& o) {
        return o.rule.prefix == "<a href=\"" && !o.markupAligned;
    });
    EXPECT_TRUE(bareFits);
    // A page with one more link of the bare markup does not trouble the rule.
    const std::string another = page + "<a href=\"https://notice.example/\">notice</a>";
    EXPECT_THAT(readWith(options[0], another), ElementsAreArray(results(1, 10)));
}

// Cause: ads with the organic markup. Their links go through the engine's click redirect, a
// kind of link of their own.
TEST(ExtendedLearning, AdsBehindTheResultsMarkupAreLeftOutByTheirKindOfLink) {
    const auto ad = [](int n) {
        return organic("/aclk?sa=l&amp;ai=" + std::to_string(n) + "&amp;adurl=https://ad" + std::to_string(n) +
                       ".example/");
    };
    std::string page = ad(1) + ad(2);
    for (int i = 1; i <= 7; ++i) page += organic(result(i));
    page += ad(3);
    const auto options = optionsFor(page, result(1), result(7));
    ASSERT_FALSE(options.empty());
    EXPECT_EQ(options[0].rule, ruleOf(ExtendedLinkRule{LinkSelection::EveryLink, "<h3><a href=\"", "absolute", ""}));
    // Another page with three ads before and none after reads its ten results only.
    std::string other = ad(4) + ad(5) + ad(6);
    for (int i = 11; i <= 20; ++i) other += organic(result(i));
    EXPECT_THAT(readWith(options[0], other), ElementsAreArray(results(11, 20)));
}

// Cause: ads of the same kind and markup as the results: only their place tells them apart.
TEST(ExtendedLearning, AdsOfTheSameKindBeforeTenResultsGiveLastTen) {
    std::string page = organic("https://ad1.example/") + organic("https://ad2.example/");
    for (int i = 1; i <= 10; ++i) page += organic(result(i));
    const auto options = optionsFor(page, result(1), result(10));
    ASSERT_FALSE(options.empty());
    EXPECT_EQ(options[0].rule.selection, LinkSelection::LastTen);
    EXPECT_THAT(readWith(options[0], page), ElementsAreArray(results(1, 10)));
}

// Cause: the sample as the user has it is not the href as the page writes it.
TEST(ExtendedLearning, RedirectLinksAreLearntFromTheLinkAsWrittenAsCopiedAndAsTheDestination) {
    const auto wrapped = [](int i) {
        return "/url?q=" + result(i) + "&amp;sa=U&amp;ved=" + std::to_string(1000 + i);
    };
    std::string page = "<a href=\"/search?q=abc&amp;tbm=isch\">images</a>\n";
    for (int i = 1; i <= 10; ++i) page += organic(wrapped(i));
    const std::string copied1 = "https://www.search.example/url?q=" + result(1) + "&sa=U&ved=1001";
    const std::string copied10 = "https://www.search.example/url?q=" + result(10) + "&sa=U&ved=1010";
    const std::pair<std::string, std::string> samples[] = {
        {wrapped(1), wrapped(10)}, {copied1, copied10}, {result(1), result(10)}};
    const SampleMatch matches[] = {SampleMatch::Literal, SampleMatch::Address, SampleMatch::Destination};
    for (std::size_t s = 0; s < 3; ++s) {
        SCOPED_TRACE(s);
        const auto options = optionsFor(page, samples[s].first, samples[s].second);
        ASSERT_FALSE(options.empty());
        EXPECT_EQ(options[0].rule, ruleOf(ExtendedLinkRule{LinkSelection::EveryLink, "<h3><a href=\"", "wrapped:/url", ""}));
        EXPECT_EQ(options[0].match, matches[s]);
        EXPECT_EQ(readWith(options[0], page).at(2), wrapped(3));
    }
}

TEST(ExtendedLearning, EscapedDestinationsInJsonAttributesAreFound) {
    std::string json;
    for (int i = 1; i <= 10; ++i)
        json += "<div data-r=\"{&#34;u&#34;:&#34;" + result(i) + "&#34;,&#34;n&#34;:" + std::to_string(i) + "}\">\n";
    const auto options = optionsFor(json, result(1), result(10));
    ASSERT_FALSE(options.empty());
    EXPECT_EQ(options[0].rule.prefix, " data-r=\"{&#34;u&#34;:&#34;");
    EXPECT_EQ(options[0].match, SampleMatch::Literal);
}

TEST(ExtendedLearning, SamplesThatStandNowhereOrOutOfOrderGiveNoOption) {
    std::string page;
    for (int i = 1; i <= 10; ++i) page += organic(result(i));
    EXPECT_THAT(optionsFor(page, result(11), result(10)), IsEmpty());
    EXPECT_THAT(optionsFor(page, result(1), result(12)), IsEmpty());
    EXPECT_THAT(optionsFor(page, result(5), result(2)), IsEmpty());
    EXPECT_THAT(optionsFor(page, "", result(10)), IsEmpty());
}

TEST(IsMarkupAligned, BeginsAtATagOrAnAttributeAndHoldsMoreThanTheBareLink) {
    EXPECT_TRUE(isMarkupAligned("<h3><a href=\""));
    EXPECT_TRUE(isMarkupAligned(" domain=\""));
    EXPECT_TRUE(isMarkupAligned("\ntarget=\"_blank\" href='"));
    EXPECT_FALSE(isMarkupAligned("<a href=\""));
    EXPECT_FALSE(isMarkupAligned("<A\nHREF='"));
    EXPECT_FALSE(isMarkupAligned(" href=\""));
    EXPECT_FALSE(isMarkupAligned("3><a href=\""));
    EXPECT_FALSE(isMarkupAligned(" 9=\""));
}

// Pages built to make the two searches disagree if they can: links of several kinds and forms
// behind few prefixes, repeated links, ads, entity-quoted attributes and samples in every form.
class PageMaker {
public:
    explicit PageMaker(uint32_t seed) : random_(seed) {}

    std::size_t below(std::size_t n) { return static_cast<std::size_t>(random_() % n); }

    std::string link(int i) { return link(i, below(6)); }

    std::string link(int i, std::size_t form) {
        const std::string address = "https://r" + std::to_string(i) + ".example/";
        switch (form) {
            case 0: return "/url?q=" + address + "&amp;sa=" + std::to_string(below(3));
            case 1: return "//d.search.example/l/?u=https%3A%2F%2Fr" + std::to_string(i) + ".example%2F";
            case 2: return "/aclk?adurl=" + address;
            case 3: return i > 19 ? address : "/search?q=" + std::to_string(i);
            default: return address;
        }
    }

    struct Made {
        std::string page;
        std::string first;
        std::string tenth;
    };

    Made make() { return below(3) == 0 ? list() : scattered(); }

    // A list of results behind one markup, with links of the same markup around it.
    Made list() {
        const std::string markup = below(2) ? "<h3><a href=\"" : " u=\"";
        Made made;
        const std::size_t before = below(4), count = 6 + below(10), after = below(4);
        const std::size_t form = below(3) ? 4 : below(6);
        const auto item = [&](int i) { return markup + link(i, below(8) ? form : below(6)) + "\">t</a>\n"; };
        for (std::size_t n = 0; n < before; ++n) made.page += item(20 + static_cast<int>(n));
        for (std::size_t n = 0; n < count; ++n) made.page += item(static_cast<int>(n) + 1);
        for (std::size_t n = 0; n < after; ++n) made.page += item(30 + static_cast<int>(n));
        made.first = "https://r1.example/";
        made.tenth = "https://r" + std::to_string(below(3) ? std::min<std::size_t>(count, 10) : 1 + below(count)) +
                     ".example/";
        return made;
    }

    Made scattered() {
        static const std::vector<std::string> prefixes = {"<h3><a href=\"", "<a href=\"", " u=\"", "<i>", "x<a href=\"",
                                                          "<b data-r=\"&#34;"};
        Made made;
        std::vector<std::string> written;
        const std::size_t items = 4 + below(30);
        for (std::size_t n = 0; n < items; ++n) {
            const int i = static_cast<int>(below(14));
            written.push_back(link(i));
            made.page += prefixes[below(prefixes.size())] + written.back();
            made.page += std::string("\"'> \n").substr(below(5), 1) + (below(3) ? "" : "<p>x</p>");
        }
        const auto sample = [&](const std::string& link) -> std::string {
            switch (below(3)) {
                case 0: return link;
                case 1: return "https://www.search.example" + (link[0] == '/' ? link : "/" + link);
                default: {
                    const std::size_t at = link.find("r");
                    return at == std::string::npos ? link : "https://" + link.substr(at, 3) + ".example/";
                }
            }
        };
        made.first = sample(written[below(written.size())]);
        made.tenth = sample(written[below(written.size())]);
        return made;
    }

private:
    std::mt19937 random_;
};

TEST(ExtendedLearning, AgreesWithTheStepByStepSearchOnGeneratedPages) {
    int allResults = 0, firstTen = 0, lastTen = 0, destinations = 0, several = 0;
    for (uint32_t seed = 1; seed <= 1500; ++seed) {
        const PageMaker::Made c = PageMaker(seed).make();
        const SampleForms first = sampleFormsOf(c.first, PAGE);
        const SampleForms tenth = sampleFormsOf(c.tenth, PAGE);
        const ExtendedSearch fast = findExtendedRules(c.page, PAGE, first, tenth);
        ASSERT_FALSE(fast.exhausted);
        ASSERT_EQ(fast.options, testing::literalExtendedRules(c.page, PAGE, first, tenth))
            << "seed " << seed << " page [" << c.page << "] first [" << c.first << "] tenth [" << c.tenth << "]";
        for (const auto& option : fast.options) {
            allResults += option.rule.selection == LinkSelection::EveryLink;
            firstTen += option.rule.selection == LinkSelection::FirstTen;
            lastTen += option.rule.selection == LinkSelection::LastTen;
            destinations += option.match == SampleMatch::Destination;
        }
        several += fast.options.size() > 1;
    }
    // The generator must reach every kind of outcome, not only the empty one.
    EXPECT_GT(allResults, 50);
    EXPECT_GT(firstTen, 10);
    EXPECT_GT(lastTen, 10);
    EXPECT_GT(destinations, 10);
    EXPECT_GT(several, 50);
}

}  // namespace
}  // namespace vexor
