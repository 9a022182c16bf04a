// The engine sub-menu, the current engine file and the main window's caption.
#pragma once

#include <string>

#include "app/app_state.h"
#include "app/ui.h"

namespace vexor {

inline constexpr int ENGINE_MENU_FIRST_ID = 3000;

// Lists the ".eng" files of the folder "engine" (in the order the OS returns them) as the
// engine sub-menu: state.engineMenu is rebuilt and ui.setEngineMenuItems replaces the items,
// which carry no radio mark afterwards. A missing folder gives an empty sub-menu. The front end
// creates the sub-menu itself before the first call.
void buildEngineMenu(AppState& state, Ui& ui);

// True when id is one of the engine sub-menu's items.
bool isEngineMenuId(const AppState& state, int id);

// Choosing an engine item: loads "engine\" + item text + ".eng". The caller checks busyGuard
// first and updates the title afterwards (dispatchCommand does both).
void selectEngine(AppState& state, Ui& ui, int id);

// Makes path the current engine file: resets the current engine, sets currentEnginePath, reads
// the file. On success the listed engine of the same name gets the radio mark (marks unchanged
// when none is listed) and the result is true. On failure the reader has shown its message,
// currentEnginePath keeps the new path, the engine keeps what the failed read left in it, and
// the marks stay.
bool loadEngine(AppState& state, Ui& ui, const std::string& path);

// The caption: "target (engine name) - nuqランキング調査", "target (エンジン未定義) - ..." when
// no engine path is set, or the program name alone when no survey is open.
std::string windowTitle(const AppState& state);
void updateWindowTitle(const AppState& state, Ui& ui);

}  // namespace vexor
