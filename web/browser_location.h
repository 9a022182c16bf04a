// Finding the Chromium-family browser that the browser fetcher starts. On Linux the names
// chromium, chromium-browser and google-chrome on PATH (browser_location_posix.cpp); on Windows
// the App Paths registry entries and the usual install folders of Edge and Chrome, for the
// machine and for the user (browser_location_win32.cpp).
#pragma once

#include <string>

namespace vexor {

// The browser program to start. A configured path (the user's [NETWORK] Browser=, "" when none
// is set) is taken alone: it, when it names an executable file, else "" so that a wrong setting
// is reported rather than passed over. Without one, the first browser found where browsers are
// usually installed; "" when none is found.
std::string findBrowser(const std::string& configured);

}  // namespace vexor
