// Links read as a browser follows them: decoding, resolving, carried addresses, link kinds, and
// the target and sample comparisons built on them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/link_address.h"
#include "engine/link_kind.h"
#include "engine/learn_samples.h"
#include "engine/target_match.h"

namespace vexor {
namespace {

const PageAddress SEARCH = pageAddressOf("http://www.Search.example:8080/web/find?q=abc&p=2");

TEST(PageAddressOf, TakesTheHostInLowerCaseAndTheDirectory) {
    EXPECT_EQ(SEARCH.host, "www.search.example");
    EXPECT_EQ(SEARCH.directory, "/web/");
    EXPECT_EQ(pageAddressOf("https://user@e.example?q=1").directory, "/");
    EXPECT_EQ(pageAddressOf("https://user@e.example?q=1").host, "e.example");
    EXPECT_EQ(pageAddressOf("not an address").host, "");
}

TEST(Decoding, UndoesAsciiReferencesAndEscapesOnly) {
    EXPECT_EQ(decodeCharacterReferences("a&amp;b&lt;&gt;&quot;&apos;&#34;&#x2F;&#X2f;"), "a&b<>\"'\"//");
    // Not references, or not of ASCII characters: kept as written.
    EXPECT_EQ(decodeCharacterReferences("&amp &copy; &#0; &#128; &#xZZ; & &#;"), "&amp &copy; &#0; &#128; &#xZZ; & &#;");
    EXPECT_EQ(decodePercentEscapes("a%2Fb%2fc%3A%"), "a/b/c:%");
    EXPECT_EQ(decodePercentEscapes("%zz%4"), "%zz%4");
    // An escaped escape is undone twice, as a wrapper of an escaped address writes it.
    EXPECT_EQ(decodePercentEscapes("%252F%2525"), "/%");
}

TEST(Decoding, MappedFormsRememberWhereEachByteCameFrom) {
    const auto origins = [](const DecodedText& decoded) {
        std::vector<uint32_t> all;
        for (std::size_t i = 0; i < decoded.text.size(); ++i) all.push_back(decoded.originOf(i));
        return all;
    };
    const std::string text = "xy&amp;%41yz&#65;%2541&lt;q";
    const DecodedText references = decodeCharacterReferencesMapped(text);
    EXPECT_EQ(references.text, "xy&%41yzA%2541<q");
    EXPECT_THAT(origins(references),
                ::testing::ElementsAre(0u, 1u, 2u, 7u, 8u, 9u, 10u, 11u, 12u, 17u, 18u, 19u, 20u, 21u, 22u, 26u));
    const DecodedText both = decodePercentEscapesMapped(references);
    EXPECT_EQ(both.text, "xy&AyzAA<q");
    EXPECT_THAT(origins(both), ::testing::ElementsAre(0u, 1u, 2u, 7u, 10u, 11u, 12u, 17u, 22u, 26u));
}

TEST(AbsoluteForm, ResolvesEveryWayAPageWritesALink) {
    EXPECT_EQ(absoluteForm("HTTPS://Www.Site.example/A?B=1", SEARCH), "//www.site.example/A?B=1");
    EXPECT_EQ(absoluteForm("//Site.example/l/?u=x", SEARCH), "//site.example/l/?u=x");
    EXPECT_EQ(absoluteForm("/url?q=https://a.example/&amp;sa=U", SEARCH),
              "//www.search.example/url?q=https://a.example/&sa=U");
    EXPECT_EQ(absoluteForm("link?url=abc", SEARCH), "//www.search.example/web/link?url=abc");
    EXPECT_EQ(absoluteForm("javascript:void(0)", SEARCH), "javascript:void(0)");
    // Percent escapes stay; the comparable form undoes them and lowers the host again.
    EXPECT_EQ(absoluteForm("http://Merriam%2DWebster.com/", SEARCH), "//merriam%2DWebster.com/");
    EXPECT_EQ(comparableForm("http://Merriam%2DWebster.com/P%41TH", SEARCH), "//merriam-webster.com/PATH");
}

TEST(CarriedAddress, TakesTheParameterThatHoldsAnAddress) {
    const std::string wrapped = absoluteForm("/url?q=https://Site.example/a%3Fb%3D1&amp;sa=U&amp;ved=x", SEARCH);
    EXPECT_EQ(carriedAddress(wrapped, false), "//site.example/a?b=1");
    EXPECT_EQ(carriedAddress(wrapped, true), "//site.example/a?b=1&sa=U&ved=x");
    const std::string escaped = absoluteForm("//e.example/l/?uddg=https%3A%2F%2FSite.example%2Fp&amp;rut=9", SEARCH);
    EXPECT_EQ(carriedAddress(escaped, false), "//site.example/p");
    const std::string inPath = "//r.search.example/_ylt=A;_ylu=B/RV=2/RU=https%3a%2f%2fsite.example%2f/RK=2/RS=z";
    EXPECT_EQ(carriedAddress(inPath, false), "//site.example/");
    // An address not in a parameter of its own, or none at all.
    EXPECT_EQ(carriedAddress("//web.example/web/2020/https://site.example/", false), "");
    EXPECT_FALSE(carriedAddressIn("//e.example/link?url=6IqLFeTuIy").found());
}

TEST(LinkKind, TellsResultsFromRedirectsNavigationAndScripts) {
    EXPECT_EQ(linkKind("https://www.site.example/page", SEARCH), "absolute");
    EXPECT_EQ(linkKind("//other.example/x?u=https://a.example/", SEARCH), "absolute")
        << "another site's link that carries an address is still a direct result";
    EXPECT_EQ(linkKind("https://www.search.example/help", SEARCH), "absolute");
    EXPECT_EQ(linkKind("/url?q=https://a.example/&amp;sa=U", SEARCH), "wrapped:/url");
    EXPECT_EQ(linkKind("https://r.Search.example/url?q=https%3A%2F%2Fa.example%2F", SEARCH), "wrapped:/url");
    EXPECT_EQ(linkKind("/aclk?sa=l&amp;adurl=https://ad.example/", SEARCH), "wrapped:/aclk");
    EXPECT_EQ(linkKind("/search?q=abc&amp;start=10", SEARCH), "relative:/search");
    EXPECT_EQ(linkKind("link?url=token", SEARCH), "relative:/web/link");
    EXPECT_EQ(linkKind("index.html", SEARCH), "relative:/web/index.html");
    // Addresses a page shows as text, without their scheme.
    EXPECT_EQ(linkKind("www.site.example", SEARCH), "absolute");
    EXPECT_EQ(linkKind("site.example/page?x=1", SEARCH), "absolute");
    EXPECT_EQ(linkKind("JavaScript:go()", SEARCH), "other:javascript");
}

TEST(RegisteredDomain, KeepsTheLabelsAnOwnerRegisters) {
    EXPECT_EQ(registeredDomain("r.search.portal.example"), "portal.example");
    EXPECT_EQ(registeredDomain("search.example.co.jp"), "example.co.jp");
    EXPECT_EQ(registeredDomain("www.example.com.cn"), "example.com.cn");
    EXPECT_EQ(registeredDomain("www.example.de"), "example.de");
    EXPECT_EQ(registeredDomain("localhost"), "localhost");
}

TEST(MatchSample, KnowsTheLinkAsWrittenCopiedAndCarried) {
    const auto forms = [](std::string_view sample) { return sampleFormsOf(sample, SEARCH); };
    const std::string written = "/url?q=https://a.example/x&amp;sa=U";
    EXPECT_EQ(matchSample(written, forms(written), SEARCH), SampleMatch::Literal);
    // What a browser copies: absolute, references undone.
    EXPECT_EQ(matchSample(written, forms("https://www.search.example/url?q=https://a.example/x&sa=U"), SEARCH),
              SampleMatch::Address);
    // The result's own address.
    EXPECT_EQ(matchSample(written, forms("https://a.example/x"), SEARCH), SampleMatch::Destination);
    // A redirect copied from another host of the engine, with its own tracking parameters.
    EXPECT_EQ(matchSample(written, forms("http://www.search.example.co.uk/url?q=https://a.example/x&sa=X&ved=2"), SEARCH),
              SampleMatch::Destination);
    EXPECT_EQ(matchSample(written, forms("http://www.search.example.co.uk/url?q=https://a.example/xy&sa=U"), SEARCH),
              SampleMatch::None);
    EXPECT_EQ(matchSample("//d.example/l/?uddg=https%3A%2F%2FA.example%2Fx&amp;rut=1", forms("http://a.example/x"),
                          SEARCH),
              SampleMatch::Destination);
    EXPECT_EQ(matchSample("https://A.Example/x", forms("http://a.example/x"), SEARCH), SampleMatch::Address);
    EXPECT_EQ(matchSample(written, forms("https://a.example/y"), SEARCH), SampleMatch::None);
    EXPECT_EQ(matchSample("https://a.example/X", forms("http://a.example/x"), SEARCH), SampleMatch::None)
        << "only the host is compared without case";
    EXPECT_EQ(matchSample(written, forms(""), SEARCH), SampleMatch::None);
}

TEST(FindSampleLinks, FindsEachFormAtItsLinkStartInPageOrder) {
    const std::string page =
        "<a href=\"https://a.example/x\">1</a> <b data-u=\"/url?q=https://a.example/x&amp;sa=U\"> "
        "<a href=//e.example/l/?uddg=https%3A%2F%2Fa.example%2Fx>3</a> <p>https://a.example/x</p> "
        "<a href=\"https://a.example/xyz\"> <a href=\"https://b.example/x\">";
    const SampleLinks found = findSampleLinks(page, sampleFormsOf("https://a.example/x", SEARCH), SEARCH, 10);
    // The last that begins with the sample counts too, as a text that begins with a sample does.
    ASSERT_EQ(found.links.size(), 5u);
    EXPECT_EQ(page.substr(found.links[0].start, 5), "https");
    EXPECT_EQ(found.links[0].match, SampleMatch::Literal);
    EXPECT_EQ(page.substr(found.links[1].start, 7), "/url?q=");
    EXPECT_EQ(found.links[1].match, SampleMatch::Destination);
    EXPECT_EQ(page.substr(found.links[2].start, 13), "//e.example/l") << "after the unquoted attribute's name";
    EXPECT_EQ(found.links[3].match, SampleMatch::Literal) << "the text after <p> is a link start too";
    EXPECT_FALSE(found.exhausted);
    EXPECT_EQ(findSampleLinks(page, sampleFormsOf("https://a.example/x", SEARCH), SEARCH, 2).links.size(), 2u);
    // A link behind a quote written as a reference stands there and at the reference: a rule may
    // begin either way.
    const std::string quoted = "<b data-r=\"&#34;/url?q=https://a.example/x&amp;sa=U\">";
    const SampleLinks behind = findSampleLinks(quoted, sampleFormsOf("https://a.example/x", SEARCH), SEARCH, 10);
    ASSERT_EQ(behind.links.size(), 2u);
    EXPECT_EQ(quoted.substr(behind.links[0].start, 6), "&#34;/");
    EXPECT_EQ(quoted.substr(behind.links[1].start, 5), "/url?");
}

TEST(LinkHoldsTarget, BytesFirstThenTheDecodedLinkWithHostsInLowerCase) {
    EXPECT_TRUE(linkHoldsTarget("http://www.site.example/", "site.example"));
    EXPECT_TRUE(linkHoldsTarget("/url?q=https://merriam%2Dwebster.com/dictionary", "merriam-webster.com"));
    EXPECT_TRUE(linkHoldsTarget("https://Torrent-Games.net/page", "torrent-games.net"));
    EXPECT_TRUE(linkHoldsTarget("https://torrent-games.net/page", "Torrent-Games.net"));
    EXPECT_TRUE(linkHoldsTarget("//d.example/l/?uddg=https%3A%2F%2FWWW.Site.example%2F&amp;rut=1", "www.site.example/"));
    EXPECT_TRUE(linkHoldsTarget("https://a.example/?r=1&amp;s=2", "r=1&s=2"));
    // Paths keep their letter case, and a host is matched where it stands.
    EXPECT_FALSE(linkHoldsTarget("https://site.example/Page", "site.example/page"));
    EXPECT_TRUE(linkHoldsTarget("https://Site.example/Page", "site.example/Page"));
    EXPECT_FALSE(linkHoldsTarget("https://other.example/", "site.example"));
}

}  // namespace
}  // namespace vexor

