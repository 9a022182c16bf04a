// vexor-cli report: the HTML report of a survey's whole history.
#include "app/report_command.h"
#include "app/survey_commands.h"
#include "app/text_format.h"
#include "app/texts.h"
#include "cli/cli_commands.h"
#include "cli/exit_status.h"
#include "cli/terminal_messages.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text.h"
#include "survey/survey_state.h"

namespace vexor::cli {

int runReportCommand(const ReportCommand& command, const Workspace& workspace,
                     const Console& console) {
    TerminalMessages messages(console);
    TableList list;
    SurveyState state;
    if (!openSurveyFile(state, workspace, command.surveyFile, messages, list)) return EXIT_FAILED;

    const std::string html = surveyReportHtml(state, localNow());
    if (command.outputFile && *command.outputFile == "-") {
        console.out(html);
        return EXIT_DONE;
    }
    // The history folder's report is named as the system names its files ("/" on POSIX); -o's
    // file as given.
    const std::string shown = command.outputFile ? *command.outputFile
                                                 : absolutePath(workspace.root, reportPathOf(state));
    if (!replaceFileContent(command.outputFile ? workspace.resolve(shown) : reportPathOf(state), html)) {
        messages.showMessage(Owner::MainWindow, formatWithText(texts::FMT_ENGINE_WRITE_FAILED, shown),
                             Icon::Warning);
        return EXIT_FAILED;
    }
    console.out(cp932ToUtf8(shown) + "\n");
    return EXIT_DONE;
}

}  // namespace vexor::cli
