// The install folders a browser is looked for in on Windows, in the order they are tried.
#include <gtest/gtest.h>

#include "web/windows_browser_paths.h"

namespace vexor {
namespace {

TEST(InstalledBrowserCandidates, EdgeThenChromeThenChromiumUnderEachRootThatIsSet) {
    const std::string pf = "C:\\Program Files", x86 = "C:\\Program Files (x86)", local = "C:\\Users\\u\\AppData\\Local";
    const struct {
        InstallRoots roots;
        std::vector<std::string> expected;
    } cases[] = {
        {{pf, x86, local},
         {pf + "\\Microsoft\\Edge\\Application\\msedge.exe", x86 + "\\Microsoft\\Edge\\Application\\msedge.exe",
          local + "\\Microsoft\\Edge\\Application\\msedge.exe", pf + "\\Google\\Chrome\\Application\\chrome.exe",
          x86 + "\\Google\\Chrome\\Application\\chrome.exe", local + "\\Google\\Chrome\\Application\\chrome.exe",
          pf + "\\Chromium\\Application\\chrome.exe", x86 + "\\Chromium\\Application\\chrome.exe",
          local + "\\Chromium\\Application\\chrome.exe"}},
        // 32-bit Windows: one program folder, named twice; no per-user folder in the environment.
        {{pf + "\\", pf, ""},
         {pf + "\\Microsoft\\Edge\\Application\\msedge.exe", pf + "\\Google\\Chrome\\Application\\chrome.exe",
          pf + "\\Chromium\\Application\\chrome.exe"}},
        {{"", "", ""}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(installedBrowserCandidates(c.roots), c.expected) << c.roots.programFiles;
}

TEST(AppPathValue, DropsTheQuotesAndBlanksAroundThePath) {
    const struct {
        std::string value;
        std::string path;
    } cases[] = {
        {"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe",
         "C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe"},
        {"\"C:\\Program Files\\b.exe\"", "C:\\Program Files\\b.exe"},
        {"  \"C:\\b.exe\" ", "C:\\b.exe"},
        {"\"", "\""},
        {"   ", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(appPathValue(c.value), c.path) << c.value;
}

}  // namespace
}  // namespace vexor