namespace vexor {
namespace {

TEST(LinkHoldsTarget, AHostNameTargetMeansThatSiteAndTheSitesUnderIt) {
    const struct {
        const char* link;
        const char* target;
        bool holds;
    } cases[] = {
        {"http://mysite.example/", "mysite.example", true},
        {"https://www.mysite.example/a", "mysite.example", true},
        {"http://WWW.MySite.Example/", "mysite.example", true},
        {"http://www%2Emysite%2Eexample/", "MySite.example", true},
        {"http://user@mysite.example:8080/", "mysite.example", true},
        {"/url?q=http://www.mysite.example/&amp;sa=U", "mysite.example", true},
        {"//e.example/l/?uddg=https%3A%2F%2Fblog.mysite.example%2F&amp;rut=1", "mysite.example", true},
        {"http://www.notmysite.example/", "mysite.example", false},
        {"http://www.other.example/review?about=mysite.example", "mysite.example", false},
        {"http://mysite.example.other.example/", "mysite.example", false},
        {"/search?q=mysite.example", "mysite.example", false},
        // A target with a path is found where it stands, as the link writes it or decoded.
        {"http://www.notmysite.example/page", "mysite.example/page", true},
        {"http://www.other.example/review?about=mysite.example/", "mysite.example/", true},
        {"http://WWW.MySite.example/page", "www.mysite.example/page", true},
    };
    for (const auto& c : cases) EXPECT_EQ(linkHoldsTarget(c.link, c.target), c.holds) << c.link << " " << c.target;
}

TEST(ResultAddress, TheCarriedDestinationElseTheLinkMadeAbsoluteWithAScheme) {
    const struct {
        const char* link;
        const char* page;
        const char* address;
    } cases[] = {
        {"/url?q=http://www.r.example/a&amp;sa=U", "http://e.example/find?q=x", "http://www.r.example/a"},
        {"//e.example/l/?uddg=https%3A%2F%2Fr.example%2Fa%3Fb%3D1&amp;rut=1", "https://e.example/",
         "https://r.example/a?b=1"},
        {"/r/x?a=1&amp;b=2", "https://e.example/find", "https://e.example/r/x?a=1&b=2"},
        {"page.html", "http://e.example/dir/find?q=1", "http://e.example/dir/page.html"},
        {"//cdn.example/x", "https://e.example/", "https://cdn.example/x"},
        {"http://R.example/A", "https://e.example/", "http://r.example/A"},
        {"javascript:void(0)", "https://e.example/", "javascript:void(0)"},
    };
    for (const auto& c : cases) EXPECT_EQ(resultAddress(c.link, c.page), c.address) << c.link;
}

}  // namespace
}  // namespace vexor
