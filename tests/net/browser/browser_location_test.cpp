// Finding the browser: a configured path alone, else the usual names on PATH.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "temp_folder.h"
#include "web/browser_location.h"

namespace vexor {
namespace {

// A file in folder, executable or not.
std::string makeFile(const testing::TempFolder& folder, const std::string& name, bool executable) {
    const std::string path = (folder.native() / name).string();
    std::ofstream(path) << "#!/bin/sh\n";
    ::chmod(path.c_str(), executable ? 0755 : 0644);
    return path;
}

TEST(BrowserLocation, AConfiguredPathAloneElseTheUsualNamesOnPath) {
    testing::TempFolder first;
    testing::TempFolder second;
    const std::string plainFile = makeFile(first, "chromium", false);  // not executable: passed over
    const std::string onPath = makeFile(second, "chromium-browser", true);
    const std::string configured = makeFile(second, "my-browser", true);
    const char* saved = std::getenv("PATH");
    const std::string savedPath = saved ? saved : "";
    ::setenv("PATH", ("::" + first.native().string() + ":" + second.native().string()).c_str(), 1);
    struct Case {
        std::string configured;
        std::string found;
    };
    const Case cases[] = {
        {"", onPath},
        {configured, configured},
        {plainFile, plainFile},  // configured, but no program: its start says so
        {(second.native() / "missing").string(), (second.native() / "missing").string()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.configured);
        EXPECT_EQ(findBrowser(c.configured), c.found);
    }
    ::setenv("PATH", first.native().c_str(), 1);
    EXPECT_EQ(findBrowser(""), "");
    ::setenv("PATH", savedPath.c_str(), 1);
}

}  // namespace
}  // namespace vexor
