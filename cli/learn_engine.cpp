// vexor-cli learn: the engine edit dialog's learn and save, without the dialog.
#include "app/text_format.h"
#include "app/texts.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/terminal_ui.h"
#include "engine/engine_definition.h"
#include "engine/engine_file.h"
#include "engine/learn_command.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "web/page_fetcher.h"

namespace vexor::cli {
namespace {

// The engine folder is made where the Windows program keeps it, when the file goes there.
void makeEngineFolderFor(const std::string& engineFile) {
    const std::string folder = texts::ENGINE_FOLDER;
    if (engineFile.rfind(folder + "\\", 0) == 0 || engineFile.rfind(folder + "/", 0) == 0)
        makeDirectory(folder);
}

}  // namespace

int runLearnCommand(const LearnCommand& command, const Console& console) {
    TerminalUi ui(console, command.fields);
    EngineDefinition definition;

    // The learn command announces its outcome before anything is written; the announcement of
    // a success waits until the file is safely written.
    ui.holdMessages();
    learnDefinition(definition, ui, fetchPage, localNow);
    if (!isLearnt(definition)) {
        ui.printHeldMessages();
        return EXIT_FAILED;
    }
    makeEngineFolderFor(command.engineFile);
    // The writer reports a failure at once, through a user interface that does not hold. A
    // file it cannot even create it leaves to the dialog's read-back to report; here the
    // failure is named directly.
    TerminalUi writerUi(console);
    if (!writeEngineFile(definition, command.engineFile, writerUi)) {
        if (writerUi.messageCount() == 0)
            writerUi.showMessage(Owner::MainWindow,
                                 formatWithText(texts::FMT_ENGINE_WRITE_FAILED, command.engineFile),
                                 Icon::Warning);
        ui.dropHeldMessages();
        return EXIT_FAILED;
    }
    ui.printHeldMessages();
    return EXIT_DONE;
}

}  // namespace vexor::cli
