// Creating, editing and importing engine files around the edit dialog.
#include "app/engine_commands.h"

#include "app/engine_files.h"
#include "app/engine_menu.h"
#include "app/text_format.h"
#include "app/texts.h"
#include "engine/engine_definition.h"
#include "engine/engine_name.h"
#include "platform/files.h"

namespace vexor {

void newEngineFile(AppState& state, AppServices& services) {
    services.runEditDialog(EditMode::New);
    buildEngineMenu(state, services.chrome);
    // The saved file, or after a cancel the previous one again. Without either there is no file
    // to read, and a message about the empty path would only puzzle.
    if (state.currentEnginePath.empty())
        resetDefinition(state.currentEngine);
    else
        loadEngine(state, services, state.currentEnginePath);
}

void editEngineFile(AppState& state, AppServices& services) {
    if (state.currentEnginePath.empty()) {
        newEngineFile(state, services);
        return;
    }
    services.runEditDialog(EditMode::Edit);
}

void importEngineFile(AppState& state, AppServices& services) {
    const auto chosen =
        services.chrome.askOpenFile(Owner::MainWindow, WindowChrome::FileKind::Engine, "");
    if (!chosen) return;
    const std::string name = baseName(*chosen);
    if (state.engineMenu.engineMenuIndex.contains(name) &&
        !services.messages.askYesNo(Owner::MainWindow,
                                    formatWithText(texts::FMT_ENGINE_OVERWRITE, name),
                                    Icon::Question))
        return;
    const std::string previousPath = state.currentEnginePath;
    const std::string destination = joinPath(ENGINE_FOLDER_NAME, name + ".eng");
    state.currentEnginePath = destination;
    // A failed copy shows up as the read failure below.
    makeEngineFolderFor(state.workspace, destination);
    copyFileReplacing(state.workspace.resolve(*chosen), state.workspace.resolve(destination));
    buildEngineMenu(state, services.chrome);
    if (!loadEngine(state, services, destination)) state.currentEnginePath = previousPath;
}

}  // namespace vexor
