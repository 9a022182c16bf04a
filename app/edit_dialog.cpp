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

void learnInEditDialog(AppState& state, AppServices& services) {
    learnDefinition(state.currentEngine, services.messages, services.form, services.fetch,
                    services.clock);
}

bool saveEditDialog(AppState& state, AppServices& services) {
    Messages& messages = services.messages;
    applyEngineFields(services.form.readEngineFields(), state.currentEngine);
    if (!isLearnt(state.currentEngine) &&
        !messages.askYesNo(Owner::EditDialog, texts::MSG_SAVE_UNLEARNT, Icon::Warning))
        return false;
    const std::string previousPath = state.currentEnginePath;
    if (state.editMode == EditMode::New) {
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
    // Reading back makes the engine equal what is stored; a failure reports itself.
    loadEngineFile(state.currentEngine, state.workspace, state.currentEnginePath, messages);
    return true;
}

void cancelEditDialog(AppState& state) { state.currentEngine = state.backupEngine; }

}  // namespace vexor
