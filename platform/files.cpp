// The portable part of the file operations.
#include "platform/files.h"

#include "platform/path_text.h"

namespace vexor {

bool replaceFileContent(const std::string& path, const std::string& bytes) {
    return replaceFileContentTelling(path, bytes) == ReplaceOutcome::Replaced;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return endsWithSeparator(folder) ? folder + name : folder + "\\" + name;
}

}  // namespace vexor
