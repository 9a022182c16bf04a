// Finding the Chromium-family browser that the browser fetcher starts. On Linux the names
// chromium, chromium-browser and google-chrome on PATH (browser_location_posix.cpp); on Windows
// the App Paths registry entries and the usual install folders of Edge and Chrome, for the
// machine and for the user (browser_location_win32.cpp).
#pragma once

#include <string>

namespace vexor {

// The browser program to start: configured (a path the user gave, e.g. [NETWORK] Browser=) when
// it names an existing executable file, else the first browser found where it is usually
// installed; "" when none is found.
std::string findBrowser(const std::string& configured);

}  // namespace vexor
