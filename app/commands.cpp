// The main window's command handling and its start-up load.
#include "app/commands.h"

#include "app/engine_commands.h"
#include "app/engine_menu.h"
#include "app/settings.h"
#include "app/texts.h"
#include "survey/survey_control.h"
#include "survey/survey_file.h"

namespace vexor {
namespace {

SurveyHost surveyHost(AppState& state, Ui& ui) {
    return SurveyHost{ui, settingsFilePath(), [&state, &ui] { updateWindowTitle(state, ui); }};
}

// The commands that change the survey or the current engine, which the worker reads unlocked.
bool isGuarded(const AppState& state, int id) {
    switch (id) {
        case CMD_OPEN_SURVEY:
        case CMD_START_SURVEY:
        case CMD_NEW_ENGINE:
        case CMD_EDIT_ENGINE:
        case CMD_IMPORT_ENGINE:
            return true;
        default:
            return isEngineMenuId(state, id);
    }
}

}  // namespace

bool busyGuard(const AppState& state, Ui& ui) {
    if (!state.survey.surveyRunning) return false;
    ui.showMessage(Owner::MainWindow, texts::MSG_BUSY, Icon::Warning);
    return true;
}

CommandOutcome dispatchCommand(AppState& state, AppServices& services, int id) {
    Ui& ui = services.ui;
    if (isGuarded(state, id) && busyGuard(state, ui)) return CommandOutcome::Done;

    if (isEngineMenuId(state, id)) {
        selectEngine(state, ui, id);
        updateWindowTitle(state, ui);
        return CommandOutcome::Done;
    }
    switch (id) {
        case CMD_OPEN_SURVEY: {
            SurveyHost host = surveyHost(state, ui);
            chooseSurveyFile(state.survey, host, state.surveyFileBuffer);
            break;
        }
        case CMD_START_SURVEY: {
            SurveyHost host = surveyHost(state, ui);
            startSurvey(state.survey, state.currentEngine, state.currentEnginePath, host,
                        services.events, services.fetch, services.clock);
            break;
        }
        case CMD_ABORT_SURVEY:
            abortSurvey(state.survey);
            break;
        case CMD_EXIT:
        case CMD_CANCEL:
            return CommandOutcome::CloseWindow;
        case CMD_NEW_ENGINE:
            newEngineFile(state, services);
            updateWindowTitle(state, ui);
            break;
        case CMD_EDIT_ENGINE:
            editEngineFile(state, services);
            updateWindowTitle(state, ui);
            break;
        case CMD_IMPORT_ENGINE:
            importEngineFile(state, services);
            updateWindowTitle(state, ui);
            break;
        case CMD_HELP:
            ui.openAddress(HELP_ADDRESS);
            break;
        default:
            break;
    }
    return CommandOutcome::Done;
}

bool startupLoad(AppState& state, AppServices& services) {
    Ui& ui = services.ui;
    if (!state.currentEnginePath.empty()) loadEngine(state, ui, state.currentEnginePath);
    SurveyHost host = surveyHost(state, ui);
    if (!state.startupSurveyPath.empty()) {
        openSurveyFile(state.survey, state.startupSurveyPath, host);
        return true;
    }
    if (!state.lastSurveyPath.empty()) openSurveyFile(state.survey, state.lastSurveyPath, host);
    return false;
}

}  // namespace vexor
