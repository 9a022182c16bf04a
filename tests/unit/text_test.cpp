// Code page 932 conversions. The same cases run natively (iconv) and under Wine (the Windows
// converters); both must give the same bytes.
#include <gtest/gtest.h>

#include "japanese.h"
#include "platform/text.h"

namespace vexor {
namespace {

using testing::cp932;
using testing::utf8Bytes;

TEST(Cp932ToUtf8, ConvertsJapaneseToKnownBytes) {
    // 日本語 in code page 932 and in UTF-8.
    EXPECT_EQ(cp932ToUtf8("\x93\xFA\x96\x7B\x8C\xEA"), "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E");
    // 表 has the second byte 0x5C; it must not come out as a backslash.
    EXPECT_EQ(cp932ToUtf8("\x95\x5C"), "\xE8\xA1\xA8");
    // Half-width katakana, then ① (an NEC special character) and the code page 932 forms of
    // ～ and ＼, which differ from plain Shift-JIS tables.
    EXPECT_EQ(cp932ToUtf8("\xB1"), "\xEF\xBD\xB1");
    EXPECT_EQ(cp932ToUtf8("\x87\x40"), "\xE2\x91\xA0");
    EXPECT_EQ(cp932ToUtf8("\x81\x60"), "\xEF\xBD\x9E");
    EXPECT_EQ(cp932ToUtf8("\x81\x5F"), "\xEF\xBC\xBC");
    EXPECT_EQ(cp932ToUtf8("a\\b~"), "a\\b~");
    EXPECT_EQ(cp932ToUtf8(""), "");
}

TEST(Cp932ToUtf8, DropsBytesThatFormNoCharacterAndKeepsTheRest) {
    EXPECT_EQ(cp932ToUtf8("a\x82"), "a");                  // lead byte at the end
    EXPECT_EQ(cp932ToUtf8("\x82\x20" "b"), " b");          // lead byte before a space
    EXPECT_EQ(cp932ToUtf8("x\x80\xA0\xFDy"), "xy");        // bytes that start nothing
    EXPECT_EQ(cp932ToUtf8("a\x85\x40" "b"), "ab");         // an unassigned pair
    EXPECT_EQ(cp932ToUtf8("\x82\xA0\x85\x40\x82\xA2"), "\xE3\x81\x82\xE3\x81\x84");
}

TEST(Utf8ToCp932, ConvertsAndRefusesWhatHasNoCodePage932Form) {
    EXPECT_EQ(utf8ToCp932("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"), "\x93\xFA\x96\x7B\x8C\xEA");
    EXPECT_EQ(utf8ToCp932("\xE8\xA1\xA8\xEF\xBD\xB1"), "\x95\x5C\xB1");
    EXPECT_EQ(utf8ToCp932(""), "");
    EXPECT_EQ(utf8ToCp932("\xF0\x9F\x98\x80"), std::nullopt);  // an emoji
    EXPECT_EQ(utf8ToCp932("\xED\x95\x9C"), std::nullopt);      // a Hangul syllable
    EXPECT_EQ(utf8ToCp932("a\xFF" "b"), std::nullopt);         // not UTF-8
    EXPECT_EQ(utf8ToCp932("\xC3\xA9"), std::nullopt);          // é: no exact form, no best fit
}

TEST(Utf8ToCp932, RoundTripsEveryKindOfCharacter) {
    const std::string text = cp932(u8"ｱｲｳ 漢字かなカナ①～表ソ能 abc");
    EXPECT_EQ(utf8ToCp932(cp932ToUtf8(text)), text);
    EXPECT_EQ(cp932ToUtf8(text), utf8Bytes(u8"ｱｲｳ 漢字かなカナ①～表ソ能 abc"));
}

#ifdef _WIN32
TEST(Cp932Wide, ConvertsWithCodePage932WhateverTheAnsiCodePage) {
    EXPECT_EQ(cp932ToWide("\x93\xFA\x96\x7B\x95\x5C"), L"\u65E5\u672C\u8868");
    EXPECT_EQ(wideToCp932(L"\u65E5\u672C\u8868"), "\x93\xFA\x96\x7B\x95\x5C");
    EXPECT_EQ(wideToCp932(L"\uD55C"), std::nullopt);
    EXPECT_EQ(cp932ToWide("a\x85\x40" "b"), L"ab");
}
#endif

}  // namespace
}  // namespace vexor
