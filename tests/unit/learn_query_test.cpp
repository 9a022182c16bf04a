#include "engine/learn_query.h"

#include <gtest/gtest.h>

#include "engine/query_address.h"
#include "form_escape.h"
#include "japanese.h"
#include "web/euc_jp.h"
#include "web/keyword_forms.h"

namespace vexor {
namespace {

const std::string HOST = "http://search.example.jp";

EngineDefinition sample(const std::string& keyword, const std::string& page2, const std::string& page3) {
    EngineDefinition d;
    d.keyword = keyword;
    d.page2Url = page2;
    d.page3Url = page3;
    return d;
}

struct Learnt {
    std::string queryTemplate;
    int32_t pageStep;
    int32_t pageOffset;
    KeywordEncoding keywordEncoding;
    friend bool operator==(const Learnt&, const Learnt&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Learnt& l) {
        return out << "[" << l.queryTemplate << "] step " << l.pageStep << " offset " << l.pageOffset
                   << " encoding " << static_cast<int>(l.keywordEncoding);
    }
};

Learnt learnt(const EngineDefinition& d) {
    return {d.queryTemplate, d.pageStep, d.pageOffset, d.keywordEncoding};
}

// Learns from the two addresses and expects success.
Learnt learnFrom(const std::string& keyword, const std::string& page2, const std::string& page3) {
    EngineDefinition d = sample(keyword, page2, page3);
    EXPECT_TRUE(learnQueryTemplate(d)) << page2 << " / " << page3;
    return learnt(d);
}

using testing::cp932;
using testing::formEscaped;

TEST(LearnQueryTemplate, KeywordBeforeOrAfterThePageParameter) {
    EXPECT_EQ(learnFrom("abc", HOST + "/find?q=abc&start=10&lang=ja", HOST + "/find?q=abc&start=20&lang=ja"),
              (Learnt{HOST + "/find?q=%s&start=%d&lang=ja", 10, 0, KeywordEncoding::ShiftJis}));
    EXPECT_EQ(learnFrom("abc", HOST + "/find?p=2&q=abc", HOST + "/find?p=3&q=abc"),
              (Learnt{HOST + "/find?p=%d&q=%s", 1, 1, KeywordEncoding::ShiftJis}));
}

TEST(LearnQueryTemplate, KeywordRegionReachesToTheNextAmpersandOrTheEnd) {
    EXPECT_EQ(learnFrom("abc", "/s?start=10&q=abc", "/s?start=20&q=abc").queryTemplate, "/s?start=%d&q=%s");
    EXPECT_EQ(learnFrom("abc", "/s?q=abc+def&start=10", "/s?q=abc+def&start=20").queryTemplate,
              "/s?q=%s&start=%d");
    // The page value runs to the end of the address when no "&" follows it.
    EXPECT_EQ(learnFrom("abc", "/s?q=abc&b=10", "/s?q=abc&b=20").queryTemplate, "/s?q=%s&b=%d");
}

TEST(LearnQueryTemplate, KeywordAndEscapesFoundWithoutRegardToLetterCase) {
    EXPECT_EQ(learnFrom("ABC", "/s?q=abc&n=2", "/s?q=abc&n=3").queryTemplate, "/s?q=%s&n=%d");
    // The UTF-8 escapes of あ written with lower-case hexadecimal digits.
    EXPECT_EQ(learnFrom(cp932(u8"あ"), "/s?q=%e3%81%82&n=2", "/s?q=%e3%81%82&n=3"),
              (Learnt{"/s?q=%s&n=%d", 1, 1, KeywordEncoding::Utf8}));
}

TEST(LearnQueryTemplate, ASpaceStandsAsPlusOrAsAnEscape) {
    EXPECT_EQ(learnFrom("a b", "/s?q=a+b&n=2", "/s?q=a+b&n=3").queryTemplate, "/s?q=%s&n=%d");
    EXPECT_EQ(learnFrom("a b", "/s?q=a%20b&n=2", "/s?q=a%20b&n=3").queryTemplate, "/s?q=%s&n=%d");
}

TEST(LearnQueryTemplate, EveryKeywordIsFoundInTheFormABrowserWrites) {
    // Keywords whose escaped form differs from percentEncode's: a space or an ASCII letter
    // after a character that the code page 932 scan would take for a lead byte.
    const std::vector<std::string> keywords = {
        "Q&A", "1+1", "C#", "100%", "a b", cp932(u8"天気 tokyo"), cp932(u8"あa"),
        cp932(u8"天気 東京"), cp932(u8"東京 ホテル"), cp932(u8"ЖЖ ab")};
    for (const auto& keyword : keywords) {
        for (const auto& [encoding, bytes] :
             {std::pair{KeywordEncoding::ShiftJis, keyword}, std::pair{KeywordEncoding::EucJp, toEucJp(keyword)},
              std::pair{KeywordEncoding::Utf8, toUtf8(keyword)}}) {
            const std::string form = formEscaped(bytes);
            SCOPED_TRACE(form);
            const Learnt l = learnFrom(keyword, "/s?q=" + form + "&start=10", "/s?q=" + form + "&start=20");
            // ASCII keywords read the same in every character set and give code 0.
            const bool ascii = bytes == keyword && toUtf8(keyword) == keyword;
            EXPECT_EQ(l, (Learnt{"/s?q=%s&start=%d", 10, 0, ascii ? KeywordEncoding::ShiftJis : encoding}));
            // The addresses built for the sample's pages hold the same bytes: learning from
            // them gives the same again.
            const auto built = [&](int page) {
                return buildQueryAddress(l.queryTemplate, keyword, page, l.pageStep, l.pageOffset,
                                         l.keywordEncoding);
            };
            EngineDefinition again = sample(keyword, built(2), built(3));
            ASSERT_TRUE(learnQueryTemplate(again)) << built(2);
            EXPECT_EQ(learnt(again), l) << built(2);
        }
    }
}

TEST(LearnQueryTemplate, EncodingIsTheFirstFormFoundInTheOrderShiftJisEucJpUtf8) {
    const std::string tokyo = cp932(u8"東京");
    const std::string shiftJis = "%93%8C%8B%9E", eucJp = "%C5%EC%B5%FE", utf8 = "%E6%9D%B1%E4%BA%AC";
    const auto encodingOf = [&](const std::string& query) {
        return learnFrom(tokyo, "/s?" + query + "&n=2", "/s?" + query + "&n=3").keywordEncoding;
    };
    EXPECT_EQ(encodingOf("q=" + shiftJis), KeywordEncoding::ShiftJis);
    EXPECT_EQ(encodingOf("q=" + eucJp), KeywordEncoding::EucJp);
    EXPECT_EQ(encodingOf("q=" + utf8), KeywordEncoding::Utf8);
    EXPECT_EQ(encodingOf("a=" + utf8 + "&b=" + eucJp), KeywordEncoding::EucJp);
    // The region is where the winning form stands, not where the first escape stands.
    EXPECT_EQ(learnFrom(tokyo, "/s?a=" + utf8 + "&q=" + shiftJis + "&n=2", "/s?a=" + utf8 + "&q=" + shiftJis + "&n=3"),
              (Learnt{"/s?a=%%E6%%9D%%B1%%E4%%BA%%AC&q=%s&n=%d", 1, 1, KeywordEncoding::ShiftJis}));
    // Raw bytes, as some engines' addresses carry Shift-JIS, are found as they stand.
    EXPECT_EQ(learnFrom(tokyo, "/s?q=" + tokyo + "&n=2", "/s?q=" + tokyo + "&n=3").keywordEncoding,
              KeywordEncoding::ShiftJis);
}

TEST(LearnQueryTemplate, OtherPercentSignsAreDoubledSoThatTheAddressKeepsThem) {
    EXPECT_EQ(learnFrom("abc", "/s?q=abc&ie=%E3%81&start=10", "/s?q=abc&ie=%E3%81&start=20").queryTemplate,
              "/s?q=%s&ie=%%E3%%81&start=%d");
    // A lower-case escape before the page number must not take the page placeholder's place.
    const Learnt early = learnFrom("abc", "/s?fr=%d3%a4&q=abc&start=10", "/s?fr=%d3%a4&q=abc&start=20");
    EXPECT_EQ(early.queryTemplate, "/s?fr=%%d3%%a4&q=%s&start=%d");
    const auto page = [](const Learnt& l, const std::string& keyword, int n) {
        return buildQueryAddress(l.queryTemplate, keyword, n, l.pageStep, l.pageOffset, l.keywordEncoding);
    };
    EXPECT_EQ(page(early, "abc", 1), "/s?fr=%d3%a4&q=abc&start=0");
    EXPECT_EQ(page(early, "abc", 3), "/s?fr=%d3%a4&q=abc&start=20");
    // An EUC-JP keyword repeated in another parameter in lower case (日本: c6fc cbdc).
    const std::string japan = cp932(u8"日本");
    const Learnt repeated = learnFrom(japan, "/s?q=%C6%FC%CB%DC&oq=%c6%fc%cb%dc&b=11",
                                      "/s?q=%C6%FC%CB%DC&oq=%c6%fc%cb%dc&b=21");
    EXPECT_EQ(repeated, (Learnt{"/s?q=%s&oq=%%c6%%fc%%cb%%dc&b=%d", 10, 1, KeywordEncoding::EucJp}));
    EXPECT_EQ(page(repeated, cp932(u8"東京"), 2), "/s?q=%C5%EC%B5%FE&oq=%c6%fc%cb%dc&b=11");
    // A "%" of the sample that starts no escape stays one "%" too.
    EXPECT_EQ(page(learnFrom("abc", "/s?q=abc&r=100%&n=2", "/s?q=abc&r=100%&n=3"), "k", 1),
              "/s?q=k&r=100%&n=1");
}

TEST(LearnQueryTemplate, StepAndOffsetFromThePageValues) {
    const auto stepAndOffset = [](const std::string& v2, const std::string& v3) {
        const Learnt l = learnFrom("k", "/s?q=k&p=" + v2 + "&x=1", "/s?q=k&p=" + v3 + "&x=1");
        return std::pair{l.pageStep, l.pageOffset};
    };
    EXPECT_EQ(stepAndOffset("11", "21"), std::pair(10, 1));
    EXPECT_EQ(stepAndOffset("20", "10"), std::pair(-10, 30));
    EXPECT_EQ(stepAndOffset("two", "three"), std::pair(0, 0));
    // A leading number is read up to its first other byte, after white space and a sign.
    EXPECT_EQ(stepAndOffset("10x", "20y"), std::pair(10, 0));
    EXPECT_EQ(stepAndOffset("+5", "-5"), std::pair(-10, 15));
    EXPECT_EQ(stepAndOffset("%2010", "%2020"), std::pair(0, 0));
    // Out-of-range values are held at the 32-bit limits and the arithmetic wraps.
    EXPECT_EQ(stepAndOffset("99999999999", "0"), std::pair(-2147483647, -2)) << "no overflow trap";
}

TEST(LearnQueryTemplate, ThePageParameterIsFoundAroundTheFirstDifference) {
    // The difference lies in the middle of the value: the whole value is the region.
    EXPECT_EQ(learnFrom("abc", "/s?q=abc&start=110", "/s?q=abc&start=120"),
              (Learnt{"/s?q=%s&start=%d", 10, 100, KeywordEncoding::ShiftJis}));
    // Without "=" before the difference, the value begins at the start of the address.
    EXPECT_EQ(learnFrom("abc", "/p2&q=abc", "/p3&q=abc"), (Learnt{"%d&q=%s", 0, 0, KeywordEncoding::ShiftJis}));
}

TEST(LearnQueryTemplate, AddressFailures) {
    const auto fails = [](const std::string& keyword, const std::string& page2, const std::string& page3) {
        EngineDefinition d = sample(keyword, page2, page3);
        d.queryTemplate = "/old?q=%s&p=%d";
        d.pageStep = 7;
        d.pageOffset = 3;
        if (learnQueryTemplate(d)) return false;
        // A failure leaves the template and the page arithmetic as they were.
        EXPECT_EQ(d.queryTemplate, "/old?q=%s&p=%d");
        EXPECT_EQ(d.pageStep, 7);
        EXPECT_EQ(d.pageOffset, 3);
        return true;
    };
    EXPECT_TRUE(fails("xyz", "/s?q=abc&n=2", "/s?q=abc&n=3")) << "keyword not in the address";
    EXPECT_TRUE(fails("abc", "/s?q=abc&n=2", "/s?q=abc&n=2")) << "equal addresses";
    EXPECT_TRUE(fails("abc", "/s?q=abc&n=2", "/s?q=abc&n=2&x=1")) << "one begins the other";
    EXPECT_TRUE(fails("abc", "a/s?q=abc&n=2", "b/s?q=abc&n=3")) << "first bytes differ";
    EXPECT_TRUE(fails("abc", "/s/abc/2", "/s/abc/3")) << "no = before and no & after";
    // A page value that is no number is not a failure.
    EXPECT_FALSE(fails("abc", "/s?q=abc&n=b", "/s?q=abc&n=c"));
}

TEST(LearnQueryTemplate, EncodingIsWrittenEvenWhenALaterStepFails) {
    EngineDefinition d = sample(cp932(u8"あ"), "/s?q=%E3%81%82&n=2", "/s?q=%E3%81%82&n=2");
    EXPECT_FALSE(learnQueryTemplate(d));
    EXPECT_EQ(d.keywordEncoding, KeywordEncoding::Utf8);
    EXPECT_TRUE(d.queryTemplate.empty());
}

TEST(LearnQueryTemplate, OverlappingRegionsAreAnAddressFailure) {
    // Keyword and page number in one value: no template could hold both placeholders.
    EngineDefinition d = sample("abc", "/s?q=abc2", "/s?q=abc3");
    d.queryTemplate = "/old?q=%s&p=%d";
    d.pageStep = 7;
    d.pageOffset = 3;
    EXPECT_FALSE(learnQueryTemplate(d));
    EXPECT_EQ(d.queryTemplate, "/old?q=%s&p=%d");
    EXPECT_EQ(d.pageStep, 7);
    EXPECT_EQ(d.pageOffset, 3);
}

}  // namespace
}  // namespace vexor
