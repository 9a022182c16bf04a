// Reading and writing vexor.ini through the profile store.
#include "app/settings.h"

#include "app/texts.h"
#include "platform/files.h"
#include "platform/profile.h"

namespace vexor {
namespace {

constexpr char WINDOW_SECTION[] = "WINDOW";
constexpr char ENGINE_SECTION[] = "ENGINE";
constexpr char SEARCH_SECTION[] = "SEARCH";
constexpr char LAST_KEY[] = "last";

}  // namespace

std::string settingsFilePath() { return fullPath(texts::SETTINGS_FILE); }

void loadSettingsPlacement(AppState& state, int desktopRight, int desktopBottom) {
    const std::string file = settingsFilePath();
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
}

void loadSettingsPaths(AppState& state) {
    const std::string file = settingsFilePath();
    state.lastSurveyPath = readProfileString(file, SEARCH_SECTION, LAST_KEY, "");
    state.currentEnginePath = readProfileString(file, ENGINE_SECTION, LAST_KEY, "");
    if (state.currentEnginePath.empty() && fileExists(texts::DEFAULT_ENGINE_PATH))
        state.currentEnginePath = fullPath(texts::DEFAULT_ENGINE_PATH);
}

void saveSettings(const AppState& state) {
    const std::string file = joinPath(workingDirectory(), texts::SETTINGS_FILE);
    writeProfileString(file, WINDOW_SECTION, "left", std::to_string(state.windowRect.left));
    writeProfileString(file, WINDOW_SECTION, "top", std::to_string(state.windowRect.top));
    writeProfileString(file, WINDOW_SECTION, "right", std::to_string(state.windowRect.right));
    writeProfileString(file, WINDOW_SECTION, "bottom", std::to_string(state.windowRect.bottom));
    writeProfileString(file, ENGINE_SECTION, LAST_KEY, state.currentEnginePath);
}

}  // namespace vexor
