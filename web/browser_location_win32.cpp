// Finds an installed Chromium-family browser on Windows: the App Paths registry entries first,
// as installers keep them current, then the folders the browsers install into.
#include <windows.h>

#include <optional>

#include "platform/files.h"
#include "platform/text.h"
#include "web/browser_location.h"
#include "web/windows_browser_paths.h"

namespace vexor {
namespace {

// The default value of an App Paths key, environment references expanded; nothing when the
// key or its value is missing.
std::optional<std::wstring> appPathsEntry(HKEY root, const std::string& executable) {
    const std::wstring key =
        L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + cp932ToWide(executable);
    DWORD size = 0;
    // RRF_RT_REG_SZ also takes REG_EXPAND_SZ values, expanded.
    if (RegGetValueW(root, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS ||
        size < sizeof(wchar_t))
        return std::nullopt;
    std::wstring value(size / sizeof(wchar_t), L'\0');
    if (RegGetValueW(root, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.resize(wcsnlen(value.c_str(), value.size()));
    return value;
}

std::string environmentValue(const wchar_t* name) {
    const DWORD length = GetEnvironmentVariableW(name, nullptr, 0);
    if (length == 0) return std::string();
    std::wstring value(length, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), length));
    return wideToCp932(value).value_or(std::string());
}

}  // namespace

std::string findBrowser(const std::string& configured) {
    if (!configured.empty()) return configured;
    std::vector<std::string> candidates;
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        for (const std::string& executable : browserExecutableNames())
            if (auto entry = appPathsEntry(root, executable))
                // A path with no code page 932 form cannot be handed on; the folders may still hold one.
                if (auto path = wideToCp932(*entry)) candidates.push_back(appPathValue(*path));
    for (std::string& candidate : installedBrowserCandidates(
             {environmentValue(L"ProgramFiles"), environmentValue(L"ProgramFiles(x86)"),
              environmentValue(L"LOCALAPPDATA")}))
        candidates.push_back(std::move(candidate));
    for (const std::string& candidate : candidates)
        if (!candidate.empty() && fileExists(candidate)) return candidate;
    return std::string();
}

}  // namespace vexor
