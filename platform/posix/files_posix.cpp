// File operations on POSIX: code page 932 paths with "\" or "/" become UTF-8 paths with "/".
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/text.h"

namespace vexor {
namespace {

std::string nativePath(const std::string& path) { return cp932ToUtf8(withSlashSeparators(path)); }

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool isRegularFile(const std::string& native) {
    struct stat info{};
    return stat(native.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Drops "." segments and resolves ".." against what precedes it, as the Windows full-path
// function does; path starts with "/".
std::string normalised(const std::string& path) {
    std::vector<std::string> segments;
    std::size_t start = 1;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string segment = path.substr(start, end - start);
        if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = end + 1;
    }
    std::string result;
    for (const auto& segment : segments) result += "/" + segment;
    return result.empty() ? "/" : result;
}

}  // namespace

std::optional<std::string> readWholeFile(const std::string& path) {
    const std::string native = nativePath(path);
    if (!isRegularFile(native)) return std::nullopt;
    FILE* file = std::fopen(native.c_str(), "rb");
    if (!file) return std::nullopt;
    std::string content;
    char chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) content.append(chunk, n);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    return content;
}

ReplaceOutcome replaceFileContentTelling(const std::string& path, const std::string& bytes) {
    const std::string native = nativePath(path);
    if (native.empty()) return ReplaceOutcome::NotCreated;
    // A name of our own beside the target, so that the rename stays within one file system.
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = native + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(attempt);
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return ReplaceOutcome::NotCreated;
    }
    if (fd < 0) return ReplaceOutcome::NotCreated;
    const bool written = writeAll(fd, bytes) && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (!written || !closed || rename(temp.c_str(), native.c_str()) != 0) {
        unlink(temp.c_str());
        return ReplaceOutcome::NotWritten;
    }
    return ReplaceOutcome::Replaced;
}

bool appendToFile(const std::string& path, const std::string& bytes) {
    const int fd = open(nativePath(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    const bool written = writeAll(fd, bytes);
    return close(fd) == 0 && written;
}

bool fileExists(const std::string& path) {
    const std::string native = nativePath(path);
    if (!isRegularFile(native)) return false;
    const int fd = open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    close(fd);
    return true;
}

bool folderExists(const std::string& path) {
    struct stat info{};
    return stat(nativePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool makeDirectory(const std::string& path) { return mkdir(nativePath(path).c_str(), 0777) == 0; }

bool copyFileReplacing(const std::string& from, const std::string& to) {
    const auto content = readWholeFile(from);
    return content && replaceFileContent(to, *content);
}

bool removeFile(const std::string& path) {
    const std::string native = nativePath(path);
    return isRegularFile(native) && unlink(native.c_str()) == 0;
}

std::vector<std::string> listFiles(const std::string& folder, const std::string& suffix) {
    std::vector<std::string> names;
    const std::string native = nativePath(folder);
    DIR* dir = opendir(native.empty() ? "." : native.c_str());
    if (!dir) return names;
    while (const dirent* entry = readdir(dir)) {
        // A name with no code page 932 form could not be opened through a code page 932 path.
        const auto name = utf8ToCp932(entry->d_name);
        if (!name || !endsWithIgnoringCase(*name, suffix)) continue;
        if (isRegularFile(native.empty() ? entry->d_name : native + "/" + entry->d_name))
            names.push_back(*name);
    }
    closedir(dir);
    return names;
}

std::string workingDirectory() {
    std::vector<char> buffer(4096);
    while (!getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE) return std::string();
        buffer.resize(buffer.size() * 2);
    }
    // A folder whose name has no code page 932 form is given as it is.
    const std::string utf8 = buffer.data();
    return utf8ToCp932(utf8).value_or(utf8);
}

bool isAbsolutePath(const std::string& path) {
    return !path.empty() && (path[0] == '/' || path[0] == '\\');
}

std::string absolutePath(const std::string& base, const std::string& path) {
    const std::string slashed = withSlashSeparators(path);
    if (isAbsolutePath(path)) return normalised(slashed);
    return normalised(withSlashSeparators(base) + "/" + slashed);
}

}  // namespace vexor
