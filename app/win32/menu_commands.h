// The Windows program's menu, key and engine item ids as the shell's portable commands.
#pragma once

#include <windows.h>

#include <optional>

#include "app/command_dispatch.h"
#include "app/settings.h"

namespace vexor {

// The first command id of the engine sub-menu's items; item i has ENGINE_MENU_FIRST_ID + i.
inline constexpr int ENGINE_MENU_FIRST_ID = 3000;

// The command of a WM_COMMAND id with engineCount engine items; nothing for any other id (1,
// the Enter key, among them).
std::optional<Command> commandOf(int id, int engineCount);

// Greys the items of menu (the menu bar and its pop-ups, engineCount engine items) that
// commandEnabled refuses in the survey's state (running, open), and enables the others.
void showCommandStates(HMENU menu, int engineCount, bool surveyRunning, bool surveyOpen);

// Checks the fetch item of settings' mode (a radio mark; none for a Fetch value that names no
// mode) and the browser window item when the window is shown.
void showFetchChoice(HMENU menu, const NetworkSettings& settings);

}  // namespace vexor
