// The three engine file commands of the "設定(&S)" menu. Each runs on the user-interface thread
// behind busyGuard (dispatchCommand checks it and updates the title afterwards).
#pragma once

#include "app/app_state.h"

namespace vexor {

// Runs the edit dialog in new mode, then rebuilds the engine menu and loads currentEnginePath
// again (the new file after a save, the previous one after a cancel).
void newEngineFile(AppState& state, AppServices& services);

// With a current engine file: the edit dialog in edit mode, nothing after it. Without one: as
// newEngineFile.
void editEngineFile(AppState& state, AppServices& services);

// Asks for an engine file and copies it to "engine\<name>.eng" (asking first when an engine of
// that name is listed; any answer but Yes stops), rebuilds the menu and loads the copy. When
// the copy cannot be loaded, the previous currentEnginePath comes back.
void importEngineFile(AppState& state, AppServices& services);

}  // namespace vexor
