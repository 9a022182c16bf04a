// Finding the browser on POSIX: the names Chromium-family browsers are installed under, looked
// up on PATH as a shell does (but never in the current folder).
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>

#include "platform/text.h"
#include "web/browser_location.h"

namespace vexor {
namespace {

constexpr const char* BROWSER_NAMES[] = {"chromium", "chromium-browser", "google-chrome"};

bool isExecutableFile(const std::string& nativePath) {
    struct stat facts{};
    return stat(nativePath.c_str(), &facts) == 0 && S_ISREG(facts.st_mode) && access(nativePath.c_str(), X_OK) == 0;
}

}  // namespace

std::string findBrowser(const std::string& configured) {
    // A configured path is passed on as it is: starting it then says what is wrong with it.
    if (!configured.empty()) return configured;
    const char* path = std::getenv("PATH");
    const std::string_view folders = path ? path : "";
    for (const char* name : BROWSER_NAMES) {
        for (std::size_t from = 0; from <= folders.size();) {
            auto end = folders.find(':', from);
            if (end == std::string_view::npos) end = folders.size();
            // An empty entry is the current folder, as the shell reads it; it is skipped here
            // so that a browser is never started from wherever vexor happens to run.
            const std::string folder(folders.substr(from, end - from));
            from = end + 1;
            if (folder.empty()) continue;
            const std::string candidate = folder + "/" + name;
            if (isExecutableFile(candidate)) {
                if (auto text = utf8ToCp932(candidate)) return *text;
            }
        }
    }
    return {};
}

}  // namespace vexor
