// Reading and writing vexor.ini through the profile store.
#include "app/settings.h"

#include <algorithm>

#include "platform/bytes.h"
#include "platform/files.h"
#include "platform/profile_file.h"

namespace vexor {
namespace {

constexpr char WINDOW_SECTION[] = "WINDOW";
constexpr char ENGINE_SECTION[] = "ENGINE";
constexpr char SEARCH_SECTION[] = "SEARCH";
constexpr char NETWORK_SECTION[] = "NETWORK";
constexpr char LAST_KEY[] = "last";
constexpr char COLUMNS_KEY[] = "columns";

}  // namespace

void loadSettingsPlacement(AppState& state, int desktopRight, int desktopBottom) {
    const std::string file = state.workspace.settingsFile();
    WindowRect rect{readProfileInt(file, WINDOW_SECTION, "left", 0),
                    readProfileInt(file, WINDOW_SECTION, "top", 0),
                    readProfileInt(file, WINDOW_SECTION, "right", 0),
                    readProfileInt(file, WINDOW_SECTION, "bottom", 0)};
    // Only "nothing stored" is replaced; a stored rectangle is trusted as it is.
    if (rect == WindowRect{}) {
        rect.left = (desktopRight - DEFAULT_WINDOW_WIDTH) / 2;
        rect.top = (desktopBottom - DEFAULT_WINDOW_HEIGHT) / 2;
        rect.right = rect.left + DEFAULT_WINDOW_WIDTH;
        rect.bottom = rect.top + DEFAULT_WINDOW_HEIGHT;
    }
    state.windowRect = rect;
    state.columnWidths = parseColumnWidths(readProfileString(file, WINDOW_SECTION, COLUMNS_KEY, ""));
}

void loadSettingsPaths(AppState& state) {
    const std::string file = state.workspace.settingsFile();
    state.lastSurveyPath = readProfileString(file, SEARCH_SECTION, LAST_KEY, "");
    state.currentEnginePath = lastEnginePath(state.workspace);
    const std::string defaultEngine = state.workspace.resolve(DEFAULT_ENGINE_PATH);
    if (state.currentEnginePath.empty() && fileExists(defaultEngine))
        state.currentEnginePath = defaultEngine;
}

void saveSettings(const AppState& state) {
    const std::string file = state.workspace.settingsFile();
    writeProfileString(file, WINDOW_SECTION, "left", std::to_string(state.windowRect.left));
    writeProfileString(file, WINDOW_SECTION, "top", std::to_string(state.windowRect.top));
    writeProfileString(file, WINDOW_SECTION, "right", std::to_string(state.windowRect.right));
    writeProfileString(file, WINDOW_SECTION, "bottom", std::to_string(state.windowRect.bottom));
    writeProfileString(file, WINDOW_SECTION, COLUMNS_KEY, columnWidthsText(state.columnWidths));
    writeProfileString(file, ENGINE_SECTION, LAST_KEY, state.currentEnginePath);
}

std::string lastEnginePath(const Workspace& workspace) {
    return readProfileString(workspace.settingsFile(), ENGINE_SECTION, LAST_KEY, "");
}

void saveLastSurveyPath(const Workspace& workspace, const std::string& path) {
    writeProfileString(workspace.settingsFile(), SEARCH_SECTION, LAST_KEY, path);
}

namespace {

constexpr char FETCH_KEY[] = "Fetch";
constexpr char BROWSER_WINDOW_KEY[] = "BrowserWindow";

struct ModeName {
    FetchMode mode;
    const char* name;
};
constexpr ModeName MODE_NAMES[] = {
    {FetchMode::Direct, "direct"}, {FetchMode::Browser, "browser"}, {FetchMode::Service, "service"}};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::optional<FetchMode> fetchModeNamed(const std::string& value) {
    const std::size_t first = value.find_first_not_of(" \t");
    if (first == std::string::npos) return FetchMode::Direct;
    const std::string word = lowerAscii(value.substr(first, value.find_last_not_of(" \t") + 1 - first));
    for (const ModeName& named : MODE_NAMES)
        if (word == named.name) return named.mode;
    return std::nullopt;
}

std::vector<std::string> proxyList(const std::string& value) {
    std::vector<std::string> addresses;
    for (std::size_t at = 0; at < value.size();) {
        if (isBlank(value[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < value.size() && !isBlank(value[end])) ++end;
        addresses.push_back(value.substr(at, end - at));
        at = end;
    }
    return addresses;
}

NetworkSettings loadNetworkSettings(const Workspace& workspace) {
    const std::string file = workspace.settingsFile();
    NetworkSettings settings{readProfileString(file, NETWORK_SECTION, "UserAgent", ""),
                             std::max(0, readProfileInt(file, NETWORK_SECTION, "PageDelay", 0))};
    settings.fetchValue = readProfileString(file, NETWORK_SECTION, FETCH_KEY, "");
    settings.fetchMode = fetchModeNamed(settings.fetchValue);
    settings.browser = readProfileString(file, NETWORK_SECTION, "Browser", "");
    settings.browserWindow = readProfileInt(file, NETWORK_SECTION, BROWSER_WINDOW_KEY, 0) != 0;
    settings.serviceTemplate = readProfileString(file, NETWORK_SECTION, "Service", "");
    settings.proxies = proxyList(readProfileString(file, NETWORK_SECTION, "Proxy", ""));
    return settings;
}

void saveFetchMode(const Workspace& workspace, FetchMode mode) {
    for (const ModeName& named : MODE_NAMES)
        if (named.mode == mode) writeProfileString(workspace.settingsFile(), NETWORK_SECTION, FETCH_KEY, named.name);
}

void saveBrowserWindow(const Workspace& workspace, bool shown) {
    writeProfileString(workspace.settingsFile(), NETWORK_SECTION, BROWSER_WINDOW_KEY, shown ? "1" : "0");
}

}  // namespace vexor
