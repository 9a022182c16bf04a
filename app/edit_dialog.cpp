// The engine edit dialog's opening, learning, saving and cancelling.
#include "app/edit_dialog.h"

#include "app/engine_files.h"
#include "app/learn_command.h"
#include "app/texts.h"
#include "engine/engine_fields.h"

namespace vexor {

void openEditDialog(AppState& state, AppServices& services, EditMode mode) {
    EngineForm& form = services.form;
    state.editMode = mode;
    state.backupEngine = state.currentEngine;
    resetDefinition(state.currentEngine);
    if (mode == EditMode::Edit) {
        if (loadEngineFile(state.currentEngine, state.workspace, state.currentEnginePath,
                           services.messages)) {
            form.showEngineFields(engineFieldsOf(state.currentEngine));
            form.setEngineStatus(engineStatusText(state.currentEngine));
            return;
        }
        // The dialog shows nothing of a file that failed to read, so the engine must not keep
        // the part that was read either: a save would store rules the user never saw.
        resetDefinition(state.currentEngine);
    }
    form.showEngineFields(EngineFields{});
    form.setEngineStatus(texts::TEXT_NOT_LEARNT);
}

namespace {

// A new file saved unlearnt is kept for learning later, but an engine that cannot survey does
// not take the place of the one the user had chosen, unless it was written over that one's file.
bool keepsPreviousEngine(const AppState& state, bool learnt, const std::string& previousPath) {
    if (learnt || state.editMode != EditMode::New || previousPath.empty()) return false;
    return state.workspace.resolve(previousPath) != state.workspace.resolve(state.currentEnginePath);
}

}  // namespace

void learnInEditDialog(AppState& state, AppServices& services) {
    const RunFetchers fetchers = fetchersForRun(services);
    if (!fetchers.refusal.empty()) {
        services.messages.showMessage(Owner::EditDialog, fetchers.refusal, Icon::Warning);
        return;
    }
    learnDefinition(state.currentEngine, services.messages, services.form, fetchers.fetch, services.clock);
}

bool saveEditDialog(AppState& state, AppServices& services) {
    Messages& messages = services.messages;
    applyEngineFields(services.form.readEngineFields(), state.currentEngine);
    const bool learnt = isLearnt(state.currentEngine);
    if (!learnt && !messages.askYesNo(Owner::EditDialog, texts::MSG_SAVE_UNLEARNT, Icon::Warning))
        return false;
    const std::string previousPath = state.currentEnginePath;
    if (state.editMode == EditMode::New) {
        // The Save As dialog starts in the engine folder, where the engine menu looks.
        makeEngineFolder(state.workspace);
        const auto chosen = services.chrome.askSaveEngineFile(Owner::EditDialog);
        if (!chosen) return false;
        state.currentEnginePath = *chosen;
    }
    // A save that did not write keeps the dialog open and the engine as it is, learnt rules and
    // all: reading the file back would put an older file or nothing in their place.
    if (!saveEngineFile(state.currentEngine, state.workspace, state.currentEnginePath, messages)) {
        state.currentEnginePath = previousPath;
        return false;
    }
    if (keepsPreviousEngine(state, learnt, previousPath)) {
        state.currentEnginePath = previousPath;
        state.currentEngine = state.backupEngine;
        return true;
    }
    // Reading back makes the engine equal what is stored; a failure reports itself.
    loadEngineFile(state.currentEngine, state.workspace, state.currentEnginePath, messages);
    return true;
}

void cancelEditDialog(AppState& state) { state.currentEngine = state.backupEngine; }

}  // namespace vexor
