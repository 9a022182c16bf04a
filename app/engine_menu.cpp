// The engine sub-menu model, loading the current engine file and the window caption.
#include "app/engine_menu.h"

#include "app/texts.h"
#include "engine/engine_file.h"
#include "engine/engine_name.h"
#include "platform/files.h"

namespace vexor {
namespace {

constexpr char ENGINE_EXTENSION[] = ".eng";

}  // namespace

void buildEngineMenu(AppState& state, Ui& ui) {
    EngineMenu menu;
    for (const std::string& file : listFiles(texts::ENGINE_FOLDER, ENGINE_EXTENSION)) {
        // The name ends before the file name's last full stop; every listed name has one.
        const std::string name = file.substr(0, file.rfind('.'));
        // The same name twice keeps the first item's id.
        menu.engineMenuIds.emplace(name, ENGINE_MENU_FIRST_ID + menu.engineCount());
        menu.items.push_back(name);
    }
    state.engineMenu = std::move(menu);
    ui.setEngineMenuItems(state.engineMenu.items);
}

bool isEngineMenuId(const AppState& state, int id) {
    return id >= ENGINE_MENU_FIRST_ID && id < ENGINE_MENU_FIRST_ID + state.engineMenu.engineCount();
}

void selectEngine(AppState& state, Ui& ui, int id) {
    if (!isEngineMenuId(state, id)) return;
    const std::string& name = state.engineMenu.items[id - ENGINE_MENU_FIRST_ID];
    loadEngine(state, ui, joinPath(texts::ENGINE_FOLDER, name + ENGINE_EXTENSION));
}

bool loadEngine(AppState& state, Ui& ui, const std::string& path) {
    resetDefinition(state.currentEngine);
    state.currentEnginePath = path;
    if (!readEngineFile(state.currentEngine, path, ui)) return false;
    const auto listed = state.engineMenu.engineMenuIds.find(baseName(path));
    if (listed != state.engineMenu.engineMenuIds.end()) ui.markEngineMenuItem(listed->second);
    return true;
}

std::string windowTitle(const AppState& state) {
    const std::string& target = state.survey.target;
    if (target.empty()) return texts::APP_TITLE;
    // The path decides, not whether the engine could be read.
    if (state.currentEnginePath.empty()) return target + texts::TITLE_NO_ENGINE + texts::APP_TITLE;
    return target + " (" + baseName(state.currentEnginePath) + ") - " + texts::APP_TITLE;
}

void updateWindowTitle(const AppState& state, Ui& ui) { ui.setWindowTitle(windowTitle(state)); }

}  // namespace vexor
