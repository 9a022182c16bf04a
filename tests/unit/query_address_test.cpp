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
    // A "%d" inside the keyword is the keyword's, escaped like the rest of it.
    EXPECT_EQ(build("?q=%s&p=%d", "%d%s", 1, 1, 0), "?q=%25d%25s&p=0");
}

TEST(BuildQueryAddress, KeywordFormFollowsTheEncodingAndIsAlwaysEscaped) {
    const std::string tpl = "?q=%s&p=%d";
    for (const auto encoding : {KeywordEncoding::ShiftJis, KeywordEncoding::EucJp, KeywordEncoding::Utf8}) {
        SCOPED_TRACE(static_cast<int>(encoding));
        // Characters that would end the parameter, change its meaning or cut the address.
        EXPECT_EQ(build(tpl, "Q&A", 1, 1, 0, encoding), "?q=Q%26A&p=0");
        EXPECT_EQ(build(tpl, "1+1", 1, 1, 0, encoding), "?q=1%2B1&p=0");
        EXPECT_EQ(build(tpl, "C#", 1, 1, 0, encoding), "?q=C%23&p=0");
        EXPECT_EQ(build(tpl, "100%", 1, 1, 0, encoding), "?q=100%25&p=0");
        EXPECT_EQ(build(tpl, "a b", 1, 1, 0, encoding), "?q=a+b&p=0");
        // Plain letters and digits go out as they did before escaping code page 932.
        EXPECT_EQ(build(tpl, "aZ09*-.@_", 1, 1, 0, encoding), "?q=aZ09*-.@_&p=0");
    }
    const std::string a = cp932(u8"あ");
    EXPECT_EQ(build(tpl, a, 1, 1, 0, KeywordEncoding::ShiftJis), "?q=%82%A0&p=0");
    EXPECT_EQ(build(tpl, a, 1, 1, 0, KeywordEncoding::EucJp), "?q=%A4%A2&p=0");
    EXPECT_EQ(build(tpl, a, 1, 1, 0, KeywordEncoding::Utf8), "?q=%E3%81%82&p=0");
    EXPECT_EQ(build(tpl, a, 1, 1, 0, static_cast<KeywordEncoding>(7)), "?q=%82%A0&p=0");
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

TEST(FindEscapedKeyword, ComparesTheBytesAQueryReaderDecodes) {
    constexpr auto ascii = ByteScan::Ascii;
    const std::string address = "http://e.example/?q=%e3%81%82&p=2";
    // Escapes in either case of hexadecimal digits; the position is that of the first escape.
    EXPECT_EQ(findEscapedKeyword(address, "\xE3\x81\x82", ascii), address.find("%e3"));
    EXPECT_EQ(findEscapedKeyword("?q=%E3%81%82", "\xE3\x81\x82", ascii), 3u);
    EXPECT_EQ(findEscapedKeyword(address, "\xE3\x81\x83", ascii), std::string::npos);
    // Bytes match whether they were escaped or not; a space is "+" or "%20".
    EXPECT_EQ(findEscapedKeyword("?q=a+b&p=2", "a b", ascii), 3u);
    EXPECT_EQ(findEscapedKeyword("?q=a%20b&p=2", "a b", ascii), 3u);
    EXPECT_EQ(findEscapedKeyword("?q=%61%62c", "abc", ascii), 3u);
    EXPECT_EQ(findEscapedKeyword("?q=Q%26A&p=2", "Q&A", ascii), 3u);
    EXPECT_EQ(findEscapedKeyword("?q=1%2b1", "1+1", ascii), 3u);
    // A "+" in the address is a space, never a plus sign.
    EXPECT_EQ(findEscapedKeyword("?q=1+1", "1+1", ascii), std::string::npos);
    // A "%" that starts no escape stands for itself.
    EXPECT_EQ(findEscapedKeyword("?q=100%25&r=5%", "5%", ascii), 12u);
    EXPECT_EQ(findEscapedKeyword("?q=%zz", "%zz", ascii), 3u);
    EXPECT_EQ(findEscapedKeyword(address, "", ascii), 0u);
    EXPECT_EQ(findEscapedKeyword("", "a", ascii), std::string::npos);
    EXPECT_EQ(findEscapedKeyword("?q=a%", "a%4", ascii), std::string::npos);
}

TEST(FindEscapedKeyword, FoldsOnlyLettersThatAreCharactersOfTheirOwn) {
    EXPECT_EQ(findEscapedKeyword("?q=ABC", "abc", ByteScan::Ascii), 3u);
    EXPECT_EQ(findEscapedKeyword("?q=%41bc", "abc", ByteScan::Ascii), 3u);
    // Bytes above 0x7F are compared as they are.
    EXPECT_EQ(findEscapedKeyword("x%C1", "\xE1", ByteScan::Ascii), std::string::npos);
    // The second byte of a code page 932 character is no letter: ア (83 41) is not ャ (83 61).
    EXPECT_EQ(findEscapedKeyword("?q=%83a", "\x83\x41", ByteScan::CodePage932), std::string::npos);
    EXPECT_EQ(findEscapedKeyword("?q=%83A", "\x83\x41", ByteScan::CodePage932), 3u);
    EXPECT_EQ(findEscapedKeyword("?q=%83Ab", "\x83\x41" "B", ByteScan::CodePage932), 3u);
}

TEST(ToUtf8, GivesTheSameBytesOnEveryPlatform) {
    EXPECT_EQ(toUtf8(cp932(u8"検索 ｷｰﾜｰﾄﾞ")), testing::utf8Bytes(u8"検索 ｷｰﾜｰﾄﾞ"));
    EXPECT_EQ(toUtf8("\x8C\x9F\x8D\xF5"), "\xE6\xA4\x9C\xE7\xB4\xA2");
}

}  // namespace
}  // namespace vexor
