// Quoting for a Windows command line: each case is an argument and the word that must stand for
// it, so that the C runtime's splitter gives the argument back.
#include <gtest/gtest.h>

#include "platform/windows_command_line.h"

namespace vexor {
namespace {

TEST(QuotedArgument, GivesWordsTheRuntimeSplitsBackIntoTheArgument) {
    const struct {
        std::string argument;
        std::string word;
    } cases[] = {
        {"--headless", "--headless"},
        {"C:\\dir\\file", "C:\\dir\\file"},          // backslashes without a quote stay single
        {"", "\"\""},
        {"a b", "\"a b\""},
        {"tab\there", "\"tab\there\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"a\\\"b", "\"a\\\\\\\"b\""},                // a backslash before a quote: 3 then the quote
        {"C:\\my dir\\", "\"C:\\my dir\\\\\""},      // a final backslash doubled before the close
        {"C:\\x\\\\ y\\\\", "\"C:\\x\\\\ y\\\\\\\\\""},
        // 表 (0x95 0x5C) and ソ (0x83 0x5C) end on a byte that is no backslash of their own.
        {"C:\\d \x95\x5C", "\"C:\\d \x95\x5C\""},
        {"\x83\x5C\"", "\"\x83\x5C\\\"\""},
    };
    for (const auto& c : cases) EXPECT_EQ(quotedArgument(c.argument), c.word) << c.argument;
}

TEST(WindowsCommandLine, QuotesTheProgramAlwaysAndTheArgumentsWhenNeeded) {
    EXPECT_EQ(windowsCommandLine("C:\\Program Files\\b.exe", {"--x", "a b"}),
              "\"C:\\Program Files\\b.exe\" --x \"a b\"");
    EXPECT_EQ(windowsCommandLine("b.exe", {}), "\"b.exe\"");
}

}  // namespace
}  // namespace vexor
