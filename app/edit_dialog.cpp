// The engine edit dialog's opening, learning, saving and cancelling.
#include "app/edit_dialog.h"

#include "app/texts.h"
#include "engine/engine_file.h"
#include "engine/engine_fields.h"
#include "engine/learn_command.h"

namespace vexor {

void openEditDialog(AppState& state, AppServices& services, EditMode mode) {
    Ui& ui = services.ui;
    state.editMode = mode;
    state.backupEngine = state.currentEngine;
    resetDefinition(state.currentEngine);
    if (mode == EditMode::Edit) {
        if (readEngineFile(state.currentEngine, state.currentEnginePath, ui)) {
            ui.showEngineFields(engineFieldsOf(state.currentEngine));
            ui.setEngineStatus(engineStatusText(state.currentEngine));
            return;
        }
        // The dialog shows nothing of a file that failed to read, so the engine must not keep
        // the part that was read either: a save would store rules the user never saw.
        resetDefinition(state.currentEngine);
    }
    ui.showEngineFields(EngineFields{});
    ui.setEngineStatus(texts::TEXT_NOT_LEARNT);
}

void learnInEditDialog(AppState& state, AppServices& services) {
    learnDefinition(state.currentEngine, services.ui, services.fetch, services.clock);
}

bool saveEditDialog(AppState& state, AppServices& services) {
    Ui& ui = services.ui;
    applyEngineFields(ui.readEngineFields(), state.currentEngine);
    if (!isLearnt(state.currentEngine) &&
        !ui.askYesNo(Owner::EditDialog, texts::MSG_SAVE_UNLEARNT, Icon::Warning))
        return false;
    if (state.editMode == EditMode::New) {
        const auto chosen = ui.askSaveEngineFile(Owner::EditDialog);
        if (!chosen) return false;
        state.currentEnginePath = *chosen;
    }
    // Both report their own failures; reading back makes the engine equal what is stored.
    writeEngineFile(state.currentEngine, state.currentEnginePath, ui);
    readEngineFile(state.currentEngine, state.currentEnginePath, ui);
    return true;
}

void cancelEditDialog(AppState& state) { state.currentEngine = state.backupEngine; }

}  // namespace vexor
