// The main window's command handling and its start-up load.
#include "app/command_dispatch.h"

#include <utility>

#include "app/csv_export.h"
#include "app/engine_commands.h"
#include "app/engine_menu.h"
#include "app/report_command.h"
#include "app/survey_commands.h"
#include "app/text_format.h"
#include "app/texts.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "survey/survey_control.h"

namespace vexor {

bool isGuarded(Command::Kind kind) {
    switch (kind) {
        case Command::Kind::OpenSurvey:
        case Command::Kind::StartSurvey:
        case Command::Kind::RetryFailed:
        case Command::Kind::WriteReport:  // reads the history files the worker writes
        case Command::Kind::ExportCsv:    // reads the history the worker changes
        case Command::Kind::NewEngine:
        case Command::Kind::EditEngine:
        case Command::Kind::ImportEngine:
        case Command::Kind::SelectEngine:
        case Command::Kind::ChooseFetch:    // a run makes its fetchers from these at its start
        case Command::Kind::BrowserWindow:
            return true;
        default:
            return false;
    }
}

bool commandEnabled(Command::Kind kind, bool surveyRunning, bool surveyOpen) {
    if (kind == Command::Kind::AbortSurvey) return surveyRunning;
    if (kind == Command::Kind::ExportCsv && !surveyOpen) return false;
    return !(surveyRunning && isGuarded(kind));
}

namespace {

bool openSurvey(AppState& state, AppServices& services, const std::string& path) {
    return openSurveyFile(state.survey, state.workspace, path, services.messages, services.list);
}

}  // namespace

bool busyGuard(const AppState& state, Messages& messages) {
    if (!state.survey.surveyRunning) return false;
    messages.showMessage(Owner::MainWindow, texts::MSG_BUSY, Icon::Warning);
    return true;
}

bool startCurrentSurvey(AppState& state, AppServices& services, bool failedOnly) {
    RunFetchers fetchers = fetchersForRun(services);
    if (!fetchers.refusal.empty()) {
        services.messages.showMessage(Owner::MainWindow, fetchers.refusal, Icon::Warning);
        return false;
    }
    const SurveyStart start{state.currentEngine, state.currentEnginePath, services.events,
                            std::move(fetchers.fetch), services.clock, failedOnly, {},
                            std::move(fetchers.proxies)};
    const bool started = startSurvey(state.survey, state.workspace, start, services.messages, services.list);
    updateWindowTitle(state, services.chrome);
    return started;
}

void openManual(const AppState& state, AppServices& services) {
    const std::string path = joinPath(state.programFolder, MANUAL_FILE_NAME);
    if (fileExists(path)) {
        services.chrome.openAddress(path);
        return;
    }
    services.messages.showMessage(Owner::MainWindow, formatWithText(texts::FMT_MANUAL_MISSING, pathAsShown(path)),
                                  Icon::Warning);
}

void chooseFetchMode(const AppState& state, Messages& messages, FetchMode mode) {
    if (mode == FetchMode::Service && loadNetworkSettings(state.workspace).serviceTemplate.empty()) {
        messages.showMessage(Owner::MainWindow, texts::TEXT_SERVICE_MISSING, Icon::Information);
        return;
    }
    saveFetchMode(state.workspace, mode);
}

void toggleBrowserWindow(const AppState& state) {
    saveBrowserWindow(state.workspace, !loadNetworkSettings(state.workspace).browserWindow);
}

bool confirmClose(const AppState& state, Messages& messages) {
    if (!state.survey.surveyRunning) return true;
    return messages.askYesNo(Owner::MainWindow, texts::MSG_CONFIRM_CLOSE, Icon::Question);
}

CommandOutcome dispatchCommand(AppState& state, AppServices& services, Command command) {
    if (command.kind == Command::Kind::SelectEngine &&
        (command.engineIndex < 0 || command.engineIndex >= state.engineMenu.engineCount()))
        return CommandOutcome::Done;
    if (isGuarded(command.kind) && busyGuard(state, services.messages)) return CommandOutcome::Done;

    switch (command.kind) {
        case Command::Kind::OpenSurvey:
            chooseSurveyFile(state.survey, state.workspace, state.surveyFileBuffer,
                             services.messages, services.list, services.chrome);
            updateWindowTitle(state, services.chrome);
            break;
        case Command::Kind::StartSurvey:
        case Command::Kind::RetryFailed:
            if (startCurrentSurvey(state, services, command.kind == Command::Kind::RetryFailed))
                return CommandOutcome::SurveyStarted;
            break;
        case Command::Kind::AbortSurvey:
            abortSurvey(state.survey);
            break;
        case Command::Kind::WriteReport:
            writeSurveyReport(state, services);
            break;
        case Command::Kind::ExportCsv:
            exportResultCsv(state, services);
            break;
        case Command::Kind::Exit:
            return CommandOutcome::CloseWindow;
        case Command::Kind::Cancel:
            if (state.survey.surveyRunning) abortSurvey(state.survey);
            break;
        case Command::Kind::NewEngine:
            newEngineFile(state, services);
            updateWindowTitle(state, services.chrome);
            break;
        case Command::Kind::EditEngine:
            editEngineFile(state, services);
            updateWindowTitle(state, services.chrome);
            break;
        case Command::Kind::ImportEngine:
            importEngineFile(state, services);
            updateWindowTitle(state, services.chrome);
            break;
        case Command::Kind::Help:
            openManual(state, services);
            break;
        case Command::Kind::ColourLegend:
            services.messages.showMessage(Owner::MainWindow, texts::MSG_COLOUR_LEGEND, Icon::Information);
            break;
        case Command::Kind::SelectEngine:
            selectEngine(state, services, command.engineIndex);
            updateWindowTitle(state, services.chrome);
            break;
        case Command::Kind::ChooseFetch:
            chooseFetchMode(state, services.messages, command.fetchMode);
            break;
        case Command::Kind::BrowserWindow:
            toggleBrowserWindow(state);
            break;
    }
    return CommandOutcome::Done;
}

bool startupLoad(AppState& state, AppServices& services) {
    if (!state.currentEnginePath.empty()) loadEngine(state, services, state.currentEnginePath);
    bool startNow = false;
    if (!state.startupSurveyPath.empty()) {
        openSurvey(state, services, state.startupSurveyPath);
        startNow = true;
    } else if (!state.lastSurveyPath.empty()) {
        openSurvey(state, services, state.lastSurveyPath);
    }
    updateWindowTitle(state, services.chrome);
    return startNow;
}

}  // namespace vexor
