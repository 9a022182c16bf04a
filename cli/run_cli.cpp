// Dispatching vexor-cli's command line.
#include "cli/run_cli.h"

#include <type_traits>
#include <variant>

#include "cli/command_line.h"
#include "cli/cli_commands.h"
#include "cli/exit_status.h"
#include "platform/files.h"

namespace vexor::cli {
namespace {

// The folder a command works in: --dir, taken from the current directory when relative, else
// the current directory itself.
Workspace workspaceFor(const WorkFolder& folder) {
    const std::string current = workingDirectory();
    return Workspace{folder ? absolutePath(current, *folder) : current};
}

}  // namespace

int runCli(const std::vector<std::string>& args, const Console& console) {
    const ParsedCommandLine parsed = parseCommandLine(args);
    return std::visit(
        [&console](const auto& command) -> int {
            using Command = std::decay_t<decltype(command)>;
            if constexpr (std::is_same_v<Command, LearnCommand>) {
                return runLearnCommand(command, workspaceFor(command.folder), console);
            } else if constexpr (std::is_same_v<Command, SurveyCommand>) {
                return runSurveyCommand(command, workspaceFor(command.folder), console);
            } else if constexpr (std::is_same_v<Command, ShowCommand>) {
                return runShowCommand(command, workspaceFor(command.folder), console);
            } else if constexpr (std::is_same_v<Command, ReportCommand>) {
                return runReportCommand(command, workspaceFor(command.folder), console);
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
                console.err("vexor-cli: the argument \"" + command.argument +
                            "\" holds characters that Shift_JIS (code page 932) cannot "
                            "represent; vexor keeps every text in that code page\n");
                return EXIT_WRONG_USAGE;
            }
        },
        parsed);
}

}  // namespace vexor::cli
