// Creating, editing and importing engine files around the edit dialog.
#include "app/engine_commands.h"

#include "app/engine_menu.h"
#include "app/text_format.h"
#include "app/texts.h"
#include "engine/engine_name.h"
#include "platform/files.h"

namespace vexor {

void newEngineFile(AppState& state, AppServices& services) {
    services.runEditDialog(EditMode::New);
    buildEngineMenu(state, services.ui);
    // The saved file, or after a cancel the previous one again (an empty path reports itself).
    loadEngine(state, services.ui, state.currentEnginePath);
}

void editEngineFile(AppState& state, AppServices& services) {
    if (state.currentEnginePath.empty()) {
        newEngineFile(state, services);
        return;
    }
    services.runEditDialog(EditMode::Edit);
}

void importEngineFile(AppState& state, AppServices& services) {
    Ui& ui = services.ui;
    const auto chosen = ui.askOpenFile(Owner::MainWindow, Ui::FileKind::Engine, "");
    if (!chosen) return;
    const std::string name = baseName(*chosen);
    if (state.engineMenu.engineMenuIds.contains(name) &&
        !ui.askYesNo(Owner::MainWindow, formatWithText(texts::FMT_ENGINE_OVERWRITE, name),
                     Icon::Question))
        return;
    const std::string previousPath = state.currentEnginePath;
    const std::string destination = joinPath(texts::ENGINE_FOLDER, name + ".eng");
    state.currentEnginePath = destination;
    // A failed copy shows up as the read failure below.
    copyFileReplacing(*chosen, destination);
    buildEngineMenu(state, ui);
    if (!loadEngine(state, ui, destination)) state.currentEnginePath = previousPath;
}

}  // namespace vexor
