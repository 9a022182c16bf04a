// vexor-cli survey and show: opening a survey file, running a survey to its end with the
// worker's reports handled on this thread, and printing the result list.
#include <chrono>

#include "app/settings.h"
#include "app/survey_display.h"
#include "cli/commands.h"
#include "cli/engine_choice.h"
#include "cli/exit_status.h"
#include "cli/interrupt.h"
#include "cli/output_format.h"
#include "cli/progress_display.h"
#include "cli/survey_event_queue.h"
#include "cli/terminal_ui.h"
#include "engine/engine_definition.h"
#include "engine/engine_file.h"
#include "engine/engine_name.h"
#include "platform/clock.h"
#include "survey/survey_control.h"
#include "survey/survey_file.h"
#include "survey/survey_state.h"
#include "web/page_fetcher.h"

namespace vexor::cli {
namespace {

using namespace std::chrono_literals;

void printTable(const Console& console, const TerminalUi& ui, const SurveyState& state,
                const std::string& enginePath, OutputFormat format) {
    ResultTable table = ui.table();
    table.target = state.target;
    table.engine = baseName(enginePath);
    console.out(formatResultTable(table, format));
}

void handle(const SurveyEvent& event, TerminalUi& ui, ProgressDisplay& display) {
    switch (event.kind) {
        case SurveyEvent::Kind::Progress:
            showSurveyProgress(ui, event.row, event.value);
            display.progress(event.row, event.value);
            break;
        case SurveyEvent::Kind::Result:
            showSurveyResult(ui, event.row, event.value);
            display.result(event.row, event.value);
            break;
        case SurveyEvent::Kind::SearchEnded:
            display.searchEnded(event.row, event.how, event.page);
            break;
    }
}

// Handles the worker's reports until it has ended; Ctrl-C aborts it as the Windows program's
// abort command does. True when the survey was interrupted.
bool followSurvey(SurveyState& state, SurveyEventQueue& events, TerminalUi& ui,
                  ProgressDisplay& display) {
    bool interrupted = false;
    for (;;) {
        if (!interrupted && interruptRequested()) {
            interrupted = true;
            display.note("vexor-cli: interrupted; stopping the survey");
            abortSurvey(state);  // returns once the worker has ended
        }
        if (auto event = events.pop(100ms)) {
            handle(*event, ui, display);
            continue;
        }
        // The worker clears the flag after its last report, so what it posted is queued now.
        if (!state.surveyRunning) break;
    }
    waitForSurvey(state);
    while (auto event = events.pop(0ms)) handle(*event, ui, display);
    return interrupted;
}

}  // namespace

int runSurveyCommand(const SurveyCommand& command, const Console& console) {
    const std::string settingsFile = settingsFilePath();
    const std::string enginePath = chooseEnginePath(command.engineFile, settingsFile);
    TerminalUi ui(console);
    SurveyHost host{ui, settingsFile, {}};
    EngineDefinition engine;
    SurveyState state;
    SurveyEventQueue events;

    // An engine that cannot be read has been reported; what the failed read left in the record
    // is not surveyed with, so the start below refuses it as not learnt.
    if (!readEngineFile(engine, enginePath, ui)) resetDefinition(engine);
    if (!openSurveyFile(state, command.surveyFile, host)) return EXIT_FAILED;

    watchForInterrupt();
    if (!startSurvey(state, engine, enginePath, host, events, fetchPage, localNow))
        return EXIT_FAILED;
    ProgressDisplay display(console, state.keywords);
    const bool interrupted = followSurvey(state, events, ui, display);
    display.finish();

    printTable(console, ui, state, enginePath, command.format);
    if (interrupted) return EXIT_INTERRUPTED;
    return display.unreadableKeywords() > 0 ? EXIT_UNREADABLE_PAGES : EXIT_DONE;
}

int runShowCommand(const ShowCommand& command, const Console& console) {
    const std::string settingsFile = settingsFilePath();
    TerminalUi ui(console);
    SurveyHost host{ui, settingsFile, {}};
    SurveyState state;
    if (!openSurveyFile(state, command.surveyFile, host)) return EXIT_FAILED;
    printTable(console, ui, state, chooseEnginePath(std::nullopt, settingsFile), command.format);
    return EXIT_DONE;
}

}  // namespace vexor::cli
