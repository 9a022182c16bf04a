// Engine file outcomes in words.
#include "app/engine_files.h"

#include "app/text_format.h"
#include "app/texts.h"
#include "engine/engine_file.h"
#include "platform/files.h"
#include "platform/path_text.h"

namespace vexor {

Message engineReadFailed(const std::string& path) {
    return {formatWithText(texts::FMT_ENGINE_READ_FAILED, pathAsShown(path)), Icon::Warning};
}

Message engineWriteFailed(const std::string& path) {
    return {formatWithText(texts::FMT_ENGINE_WRITE_FAILED, pathAsShown(path)), Icon::Warning};
}

void makeEngineFolder(const Workspace& workspace) { makeDirectory(workspace.resolve(ENGINE_FOLDER_NAME)); }

void makeEngineFolderFor(const Workspace& workspace, const std::string& path) {
    // Both resolved, so both have the system's separators and no "." or "..".
    const std::string file = workspace.resolve(path);
    const std::string folder = workspace.resolve(ENGINE_FOLDER_NAME);
    const bool inFolder = file.size() > folder.size() + 1 && file.compare(0, folder.size(), folder) == 0 &&
                          (file[folder.size()] == '\\' || file[folder.size()] == '/');
    if (inFolder && !folderExists(folder)) makeDirectory(folder);
}

bool loadEngineFile(EngineDefinition& record, const Workspace& workspace, const std::string& path,
                    Messages& messages) {
    if (readEngineFile(record, workspace.resolve(path)) == EngineFileRead::Read) return true;
    messages.show(Owner::MainWindow, engineReadFailed(path));
    return false;
}

bool saveEngineFile(const EngineDefinition& record, const Workspace& workspace,
                    const std::string& path, Messages& messages) {
    makeEngineFolderFor(workspace, path);
    if (writeEngineFile(record, workspace.resolve(path)) == EngineFileWrite::Written) return true;
    messages.show(Owner::MainWindow, engineWriteFailed(path));
    return false;
}

}  // namespace vexor
