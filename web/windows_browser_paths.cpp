#include "web/windows_browser_paths.h"

#include <algorithm>

#include "platform/files.h"

namespace vexor {

std::vector<std::string> browserExecutableNames() { return {"msedge.exe", "chrome.exe"}; }

std::vector<std::string> installedBrowserCandidates(const InstallRoots& roots) {
    static const char* const relativePaths[] = {
        "Microsoft\\Edge\\Application\\msedge.exe",
        "Google\\Chrome\\Application\\chrome.exe",
        "Chromium\\Application\\chrome.exe",
    };
    std::vector<std::string> candidates;
    for (const char* relative : relativePaths) {
        for (const std::string* root : {&roots.programFiles, &roots.programFilesX86, &roots.localAppData}) {
            if (root->empty()) continue;
            std::string candidate = joinPath(*root, relative);
            if (std::find(candidates.begin(), candidates.end(), candidate) == candidates.end())
                candidates.push_back(std::move(candidate));
        }
    }
    return candidates;
}

std::string appPathValue(const std::string& value) {
    const std::size_t first = value.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    std::string path = value.substr(first, value.find_last_not_of(" \t") - first + 1);
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
    return path;
}

}  // namespace vexor
