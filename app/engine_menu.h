// The engine sub-menu, the current engine file and the main window's caption.
#pragma once

#include <string>

#include "app/app_state.h"

namespace vexor {

// Lists the ".eng" files of the workspace's engine folder (in the order the OS returns them)
// as the engine sub-menu: state.engineMenu is rebuilt and the chrome's items replaced, without
// radio mark. A missing folder gives an empty sub-menu.
void buildEngineMenu(AppState& state, WindowChrome& chrome);

// Choosing the engine item at index: loads "engine\" + item text + ".eng". The caller checks
// busyGuard first and updates the title afterwards (dispatchCommand does both). An index
// beyond the items does nothing.
void selectEngine(AppState& state, AppServices& services, int index);

// Makes path the current engine file: resets the current engine, sets currentEnginePath, reads
// the file. On success the listed engine of the same name gets the radio mark (marks unchanged
// when none is listed) and the result is true. On failure the read failure has been shown,
// currentEnginePath keeps the new path, the engine keeps what the failed read left in it, and
// the marks stay.
bool loadEngine(AppState& state, AppServices& services, const std::string& path);

// The caption: "target (engine name) - nuqランキング調査", "target (エンジン未定義) - ..." when
// no engine path is set, or the program name alone when no survey is open.
std::string windowTitle(const AppState& state);
void updateWindowTitle(const AppState& state, WindowChrome& chrome);

}  // namespace vexor
