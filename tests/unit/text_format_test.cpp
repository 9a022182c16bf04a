// Filling the placeholder of a system text.
#include <gtest/gtest.h>

#include "app/text_format.h"
#include "app/texts.h"

namespace vexor {
namespace {

TEST(FormatWithText, PutsTheWholeValueBetweenTheQuotes) {
    const std::string path = "engine\\" + std::string(1000, 'a') + "\x95\x5C.eng";
    const std::string message = formatWithText(texts::FMT_ENGINE_READ_FAILED, path);
    const std::string pattern = texts::FMT_ENGINE_READ_FAILED;
    EXPECT_EQ(message, "\"" + path + pattern.substr(3));
    EXPECT_EQ(message.size(), pattern.size() - 2 + path.size());
}

TEST(FormatWithText, ExpandsOnlyThePatternsPlaceholder) {
    EXPECT_EQ(formatWithText("[%s] %s 100%%", "x%sy%d"), "[x%sy%d] %s 100%");
    EXPECT_EQ(formatWithText("no placeholder", "x"), "no placeholder");
    EXPECT_EQ(formatWithText("%s", ""), "");
}

TEST(FormatWithNumber, PrintsSignedDecimals) {
    const std::string pattern = texts::FMT_PROGRESS;
    EXPECT_EQ(formatWithNumber(texts::FMT_PROGRESS, 37), pattern.substr(0, pattern.size() - 2) + "37");
    EXPECT_EQ(formatWithNumber("%d/%d", -12), "-12/%d");
    EXPECT_EQ(formatWithNumber("%d", 9000000000LL), "9000000000");
}

}  // namespace
}  // namespace vexor
