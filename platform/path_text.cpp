// Separator handling for code page 932 paths.
#include "platform/path_text.h"

#include "platform/bytes.h"
#include "platform/text.h"

namespace vexor {

std::string withSlashSeparators(const std::string& path) {
    std::string result = path;
    for (std::size_t i = 0; i < result.size(); i += leadByteStep(result, i))
        if (result[i] == '\\') result[i] = '/';
    return result;
}

std::string pathAsShown(const std::string& path) {
#ifdef _WIN32
    return path;
#else
    return withSlashSeparators(path);
#endif
}

bool endsWithSeparator(const std::string& path) {
    bool last = false;
    for (std::size_t i = 0; i < path.size(); i += leadByteStep(path, i))
        last = leadByteStep(path, i) == 1 && (path[i] == '\\' || path[i] == '/');
    return last;
}

bool endsWithIgnoringCase(const std::string& name, const std::string& suffix) {
    if (suffix.size() > name.size()) return false;
    return lowerAscii(std::string_view(name).substr(name.size() - suffix.size())) == lowerAscii(suffix);
}

}  // namespace vexor
