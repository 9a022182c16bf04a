// The Shift-JIS to EUC-JP arithmetic.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <iconv.h>
#endif

#include "web/euc_jp.h"

namespace vexor {
namespace {

TEST(ToEucJp, ConvertsKnownCharacters) {
    EXPECT_EQ(toEucJp("\x8A\xBF\x8E\x9A"), "\xB4\xC1\xBB\xFA");          // 漢字
    EXPECT_EQ(toEucJp("\x82\xA0\x82\xA2\x82\xF1"), "\xA4\xA2\xA4\xA4\xA4\xF3");  // あいん
    EXPECT_EQ(toEucJp("\x83\x41\x83\x93\x83\x94"), "\xA5\xA2\xA5\xF3\xA5\xF4");  // アンヴ
    EXPECT_EQ(toEucJp("\x95\x5C\x83\x5C"), "\xC9\xBD\xA5\xBD");          // 表ソ
    EXPECT_EQ(toEucJp("\x81\x40\x81\x7E\x81\x80"), "\xA1\xA1\xA1\xDF\xA1\xE0");  // row 1 edges
    EXPECT_EQ(toEucJp("\xEA\xA4"), "\xF4\xA6");                          // 熙, the last of JIS X 0208
    EXPECT_EQ(toEucJp("\x87\x40"), "\xAD\xA1");                          // ① in the NEC row
}

// Lead bytes 0xEB-0xEF lie past JIS X 0208 (the NEC-selected IBM rows among them); the row
// arithmetic carries them on into EUC-JP rows 0xF5-0xFE instead of dropping them.
TEST(ToEucJp, LeadBytesPastJisX0208FollowTheRowArithmetic) {
    EXPECT_EQ(toEucJp("\xEB\x40"), "\xF5\xA1");
    EXPECT_EQ(toEucJp("\xEC\x9F"), "\xF8\xA1");
    EXPECT_EQ(toEucJp("\xED\x40\xEE\xFC"), "\xF9\xA1\xFC\xFE");
    EXPECT_EQ(toEucJp("\xEF\xFC"), "\xFE\xFE");
    EXPECT_EQ(toEucJp("a\xEF\x80" "b"), "a\xFD\xE0" "b");
}

TEST(ToEucJp, KeepsAsciiAndMakesSs2PairsOfHalfWidthKatakana) {
    EXPECT_EQ(toEucJp("abc 1+1/~\\"), "abc 1+1/~\\");
    EXPECT_EQ(toEucJp("\xB1\xDF\xA1"), "\x8E\xB1\x8E\xDF\x8E\xA1");
    EXPECT_EQ(toEucJp("a\xB1" "b\x82\xA0"), "a\x8E\xB1" "b\xA4\xA2");
    EXPECT_EQ(toEucJp(""), "");
}

TEST(ToEucJp, DropsWhatHasNoEucJpFormAndReadsOnAfterIt) {
    EXPECT_EQ(toEucJp("a\x82"), "a");                     // lead byte at the end
    EXPECT_EQ(toEucJp("\x82\x20" "b"), " b");             // lead byte before a non-trail byte
    EXPECT_EQ(toEucJp("\x82\x7F" "b"), "\x7F" "b");       // 0x7F is no second byte
    EXPECT_EQ(toEucJp("x\x80\xA0\xFD\xFE\xFFy"), "xy");   // bytes that start nothing
    EXPECT_EQ(toEucJp("\xF0\x40" "a\xFA\x40"), "a");      // user-defined and IBM extension
}

#ifndef _WIN32
// Every JIS X 0208 character of code page 932 against the C library's converter.
TEST(ToEucJp, AgreesWithIconvOnEveryJisX0208Character) {
    iconv_t cd = iconv_open("EUC-JP", "CP932");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    int compared = 0;
    for (int lead = 0x81; lead <= 0xEA; ++lead) {
        if (lead > 0x9F && lead < 0xE0) continue;
        if (lead >= 0x85 && lead <= 0x88) continue;  // NEC rows: vendor-specific in EUC-JP
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            char out[8];
            char* inPtr = in;
            char* outPtr = out;
            std::size_t inLeft = 2, outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
                continue;  // unassigned, or no EUC-JP form in the C library's table
            const std::string expected(out, static_cast<std::size_t>(outPtr - out));
            if (expected.size() != 2) continue;
            EXPECT_EQ(toEucJp(std::string(in, 2)), expected) << std::hex << lead << " " << trail;
            ++compared;
        }
    }
    iconv_close(cd);
    // JIS X 0208 holds 6879 characters; the C library lacks an EUC-JP form for about a hundred
    // code page 932 mappings (～, ∥, ￢ ...).
    EXPECT_GT(compared, 6700);
}
#endif

}  // namespace
}  // namespace vexor
