// File operations on POSIX: code page 932 paths with "\" or "/" become UTF-8 paths with "/".
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <limits>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/text.h"

namespace vexor {
namespace {

std::string nativePath(const std::string& path) { return cp932ToUtf8(withSlashSeparators(path)); }

// A file descriptor closed with its owner.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    bool valid() const { return fd_ >= 0; }
    int get() const { return fd_; }
    bool close() {
        if (fd_ < 0) return true;
        const bool closed = ::close(fd_) == 0;
        fd_ = -1;
        return closed;
    }

private:
    int fd_;
};

bool writeAll(int fd, const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool isRegular(int fd) {
    struct stat info{};
    return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// Opens without waiting on a FIFO (O_NONBLOCK) and keeps the descriptor only for a regular file.
Descriptor openRegular(const std::string& native, int flags, mode_t mode = 0666) {
    const int fd = open(native.c_str(), flags | O_NONBLOCK | O_CLOEXEC, mode);
    if (fd >= 0 && !isRegular(fd)) {
        ::close(fd);
        return Descriptor(-1);
    }
    return Descriptor(fd);
}

// Writes bytes to path itself, truncating it first: the way a file is written when no temporary
// file can be made beside it.
ReplaceOutcome writeInPlace(const std::string& native, const std::string& bytes) {
    Descriptor fd = openRegular(native, O_WRONLY | O_CREAT | O_TRUNC);
    if (!fd.valid()) return ReplaceOutcome::NotCreated;
    const bool written = writeAll(fd.get(), bytes.data(), bytes.size()) && fsync(fd.get()) == 0;
    return fd.close() && written ? ReplaceOutcome::Replaced : ReplaceOutcome::NotWritten;
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

// Whether a process with the id runs (a process of another user counts too).
bool processRuns(std::uint64_t pid) {
    if (pid == 0 || pid > static_cast<std::uint64_t>(std::numeric_limits<pid_t>::max())) return false;
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// Removes the temporary files that writers of target killed part way left beside it.
void removeStaleTempFiles(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = target.substr(folder.size());
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return;
    while (const dirent* entry = readdir(dir)) {
        const std::string_view entryName = entry->d_name;
        if (entryName.substr(0, name.size()) != name) continue;
        const auto writer = tempFileWriter(entryName.substr(name.size()));
        if (writer && !processRuns(*writer)) unlink((folder + entry->d_name).c_str());
    }
    closedir(dir);
}

}  // namespace

bool forEachChunk(const std::string& path, const std::function<bool(std::string_view)>& onChunk) {
    Descriptor fd = openRegular(nativePath(path), O_RDONLY);
    if (!fd.valid()) return false;
    std::vector<char> chunk(65536);
    for (;;) {
        const ssize_t n = read(fd.get(), chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (!onChunk(std::string_view(chunk.data(), static_cast<std::size_t>(n)))) return true;
    }
}

ReplaceOutcome replaceFileContentTelling(const std::string& path, const std::string& bytes) {
    const std::string native = nativePath(path);
    if (native.empty()) return ReplaceOutcome::NotCreated;
    removeStaleTempFiles(native);
    // A name of our own beside the target, so that the rename stays within one file system.
    std::string temp;
    int created = -1;
    for (int attempt = 0; attempt < 100 && created < 0; ++attempt) {
        temp = native + tempFileSuffix(static_cast<std::uint64_t>(getpid()), attempt);
        created = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (created < 0 && errno != EEXIST) break;
    }
    if (created < 0) return writeInPlace(native, bytes);
    Descriptor fd(created);
    const bool written = writeAll(fd.get(), bytes.data(), bytes.size()) && fsync(fd.get()) == 0;
    const bool closed = fd.close();
    if (!written || !closed || rename(temp.c_str(), native.c_str()) != 0) {
        unlink(temp.c_str());
        return ReplaceOutcome::NotWritten;
    }
    return ReplaceOutcome::Replaced;
}

bool appendToFile(const std::string& path, const std::string& bytes) {
    Descriptor fd = openRegular(nativePath(path), O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW);
    if (!fd.valid()) return false;
    const off_t before = lseek(fd.get(), 0, SEEK_END);
    if (before < 0) return false;
    if (!writeAll(fd.get(), bytes.data(), bytes.size()) || fsync(fd.get()) != 0) {
        // A part of the bytes would stand glued to whatever is appended next.
        if (ftruncate(fd.get(), before) == 0) fsync(fd.get());
        return false;
    }
    return fd.close();
}

bool truncateFile(const std::string& path, std::uint64_t size) {
    Descriptor fd = openRegular(nativePath(path), O_WRONLY | O_NOFOLLOW);
    return fd.valid() && ftruncate(fd.get(), static_cast<off_t>(size)) == 0 &&
           fsync(fd.get()) == 0 && fd.close();
}

FileKind fileKind(const std::string& path) {
    struct stat info{};
    if (lstat(nativePath(path).c_str(), &info) != 0) return FileKind::Missing;
    if (S_ISREG(info.st_mode)) return FileKind::Regular;
    if (S_ISDIR(info.st_mode)) return FileKind::Folder;
    return FileKind::Other;
}

bool fileExists(const std::string& path) { return openRegular(nativePath(path), O_RDONLY).valid(); }

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
    return fileKind(path) == FileKind::Regular && unlink(nativePath(path).c_str()) == 0;
}

bool renameFile(const std::string& from, const std::string& to) {
    return rename(nativePath(from).c_str(), nativePath(to).c_str()) == 0;
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
        struct stat info{};
        const std::string full = native.empty() ? entry->d_name : native + "/" + entry->d_name;
        if (stat(full.c_str(), &info) == 0 && S_ISREG(info.st_mode)) names.push_back(*name);
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
