// vexor-cli survey and show: opening a survey file, running a survey to its end with the
// worker's reports handled on this thread, and printing the result list.
#include <chrono>

#include "app/engine_files.h"
#include "app/network_fetcher.h"
#include "app/settings.h"
#include "app/survey_commands.h"
#include "app/survey_display.h"
#include "cli/cli_commands.h"
#include "cli/engine_choice.h"
#include "cli/exit_status.h"
#include "cli/interrupt.h"
#include "cli/output_format.h"
#include "cli/progress_display.h"
#include "cli/survey_event_queue.h"
#include "cli/terminal_messages.h"
#include "cli/terminal_text.h"
#include "engine/engine_definition.h"
#include "engine/engine_name.h"
#include "platform/clock.h"
#include "survey/history.h"
#include "survey/site_history.h"
#include "survey/survey_control.h"
#include "survey/survey_state.h"

namespace vexor::cli {
namespace {

using namespace std::chrono_literals;

// A failed keyword's cells say "failed" whatever the words of the Windows program: in a table
// alone, in CSV and JSON with the cause and the page ("failed: http-429 on page 3").
void markFailures(ResultTable& table, const SurveyState& state, OutputFormat format) {
    for (std::size_t row = 0; row < table.rows.size() && row < state.keywords.size(); ++row)
        for (int k = 0; k < HISTORY_GENERATIONS; ++k) {
            const auto entry = entryOf(state.historyTables[k], state.keywords[row]);
            if (entry && entry->failure)
                table.rows[row][1 + k] = format == OutputFormat::Table ? "failed" : failedCell(*entry->failure);
        }
}

void printTable(const Console& console, const TableList& list, const SurveyState& state,
                const std::string& enginePath, OutputFormat format) {
    ResultTable table = list.table();
    markFailures(table, state, format);
    table.target = state.target;
    table.engine = baseName(enginePath);
    console.out(formatResultTable(table, format));
}

void handle(const SurveyEvent& event, const SurveyState& state, TableList& list,
            ProgressDisplay& display) {
    switch (event.kind) {
        case SurveyEvent::Kind::Progress:
            showSurveyProgress(list, event.row, event.value);
            display.progress(event.row, event.value);
            break;
        case SurveyEvent::Kind::Result:
            showSurveyResult(list, event.row, event.value);
            display.result(event.row, event.value);
            break;
        case SurveyEvent::Kind::SearchEnded:
            display.searchEnded(event.row, event.ending);
            break;
        case SurveyEvent::Kind::EngineRefusing:
            display.engineRefusing();
            break;
        case SurveyEvent::Kind::SurveyEnded:
            break;
        case SurveyEvent::Kind::HistoryNotStored:
            display.note(terminalLines(historyNotStored(state.historyDirectory).text));
            break;
    }
}

// Handles the worker's reports until it has ended; Ctrl-C aborts it as the Windows program's
// abort command does. True when the survey was interrupted.
bool followSurvey(SurveyState& state, SurveyEventQueue& events, TableList& list,
                  ProgressDisplay& display) {
    bool interrupted = false;
    for (;;) {
        if (!interrupted && interruptRequested()) {
            interrupted = true;
            display.note("vexor-cli: interrupted; stopping the survey");
            abortSurvey(state);  // returns once the worker has ended
        }
        if (auto event = events.pop(100ms)) {
            handle(*event, state, list, display);
            if (event->kind == SurveyEvent::Kind::SurveyEnded) break;  // the worker's last report
        }
    }
    waitForSurvey(state);
    return interrupted;
}

}  // namespace

int runSurveyCommand(const SurveyCommand& command, const Workspace& workspace,
                     const Console& console) {
    const std::string enginePath = chooseEnginePath(command.engineFile, workspace);
    TerminalMessages messages(console);
    TableList list;
    EngineDefinition engine;
    SurveyState state;
    SurveyEventQueue events;

    // An engine that cannot be read has been reported; what the failed read left in the record
    // is not surveyed with, so the start below refuses it as not learnt.
    if (!loadEngineFile(engine, workspace, enginePath, messages)) resetDefinition(engine);
    if (!openSurveyFile(state, workspace, command.surveyFile, messages, list)) return EXIT_FAILED;

    watchForInterrupt();
    const SurveyStart start{engine, enginePath, events,
                            networkFetcher(loadNetworkSettings(workspace)), localNow,
                            command.retryFailed};
    if (!startSurvey(state, workspace, start, messages, list)) {
        // A retry with nothing failed has nothing to do, which is no failure.
        if (!command.retryFailed || anyFailure(state.historyTables[0])) return EXIT_FAILED;
        printTable(console, list, state, enginePath, command.format);
        return EXIT_DONE;
    }
    ProgressDisplay display(console, state.keywords);
    const bool interrupted = followSurvey(state, events, list, display);
    display.finish();

    printTable(console, list, state, enginePath, command.format);
    if (interrupted) return EXIT_INTERRUPTED;
    if (state.historyWriteFailed) return EXIT_FAILED;
    if (state.engineRefused) return EXIT_ENGINE_REFUSED;
    return display.failedKeywords() > 0 ? EXIT_KEYWORDS_FAILED : EXIT_DONE;
}

int runShowCommand(const ShowCommand& command, const Workspace& workspace, const Console& console) {
    TerminalMessages messages(console);
    TableList list;
    SurveyState state;
    if (!openSurveyFile(state, workspace, command.surveyFile, messages, list)) return EXIT_FAILED;
    if (command.allRuns) {
        const SiteHistory history = readSiteHistory(state.historyDirectory);
        console.out(command.format == OutputFormat::Csv ? formatRunsAsCsv(history)
                                                        : formatRunsAsJson(state.target, history));
        return EXIT_DONE;
    }
    printTable(console, list, state, chooseEnginePath(std::nullopt, workspace), command.format);
    return EXIT_DONE;
}

}  // namespace vexor::cli
