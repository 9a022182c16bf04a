// The byte helpers that page-sized loops use: lowering eight bytes at a time must lower exactly
// what the one-byte form lowers, and the searches that compare sixteen bytes at once must find
// exactly what a byte-by-byte search finds, wherever the bytes stand. And the table that numbers
// texts.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/bytes.h"
#include "platform/text_numbers.h"

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

// Texts of a few bytes from a small alphabet, so that bytes and pairs stand often, at every
// length around the sixteen bytes compared at once.
std::vector<std::string> smallAlphabetTexts() {
    std::mt19937 random(5);
    std::vector<std::string> texts;
    for (std::size_t size = 0; size < 70; ++size) {
        std::string text;
        for (std::size_t i = 0; i < size; ++i) text += "ab<\"\xFF<Z/@[<`{\xC1"[random() % 14];
        texts.push_back(text);
    }
    return texts;
}

TEST(ForEachPlaceOf, VisitsEveryPlaceOfTheByteInOrder) {
    for (const std::string& text : smallAlphabetTexts()) {
        for (const char byte : {'a', '<', '\xFF', 'z'}) {
            std::vector<std::size_t> expected;
            for (std::size_t i = 0; i < text.size(); ++i)
                if (text[i] == byte) expected.push_back(i);
            std::vector<std::size_t> visited;
            forEachPlaceOf(text, byte, [&](std::size_t at) { visited.push_back(at); });
            EXPECT_EQ(visited, expected) << text;
        }
    }
}

TEST(ForEachTagOpening, VisitsEveryLessThanSignBeforeALetter) {
    for (const std::string& text : smallAlphabetTexts()) {
        std::vector<std::size_t> expected;
        for (std::size_t i = 0; i + 1 < text.size(); ++i)
            if (text[i] == '<' && isAsciiLetter(text[i + 1])) expected.push_back(i);
        std::vector<std::size_t> visited;
        forEachTagOpening(text, [&](std::size_t at) { visited.push_back(at); });
        EXPECT_EQ(visited, expected) << text;
    }
}

TEST(FindPair, FindsTheFirstPlaceOfBothBytesThatMatches) {
    for (const std::string& text : smallAlphabetTexts()) {
        SCOPED_TRACE(text);
        // Both offsets within a three-byte window, in either order; matches turns away even places.
        for (const auto& [offsetA, offsetB] : {std::pair<std::size_t, std::size_t>{0, 2}, {2, 1}, {1, 1}}) {
            if (text.size() < 3) continue;
            for (std::size_t from = 0; from + 3 <= text.size(); from += 7) {
                const auto odd = [](std::size_t at) { return at % 2 == 1; };
                std::size_t expected = std::string_view::npos;
                for (std::size_t i = from; i + 3 <= text.size() && expected == std::string_view::npos; ++i)
                    if (text[i + offsetA] == 'a' && text[i + offsetB] == '<' && odd(i)) expected = i;
                EXPECT_EQ(findPair(text, from, text.size() - 3, offsetA, 'a', offsetB, '<', odd), expected);
            }
        }
    }
}

TEST(TextNumbers, NumbersEqualTextsAlikeInTheOrderMet) {
    std::vector<std::string> texts;
    for (int i = 0; i < 5000; ++i) texts.push_back("/link?n=" + std::to_string(i % 1700));
    TextNumbers views;
    TextNumbers copies(TextNumbers::Keeping::Copies);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const auto expected = static_cast<int32_t>(i % 1700);
        const TextNumbers::Numbered byView = views.number(texts[i]);
        EXPECT_EQ(byView.number, expected);
        EXPECT_EQ(byView.added, i < 1700);
        // A copy is numbered from a text that is gone once numbered.
        std::string gone = texts[i];
        EXPECT_EQ(copies.number(gone).number, expected);
    }
    EXPECT_EQ(views.size(), 1700u);
    EXPECT_EQ(copies.text(1234), "/link?n=1234");
    EXPECT_EQ(views.find("/link?n=99"), 99);
    EXPECT_EQ(views.find("/link?n=1700"), -1);
    EXPECT_EQ(TextNumbers().find(""), -1);
    EXPECT_EQ(copies.number("").number, 1700);
}

}  // namespace
}  // namespace vexor
