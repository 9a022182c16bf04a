// The engine edit dialog: dialog 103, modal, owned by the main window.
#pragma once

#include <windows.h>

#include "app/app_state.h"
#include "app/win32/win32_ui.h"

namespace vexor {

// Shows the dialog in mode and returns when it has closed; what it leaves behind is the state
// of the current engine and of currentEnginePath.
void runEngineEditDialog(HINSTANCE instance, AppState& state, AppServices& services, Win32Ui& ui,
                         EditMode mode);

}  // namespace vexor
