// Where the browser vexor drives is installed. (browser_location_posix.cpp /
// browser_location_win32.cpp)
#pragma once

#include <string>

namespace vexor {

// configured when it is not empty (the [NETWORK] Browser setting), whether or not it exists;
// else the first Chromium-family browser found on this machine; "" when none is found.
std::string findBrowser(const std::string& configured);

}  // namespace vexor
