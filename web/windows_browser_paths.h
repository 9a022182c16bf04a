// The places a Chromium-family browser is looked for on Windows, in the order they are tried:
// first the App Paths registry entries (the current user's, then the machine's), then the
// folders the browsers install into, machine-wide and per user. Portable, so that the order is
// checked on every platform; browser_location_win32.cpp reads the registry and the file system.
#pragma once

#include <string>
#include <vector>

namespace vexor {

// Executable names as App Paths knows them, Edge first: every Windows since 10 has it.
std::vector<std::string> browserExecutableNames();

// The installation folders a browser's file is looked for under: %ProgramFiles%,
// %ProgramFiles(x86)% and %LOCALAPPDATA%, as the environment gives them ("" when unset).
struct InstallRoots {
    std::string programFiles;
    std::string programFilesX86;
    std::string localAppData;
};

// Edge's, Chrome's then Chromium's file under each root in turn; roots that are unset are
// skipped, and a root named twice (on 32-bit Windows both program folders are one) gives its
// files once.
std::vector<std::string> installedBrowserCandidates(const InstallRoots& roots);

// An App Paths value as a path: without the quotes an installer may put around it, and without
// blanks around it.
std::string appPathValue(const std::string& value);

}  // namespace vexor
