// Query addresses: template expansion, the keyword forms and the escaping learning relies on.
#include <gtest/gtest.h>

#include <climits>

#include "japanese.h"
#include "engine/query_address.h"
#include "web/keyword_forms.h"

namespace vexor {
namespace {

using testing::cp932;

std::string build(const std::string& queryTemplate, const std::string& keyword, int32_t page,
                  int32_t step, int32_t offset, KeywordEncoding encoding = KeywordEncoding::ShiftJis) {
    return buildQueryAddress(queryTemplate, keyword, page, step, offset, encoding);
}

TEST(BuildQueryAddress, PutsKeywordAndPageValueWhereThePlaceholdersStand) {
    const std::string keywordFirst = "http://search.example/find?q=%s&start=%d&lang=ja";
    EXPECT_EQ(build(keywordFirst, "abc", 1, 10, 0), "http://search.example/find?q=abc&start=0&lang=ja");
    EXPECT_EQ(build(keywordFirst, "abc", 3, 10, 0), "http://search.example/find?q=abc&start=20&lang=ja");
    const std::string numberFirst = "http://search.example/r?p=%d&q=%s";
    EXPECT_EQ(build(numberFirst, "abc", 2, 1, 1), "http://search.example/r?p=2&q=abc");
    EXPECT_EQ(build(numberFirst, "abc", 10, 1, 1), "http://search.example/r?p=10&q=abc");
    // Page values below zero and 32-bit wrapping print as signed decimals.
    EXPECT_EQ(build(numberFirst, "k", 1, 10, -5), "http://search.example/r?p=-5&q=k");
    EXPECT_EQ(build(numberFirst, "k", 2, 1, INT32_MAX), "http://search.example/r?p=-2147483648&q=k");
}

TEST(BuildQueryAddress, IsEmptyWithoutBothPlaceholders) {
    EXPECT_EQ(build("http://e.example/?q=%s", "abc", 1, 10, 0), "");
    EXPECT_EQ(build("http://e.example/?p=%d", "abc", 1, 10, 0), "");
    EXPECT_EQ(build("", "abc", 1, 10, 0), "");
    // "%%d" is a literal "%d", not a placeholder.
    EXPECT_EQ(build("http://e.example/?x=%%d&q=%s", "abc", 1, 10, 0), "");
    EXPECT_EQ(build("?x=%%d&q=%s&p=%d", "abc", 2, 3, 1), "?x=%d&q=abc&p=4");
}

TEST(BuildQueryAddress, CopiesOtherPercentSequencesAndHalvesDoublePercents) {
    EXPECT_EQ(build("?a=%2F%e3%81&q=%s&p=%d&r=100%%", "k", 1, 1, 0), "?a=%2F%e3%81&q=k&p=0&r=100%");
    // Only the first "%d" and the first "%s" are placeholders; later ones stay as they are.
    EXPECT_EQ(build("?q=%s&p=%d&again=%d%s&end=%", "k", 1, 1, 0), "?q=k&p=0&again=%d%s&end=%");
    // Keyword bytes are inserted as they are, even a "%d" inside them.
    EXPECT_EQ(build("?q=%s&p=%d", "%d%s", 1, 1, 0), "?q=%d%s&p=0");
}

TEST(BuildQueryAddress, KeywordFormFollowsTheEncoding) {
    const std::string tpl = "?q=%s&p=%d";
    EXPECT_EQ(build(tpl, "a b", 1, 1, 0, KeywordEncoding::ShiftJis), "?q=a b&p=0");
    EXPECT_EQ(build(tpl, "a b", 1, 1, 0, KeywordEncoding::Utf8), "?q=a+b&p=0");
    EXPECT_EQ(build(tpl, "1+1", 1, 1, 0, KeywordEncoding::Utf8), "?q=1%2B1&p=0");
    EXPECT_EQ(build(tpl, "aZ09*-.@_", 1, 1, 0, KeywordEncoding::Utf8), "?q=aZ09*-.@_&p=0");
    const std::string a = cp932(u8"あ");
    EXPECT_EQ(build(tpl, a, 1, 1, 0, KeywordEncoding::ShiftJis), "?q=\x82\xA0&p=0");
    EXPECT_EQ(build(tpl, a, 1, 1, 0, KeywordEncoding::EucJp), "?q=%A4%A2&p=0");
    EXPECT_EQ(build(tpl, a, 1, 1, 0, KeywordEncoding::Utf8), "?q=%E3%81%82&p=0");
    EXPECT_EQ(build(tpl, a, 1, 1, 0, static_cast<KeywordEncoding>(7)), "?q=\x82\xA0&p=0");
}

TEST(BuildQueryAddress, NeverTruncatesLongAddresses) {
    const std::string longTemplate = "http://e.example/?q=%s&p=%d&pad=" + std::string(2500, 'x');
    const std::string keyword(600, 'k');
    const std::string address = build(longTemplate, keyword, 1, 10, 0);
    EXPECT_EQ(address, "http://e.example/?q=" + keyword + "&p=0&pad=" + std::string(2500, 'x'));
    EXPECT_GT(address.size(), 2000u);
}

TEST(PercentEncode, ScansAsCodePage932) {
    EXPECT_EQ(percentEncode("\x83\x41"), "%83%41");  // the second byte "A" is escaped too
    EXPECT_EQ(percentEncode("\xB1"), "%B1");
    EXPECT_EQ(percentEncode("\xE3\x81\x82" "a"), "%E3%81%82%61");
    EXPECT_EQ(percentEncode("a b"), "a+b");
    EXPECT_EQ(percentEncode("aZ09*-.@_"), "aZ09*-.@_");
    EXPECT_EQ(percentEncode("/?&=~%+\t\r\n"), "%2F%3F%26%3D%7E%25%2B%09%0D%0A");
    EXPECT_EQ(percentEncode(std::string("\0x", 2)), "%00x");
    EXPECT_EQ(percentEncode("x\x83"), "x%83");  // a lead byte at the end stands alone
    EXPECT_EQ(percentEncode("\x95\x5C\xFF"), "%95%5C%FF");
    EXPECT_EQ(percentEncode(""), "");
}

TEST(FindIgnoringCase, ComparesAsciiLettersWithoutCase) {
    const std::string address = "http://e.example/?q=%e3%81%82&p=2";
    EXPECT_EQ(findIgnoringCase(address, "%E3%81%82"), address.find("%e3"));
    EXPECT_EQ(findIgnoringCase(address, "Q=%E3"), address.find("q=%e3"));
    EXPECT_EQ(findIgnoringCase(address, "%E3%81%83"), std::string::npos);
    EXPECT_EQ(findIgnoringCase(address, ""), 0u);
    EXPECT_EQ(findIgnoringCase("", "a"), std::string::npos);
    // Only A-Z fold: bytes above 0x7F are compared as they are.
    EXPECT_EQ(findIgnoringCase("x\xC1", "\xE1"), std::string::npos);
}

TEST(ToUtf8, GivesTheSameBytesOnEveryPlatform) {
    EXPECT_EQ(toUtf8(cp932(u8"検索 ｷｰﾜｰﾄﾞ")), testing::utf8Bytes(u8"検索 ｷｰﾜｰﾄﾞ"));
    EXPECT_EQ(toUtf8("\x8C\x9F\x8D\xF5"), "\xE6\xA4\x9C\xE7\xB4\xA2");
}

}  // namespace
}  // namespace vexor
