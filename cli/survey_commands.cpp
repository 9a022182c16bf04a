// vexor-cli survey and show: opening a survey file, running a survey to its end with the
// worker's reports handled on this thread, and printing the result list.
#include <chrono>
#include <utility>

#include "app/engine_files.h"
#include "app/network_fetcher.h"
#include "app/result_table.h"
#include "app/settings.h"
#include "app/survey_commands.h"
#include "app/survey_display.h"
#include "app/text_format.h"
#include "app/texts.h"
#include "app/visible_text.h"
#include "cli/cli_commands.h"
#include "cli/engine_choice.h"
#include "cli/exit_status.h"
#include "cli/interrupt.h"
#include "cli/output_format.h"
#include "cli/progress_display.h"
#include "cli/step_in_prompt.h"
#include "cli/survey_event_queue.h"
#include "cli/terminal_messages.h"
#include "engine/engine_definition.h"
#include "engine/engine_name.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "survey/history.h"
#include "survey/site_history.h"
#include "survey/survey_control.h"
#include "survey/survey_state.h"

namespace vexor::cli {
namespace {

using namespace std::chrono_literals;

// Puts what a command prints where -o says: on standard output, or in place of FILE's content
// (CSV with the byte-order mark a spreadsheet needs; a table or JSON as printed). False, with
// the file named in a message, when the file cannot be written.
bool putOutput(const std::string& printed, OutputFormat format, const OutputFile& file,
               const Workspace& workspace, const Console& console, Messages& messages) {
    if (!file || *file == "-") {
        console.out(printed);
        return true;
    }
    if (replaceFileContent(workspace.resolve(*file), format == OutputFormat::Csv ? csvFileBytes(printed) : printed))
        return true;
    messages.showMessage(Owner::MainWindow, formatWithText(texts::FMT_ENGINE_WRITE_FAILED, *file), Icon::Warning);
    return false;
}

// A failed keyword's cells say "failed" whatever the words of the Windows program: in a table
// alone, in CSV and JSON with the cause and the page ("failed: http-429 on page 3").
std::string printedTable(const TableList& list, const SurveyState& state, const std::string& enginePath,
                         OutputFormat format) {
    const FailedCells failed = format == OutputFormat::Table ? FailedCells::Word : FailedCells::WithCause;
    return formatResultTable(shownTable(list.shownRows(), state, baseName(enginePath), failed), format);
}

// What the main thread needs to ask the person at the terminal while the worker waits.
struct PersonAtTerminal {
    const Console& console;
    HandOffDesk& desk;
};

void handle(const SurveyEvent& event, SurveyState& state, TableList& list, ProgressDisplay& display,
            PersonAtTerminal& person) {
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
            display.note(visibleLines(historyNotStored(state.historyDirectory).text));
            break;
        case SurveyEvent::Kind::WaitingForPerson:
            display.waitingForPerson(event.row);
            askPersonToStepIn(state, person.desk, list, event.row, static_cast<FailureCause>(event.value),
                              StepInFrontEnd::Terminal,
                              [&](const std::string& question) { return promptStepIn(person.console, question); });
            break;
    }
}

// Handles the worker's reports until it has ended; Ctrl-C aborts it as the Windows program's
// abort command does. True when the survey was interrupted.
bool followSurvey(SurveyState& state, SurveyEventQueue& events, TableList& list,
                  ProgressDisplay& display, PersonAtTerminal& person) {
    bool interrupted = false;
    for (;;) {
        if (!interrupted && interruptRequested()) {
            interrupted = true;
            display.note("vexor-cli: interrupted; stopping the survey");
            abortSurvey(state);  // returns once the worker has ended
        }
        if (auto event = events.pop(100ms)) {
            handle(*event, state, list, display, person);
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
    HandOffDesk desk;  // where the worker waits for the answers of the person at the terminal

    // An engine that cannot be read has been reported; what the failed read left in the record
    // is not surveyed with, so the start below refuses it as not learnt.
    if (!loadEngineFile(engine, workspace, enginePath, messages)) resetDefinition(engine);
    if (!openSurveyFile(state, workspace, command.surveyFile, messages, list)) return EXIT_FAILED;

    RunFetchers fetchers = runFetchers(loadNetworkSettings(workspace), workspace);
    if (!fetchers.refusal.empty()) {
        messages.showMessage(Owner::MainWindow, fetchers.refusal, Icon::Warning);
        return EXIT_FAILED;
    }
    watchForInterrupt();
    SurveyStart start{engine, enginePath, events, std::move(fetchers.fetch), localNow,
                      command.retryFailed, {}, std::move(fetchers.proxies)};
    // The question goes to standard error and the answer comes from standard input: a person
    // must be at both; otherwise the page fails the keyword.
    if (console.inIsTerminal && console.errIsTerminal && personCanStepIn(workspace)) start.handOff = handOffAt(desk);
    if (!startSurvey(state, workspace, start, messages, list)) {
        // A retry with nothing failed has nothing to do, which is no failure.
        if (!command.retryFailed || anyFailure(state.historyTables[0])) return EXIT_FAILED;
        const std::string printed = printedTable(list, state, enginePath, command.format);
        return putOutput(printed, command.format, command.outputFile, workspace, console, messages)
                   ? EXIT_DONE
                   : EXIT_FAILED;
    }
    ProgressDisplay display(console, state.keywords);
    PersonAtTerminal person{console, desk};
    const bool interrupted = followSurvey(state, events, list, display, person);
    display.finish();

    const std::string printed = printedTable(list, state, enginePath, command.format);
    const bool written = putOutput(printed, command.format, command.outputFile, workspace, console, messages);
    if (interrupted) return EXIT_INTERRUPTED;
    if (!written) return EXIT_FAILED;
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
        const std::string printed = command.format == OutputFormat::Csv ? formatRunsAsCsv(history)
                                                                        : formatRunsAsJson(state.target, history);
        return putOutput(printed, command.format, command.outputFile, workspace, console, messages)
                   ? EXIT_DONE
                   : EXIT_FAILED;
    }
    const std::string printed = printedTable(list, state, chooseEnginePath(std::nullopt, workspace), command.format);
    return putOutput(printed, command.format, command.outputFile, workspace, console, messages) ? EXIT_DONE
                                                                                                 : EXIT_FAILED;
}

}  // namespace vexor::cli
