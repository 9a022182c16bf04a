// Engine file outcomes in words.
#include "app/engine_files.h"

#include "app/text_format.h"
#include "app/texts.h"
#include "engine/engine_file.h"
#include "platform/path_text.h"

namespace vexor {

Message engineReadFailed(const std::string& path) {
    return {formatWithText(texts::FMT_ENGINE_READ_FAILED, pathAsShown(path)), Icon::Warning};
}

Message engineWriteFailed(const std::string& path) {
    return {formatWithText(texts::FMT_ENGINE_WRITE_FAILED, pathAsShown(path)), Icon::Warning};
}

bool loadEngineFile(EngineDefinition& record, const Workspace& workspace, const std::string& path,
                    Messages& messages) {
    if (readEngineFile(record, workspace.resolve(path)) == EngineFileRead::Read) return true;
    messages.show(Owner::MainWindow, engineReadFailed(path));
    return false;
}

bool saveEngineFile(const EngineDefinition& record, const Workspace& workspace,
                    const std::string& path, Messages& messages) {
    if (writeEngineFile(record, workspace.resolve(path)) == EngineFileWrite::Written) return true;
    messages.show(Owner::MainWindow, engineWriteFailed(path));
    return false;
}

}  // namespace vexor
