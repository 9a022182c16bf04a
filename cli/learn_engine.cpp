// vexor-cli learn: learning from the sample search given as options, then the engine file.
#include "app/engine_files.h"
#include "app/learn_command.h"
#include "app/network_fetcher.h"
#include "app/settings.h"
#include "cli/cli_commands.h"
#include "cli/exit_status.h"
#include "cli/terminal_messages.h"
#include "engine/engine_definition.h"
#include "engine/learning.h"
#include "platform/clock.h"

namespace vexor::cli {

int runLearnCommand(const LearnCommand& command, const Workspace& workspace, const Console& console) {
    TerminalMessages messages(console);
    const RunFetchers fetchers = runFetchers(loadNetworkSettings(workspace), workspace);
    if (!fetchers.refusal.empty()) {
        messages.showMessage(Owner::EditDialog, fetchers.refusal, Icon::Warning);
        return EXIT_FAILED;
    }
    EngineDefinition definition;
    const LearnResult result = learnFromSample(definition, command.fields, fetchers.fetch, localNow);
    if (result.outcome != LearnOutcome::Learnt) {
        messages.show(Owner::EditDialog, learnMessage(result));
        return EXIT_FAILED;
    }
    // The success is told only once the file is safely written.
    if (!saveEngineFile(definition, workspace, command.engineFile, messages)) return EXIT_FAILED;
    messages.show(Owner::EditDialog, learnMessage(result));
    return EXIT_DONE;
}

}  // namespace vexor::cli
