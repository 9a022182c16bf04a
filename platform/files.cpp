// The portable part of the file operations.
#include "platform/files.h"

#include "platform/path_text.h"
#include "platform/text_lines.h"

namespace vexor {

bool replaceFileContent(const std::string& path, const std::string& bytes) {
    return replaceFileContentTelling(path, bytes) == ReplaceOutcome::Replaced;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return endsWithSeparator(folder) ? folder + name : folder + "\\" + name;
}

std::optional<std::string> readWholeFile(const std::string& path) {
    std::string content;
    if (!forEachChunk(path, [&content](std::string_view chunk) {
            content.append(chunk);
            return true;
        }))
        return std::nullopt;
    return content;
}

bool forEachLine(const std::string& path,
                 const std::function<void(std::string_view line, bool terminated)>& onLine) {
    LineAssembler lines;
    const bool read = forEachChunk(path, [&](std::string_view chunk) {
        lines.feed(chunk, onLine);
        return true;
    });
    if (read) lines.finish(onLine);
    return read;
}

}  // namespace vexor
