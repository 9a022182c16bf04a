// Paths of the workspace.
#include "app/workspace.h"

#include "platform/files.h"
#include "survey/survey_file.h"

namespace vexor {

std::string Workspace::resolve(const std::string& path) const { return absolutePath(root, path); }

std::string Workspace::settingsFile() const { return joinPath(root, SETTINGS_FILE_NAME); }

std::string Workspace::engineFolder() const { return joinPath(root, ENGINE_FOLDER_NAME); }

std::string Workspace::historyFolder(const std::string& target) const {
    return joinPath(root, historyFolderName(target));
}

}  // namespace vexor
