// Separator handling for code page 932 paths.
#include "platform/path_text.h"

#include "platform/text.h"

namespace vexor {

std::string withSlashSeparators(const std::string& path) {
    std::string result = path;
    for (std::size_t i = 0; i < result.size(); ++i) {
        if (isLeadByte(static_cast<unsigned char>(result[i]))) {
            ++i;
        } else if (result[i] == '\\') {
            result[i] = '/';
        }
    }
    return result;
}

bool endsWithSeparator(const std::string& path) {
    bool last = false;
    for (std::size_t i = 0; i < path.size(); ++i) {
        last = false;
        if (isLeadByte(static_cast<unsigned char>(path[i]))) {
            ++i;
        } else if (path[i] == '\\' || path[i] == '/') {
            last = true;
        }
    }
    return last;
}

bool endsWithIgnoringCase(const std::string& name, const std::string& suffix) {
    if (suffix.size() > name.size()) return false;
    const std::size_t start = name.size() - suffix.size();
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    for (std::size_t i = 0; i < suffix.size(); ++i)
        if (lower(name[start + i]) != lower(suffix[i])) return false;
    return true;
}

}  // namespace vexor
