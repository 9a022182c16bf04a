// The portable part of the file operations.
#include "platform/files.h"

#include "platform/path_text.h"
#include "platform/text_lines.h"

namespace vexor {

bool replaceFileContent(const std::string& path, const std::string& bytes) {
    return replaceFileContentTelling(path, bytes) == ReplaceOutcome::Replaced;
}

std::string tempFileSuffix(std::uint64_t pid, int attempt) {
    return ".tmp" + std::to_string(pid) + "-" + std::to_string(attempt);
}

std::optional<std::uint64_t> tempFileWriter(std::string_view suffix) {
    constexpr std::string_view MARK = ".tmp";
    if (suffix.substr(0, MARK.size()) != MARK) return std::nullopt;
    suffix.remove_prefix(MARK.size());
    const auto digits = [](std::string_view text) {
        return !text.empty() && text.size() <= 19 &&
               text.find_first_not_of("0123456789") == std::string_view::npos;
    };
    const std::size_t dash = suffix.find('-');
    if (dash == std::string_view::npos || !digits(suffix.substr(0, dash)) ||
        !digits(suffix.substr(dash + 1)))
        return std::nullopt;
    return std::stoull(std::string(suffix.substr(0, dash)));
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
