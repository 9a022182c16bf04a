// vexor-cli learn: learning from the sample search given as options, then the engine file.
#include "app/engine_files.h"
#include "app/learn_command.h"
#include "app/network_fetcher.h"
#include "app/settings.h"
#include "cli/cli_commands.h"
#include "cli/exit_status.h"
#include "cli/terminal_messages.h"
#include "engine/engine_definition.h"
#include "engine/engine_file.h"
#include "engine/learning.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace vexor::cli {
namespace {

// The engine folder is made where the Windows program keeps it, when the file goes there.
void makeEngineFolderFor(const std::string& engineFile, const Workspace& workspace) {
    const std::string folder = ENGINE_FOLDER_NAME;
    if (engineFile.rfind(folder + "\\", 0) == 0 || engineFile.rfind(folder + "/", 0) == 0)
        makeDirectory(workspace.engineFolder());
}

}  // namespace

int runLearnCommand(const LearnCommand& command, const Workspace& workspace, const Console& console) {
    TerminalMessages messages(console);
    EngineDefinition definition;
    const LearnResult result = learnFromSample(
        definition, command.fields, networkFetcher(loadNetworkSettings(workspace)), localNow);
    if (result.outcome != LearnOutcome::Learnt) {
        messages.show(Owner::EditDialog, learnMessage(result));
        return EXIT_FAILED;
    }
    // The success is told only once the file is safely written.
    makeEngineFolderFor(command.engineFile, workspace);
    if (writeEngineFile(definition, workspace.resolve(command.engineFile)) !=
        EngineFileWrite::Written) {
        messages.show(Owner::MainWindow, engineWriteFailed(command.engineFile));
        return EXIT_FAILED;
    }
    messages.show(Owner::EditDialog, learnMessage(result));
    return EXIT_DONE;
}

}  // namespace vexor::cli
