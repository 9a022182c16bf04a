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
    std::string pending;  // the part of a line read so far
    const bool read = forEachChunk(path, [&](std::string_view chunk) {
        std::size_t start = 0;
        for (std::size_t lf = chunk.find('\n'); lf != std::string_view::npos;
             lf = chunk.find('\n', start)) {
            std::string_view line = chunk.substr(start, lf - start);
            if (!pending.empty()) {
                pending.append(line);
                line = pending;
            }
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            onLine(line, true);
            pending.clear();
            start = lf + 1;
        }
        pending.append(chunk.substr(start));
        return true;
    });
    if (!read) return false;
    if (!pending.empty()) {
        std::string_view line = pending;
        if (line.back() == '\r') line.remove_suffix(1);
        onLine(line, false);
    }
    return true;
}

}  // namespace vexor
