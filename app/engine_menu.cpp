// The engine sub-menu model, loading the current engine file and the window caption.
#include "app/engine_menu.h"

#include "app/engine_files.h"
#include "app/texts.h"
#include "engine/engine_name.h"
#include "platform/files.h"

namespace vexor {
namespace {

constexpr char ENGINE_EXTENSION[] = ".eng";

}  // namespace

void buildEngineMenu(AppState& state, WindowChrome& chrome) {
    EngineMenu menu;
    for (const std::string& file : listFiles(state.workspace.engineFolder(), ENGINE_EXTENSION)) {
        // The name ends before the file name's last full stop; every listed name has one.
        const std::string name = file.substr(0, file.rfind('.'));
        // The same name twice keeps the first item's index.
        menu.engineMenuIndex.emplace(name, menu.engineCount());
        menu.items.push_back(name);
    }
    state.engineMenu = std::move(menu);
    chrome.setEngineMenuItems(state.engineMenu.items);
}

void selectEngine(AppState& state, AppServices& services, int index) {
    if (index < 0 || index >= state.engineMenu.engineCount()) return;
    const std::string& name = state.engineMenu.items[static_cast<std::size_t>(index)];
    loadEngine(state, services, joinPath(ENGINE_FOLDER_NAME, name + ENGINE_EXTENSION));
}

bool loadEngine(AppState& state, AppServices& services, const std::string& path) {
    resetDefinition(state.currentEngine);
    state.currentEnginePath = path;
    if (!loadEngineFile(state.currentEngine, state.workspace, path, services.messages)) return false;
    const auto listed = state.engineMenu.engineMenuIndex.find(baseName(path));
    if (listed != state.engineMenu.engineMenuIndex.end())
        services.chrome.markEngineMenuItem(listed->second);
    return true;
}

std::string windowTitle(const AppState& state) {
    const std::string& target = state.survey.target;
    if (target.empty()) return texts::APP_TITLE;
    // The path decides, not whether the engine could be read.
    if (state.currentEnginePath.empty()) return target + texts::TITLE_NO_ENGINE + texts::APP_TITLE;
    return target + " (" + baseName(state.currentEnginePath) + ") - " + texts::APP_TITLE;
}

void updateWindowTitle(const AppState& state, WindowChrome& chrome) {
    chrome.setWindowTitle(windowTitle(state));
}

}  // namespace vexor
