// Reading and writing vexor.ini through the profile store.
#include "app/settings.h"

#include <algorithm>

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

NetworkSettings loadNetworkSettings(const Workspace& workspace) {
    const std::string file = workspace.settingsFile();
    return {readProfileString(file, NETWORK_SECTION, "UserAgent", ""),
            std::max(0, readProfileInt(file, NETWORK_SECTION, "PageDelay", 0))};
}

}  // namespace vexor
