// The byte helpers that page-sized loops use: lowering eight bytes at a time must lower exactly
// what the one-byte form lowers, wherever the bytes stand.
#include <gtest/gtest.h>

#include <string>

#include "platform/bytes.h"

namespace vexor {
namespace {

TEST(LowerAsciiInPlace, LowersEveryByteAsTheOneByteFormDoesAtEveryOffset) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
    for (std::size_t offset = 0; offset < 9; ++offset) {
        SCOPED_TRACE(offset);
        std::string text = std::string(offset, 'Q') + all + all.substr(0, offset);
        std::string expected = text;
        for (char& c : expected) c = lowerAscii(c);
        lowerAsciiInPlace(text);
        EXPECT_EQ(text, expected);
    }
    EXPECT_EQ(lowerAscii("@AZ[`az{\xC1"), "@az[`az{\xC1");
}

TEST(ByteSet, FindsTheFirstMemberFromAPlace) {
    constexpr ByteSet ENDS{"/?#"};
    EXPECT_EQ(ENDS.firstIn("//host/path?q#f", 2), 6u);
    EXPECT_EQ(ENDS.firstIn("host?q", 0), 4u);
    EXPECT_EQ(ENDS.firstIn("host", 0), std::string_view::npos);
    EXPECT_EQ(ENDS.firstIn("a/", 5), std::string_view::npos);
    EXPECT_FALSE(ENDS.holds('\0'));
}

TEST(IgnoringCase, ComparesWithALowerCaseWord) {
    EXPECT_TRUE(equalsIgnoringCase("HtTp", "http"));
    EXPECT_FALSE(equalsIgnoringCase("http:", "http"));
    EXPECT_TRUE(startsWithIgnoringCase("HTTPS://x", "https://"));
    EXPECT_FALSE(startsWithIgnoringCase("HTTP", "https"));
}

}  // namespace
}  // namespace vexor
