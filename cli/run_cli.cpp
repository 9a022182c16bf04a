// Dispatching vexor-cli's command line.
#include "cli/run_cli.h"

#include <type_traits>
#include <variant>

#include "app/visible_text.h"
#include "cli/command_line.h"
#include "cli/cli_commands.h"
#include "cli/exit_status.h"
#include "platform/files.h"
#include "vexor_version.h"

namespace vexor::cli {
namespace {

// The folder a command works in: --dir, taken from the current directory when relative, else
// the current directory itself.
Workspace workspaceFor(const WorkFolder& folder) {
    const std::string current = workingDirectory();
    return Workspace{folder ? absolutePath(current, *folder) : current};
}

// Runs command in its workspace; a --dir that names no folder stops it first.
template <typename Command, typename Run>
int inWorkspace(const Command& command, const Console& console, Run run) {
    const Workspace workspace = workspaceFor(command.folder);
    if (!folderExists(workspace.root)) {
        const std::string named = command.folder ? *command.folder : workspace.root;
        console.err("vexor-cli: the folder \"" + visibleText(named).utf8 + "\" does not exist\n");
        return EXIT_FAILED;
    }
    return run(command, workspace, console);
}

}  // namespace

int runCli(const std::vector<std::string>& args, const Console& console) {
    const ParsedCommandLine parsed = parseCommandLine(args);
    return std::visit(
        [&console](const auto& command) -> int {
            using Command = std::decay_t<decltype(command)>;
            if constexpr (std::is_same_v<Command, LearnCommand>) {
                return inWorkspace(command, console, runLearnCommand);
            } else if constexpr (std::is_same_v<Command, SurveyCommand>) {
                return inWorkspace(command, console, runSurveyCommand);
            } else if constexpr (std::is_same_v<Command, ShowCommand>) {
                return inWorkspace(command, console, runShowCommand);
            } else if constexpr (std::is_same_v<Command, ReportCommand>) {
                return inWorkspace(command, console, runReportCommand);
            } else if constexpr (std::is_same_v<Command, HelpCommand>) {
                console.out(usageText());
                return EXIT_DONE;
            } else if constexpr (std::is_same_v<Command, VersionCommand>) {
                console.out("vexor-cli " VEXOR_VERSION "\n");
                return EXIT_DONE;
            } else if constexpr (std::is_same_v<Command, UsageError>) {
                console.err("vexor-cli: " + command.problem + "\n" + usageText());
                return EXIT_WRONG_USAGE;
            } else {
                static_assert(std::is_same_v<Command, EncodingError>);
                if (command.pathChanges) {
                    console.err("vexor-cli: the file name \"" + command.argument +
                                "\" would name another file in Shift_JIS (code page 932), where "
                                "vexor keeps its paths (there \"\u00A5\" is the path separator); "
                                "rename the file or its folder\n");
                } else {
                    console.err("vexor-cli: the argument \"" + command.argument +
                                "\" holds characters that Shift_JIS (code page 932) cannot "
                                "represent; vexor keeps every text in that code page\n");
                }
                return EXIT_WRONG_USAGE;
            }
        },
        parsed);
}

}  // namespace vexor::cli
