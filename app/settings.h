// The settings file "vexor.ini" of the workspace: the window placement, the current engine file
// and the last survey file, kept from one run to the next.
//   [WINDOW] left, top, right, bottom   written at close with "%d"
//   [WINDOW] columns                     the result list's column widths, written at close
//   [ENGINE] last                        written at close, also when empty
//   [SEARCH] last                        written only by a successful survey file open
//   [NETWORK] UserAgent, PageDelay       read only: the user adds them, the program never writes
//   [NETWORK] Fetch, BrowserWindow       how pages are fetched: written by the Windows program's
//                                        menu choice, read by both front ends
//   [NETWORK] Browser, Service, Proxy    read only, as UserAgent
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/app_state.h"

namespace vexor {

inline constexpr int DEFAULT_WINDOW_WIDTH = 640;
inline constexpr int DEFAULT_WINDOW_HEIGHT = 480;

// First step of loading, before the engine menu is built: reads [WINDOW] into
// state.windowRect. When all four values are 0 (also when the file or section is missing) the
// rectangle is a 640 x 480 window centred on a desktop whose rectangle ends at desktopRight,
// desktopBottom; any other values are taken unchanged, unchecked. The front end then moves
// its window to state.windowRect. [WINDOW] columns goes into state.columnWidths (see
// parseColumnWidths: missing or malformed, the list's own widths).
void loadSettingsPlacement(AppState& state, int desktopRight, int desktopBottom);

// Second step, after the result list is set up: [SEARCH] last into state.lastSurveyPath,
// [ENGINE] last into state.currentEnginePath; an empty engine path becomes the full path of
// "engine\nuq.eng" when that file can be opened. Nothing is loaded yet (see startupLoad).
void loadSettingsPaths(AppState& state);

// At close: [WINDOW] from state.windowRect and state.columnWidths, then [ENGINE] last from
// state.currentEnginePath.
// Failures are silent.
void saveSettings(const AppState& state);

// [ENGINE] last of the workspace's settings, "" when missing.
std::string lastEnginePath(const Workspace& workspace);

// [SEARCH] last: the survey file opened last, as it was given.
void saveLastSurveyPath(const Workspace& workspace, const std::string& path);

// How a run fetches its pages: by plain HTTP requests of its own, through the user's browser,
// or through a fetching service that takes the query address and answers with the page.
enum class FetchMode { Direct, Browser, Service };

// How pages are fetched, from [NETWORK]; missing keys keep the fixed request.
struct NetworkSettings {
    std::string userAgent;  // UserAgent: sent instead of the fixed user agent when not empty
    int pageDelayMs = 0;    // PageDelay: milliseconds between two result pages, plus a random
                            // part of up to as many again; 0 (or less, or no number): no wait
    // Fetch: direct, browser or service in any case; missing or empty is direct, any other value
    // is no mode at all (runs then refuse to start and name fetchValue).
    std::optional<FetchMode> fetchMode = FetchMode::Direct;
    std::string fetchValue{};        // Fetch as written
    std::string browser{};           // Browser: the browser program; "" to look for one
    bool browserWindow = false;      // BrowserWindow: 1 shows the browser's window
    std::string serviceTemplate{};   // Service: the service's address with {url}; holds the key
    std::vector<std::string> proxies{};  // Proxy: the addresses, taken in turn per keyword

    friend bool operator==(const NetworkSettings&, const NetworkSettings&) = default;
};

NetworkSettings loadNetworkSettings(const Workspace& workspace);

// The mode a Fetch value names (blanks around it and case ignored; "" is direct), nothing for
// any other value.
std::optional<FetchMode> fetchModeNamed(const std::string& value);

// The addresses of a Proxy value: the words between blanks (spaces and tabs), in order.
std::vector<std::string> proxyList(const std::string& value);

// The Windows program's choice: Fetch= the mode's name, BrowserWindow= 0 or 1.
void saveFetchMode(const Workspace& workspace, FetchMode mode);
void saveBrowserWindow(const Workspace& workspace, bool shown);

}  // namespace vexor
