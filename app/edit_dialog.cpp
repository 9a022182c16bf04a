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
    if (state.editMode == EditMode::New) {
        const auto chosen = services.chrome.askSaveEngineFile(Owner::EditDialog);
        if (!chosen) return false;
        state.currentEnginePath = *chosen;
    }
    // Both report their own failures; reading back makes the engine equal what is stored.
    saveEngineFile(state.currentEngine, state.workspace, state.currentEnginePath, messages);
    loadEngineFile(state.currentEngine, state.workspace, state.currentEnginePath, messages);
    return true;
}

void cancelEditDialog(AppState& state) { state.currentEngine = state.backupEngine; }

}  // namespace vexor
