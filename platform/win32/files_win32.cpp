// File operations on Windows through the W functions, code page 932 paths converted to UTF-16.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/text.h"

namespace vexor {
namespace {

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    bool close() {
        if (!valid()) return true;
        const bool closed = CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

bool writeAll(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

bool isRegularFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A symbolic link or junction (never followed out of a folder) or a device name.
bool isLinkOrDevice(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_DIRECTORY));
}

// Writes bytes to path itself, truncating it first: the way a file is written when no temporary
// file can be made beside it.
ReplaceOutcome writeInPlace(const std::wstring& path, const std::string& bytes) {
    Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return ReplaceOutcome::NotCreated;
    const bool written = writeAll(file.get(), bytes) && FlushFileBuffers(file.get());
    return file.close() && written ? ReplaceOutcome::Replaced : ReplaceOutcome::NotWritten;
}

// Whether a process with the id runs; one that has ended but is still held open does not.
bool processRuns(std::uint64_t pid) {
    if (pid == 0 || pid > MAXDWORD) return false;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

// Removes the temporary files that writers of target killed part way left beside it.
void removeStaleTempFiles(const std::wstring& target) {
    const std::size_t separator = target.find_last_of(L"\\/");
    const std::wstring folder = separator == std::wstring::npos ? L"" : target.substr(0, separator + 1);
    const std::size_t nameLength = target.size() - folder.size();
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((target + L".tmp*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name.size() < nameLength) continue;
        // The suffix is ASCII; any other character makes it no temporary file's.
        std::string suffix;
        for (const wchar_t c : name.substr(nameLength)) suffix += c < 0x80 ? static_cast<char>(c) : '?';
        const auto writer = tempFileWriter(suffix);
        if (writer && !processRuns(*writer)) DeleteFileW((folder + name).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace

bool forEachChunk(const std::string& path, const std::function<bool(std::string_view)>& onChunk) {
    Handle file(CreateFileW(cp932ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK) return false;
    std::vector<char> chunk(65536);
    DWORD n = 0;
    while (ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &n, nullptr)) {
        if (n == 0) return true;
        if (!onChunk(std::string_view(chunk.data(), n))) return true;
    }
    return false;
}

ReplaceOutcome replaceFileContentTelling(const std::string& path, const std::string& bytes) {
    const std::wstring target = cp932ToWide(path);
    if (target.empty()) return ReplaceOutcome::NotCreated;
    removeStaleTempFiles(target);
    // A name of our own beside the target, so that the move stays within one volume.
    std::wstring temp;
    HANDLE created = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && created == INVALID_HANDLE_VALUE; ++attempt) {
        temp = target + cp932ToWide(tempFileSuffix(GetCurrentProcessId(), attempt));
        created = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (created == INVALID_HANDLE_VALUE) return writeInPlace(target, bytes);
    Handle file(created);
    const bool written = writeAll(file.get(), bytes) && FlushFileBuffers(file.get());
    const bool closed = file.close();
    if (!written || !closed ||
        !MoveFileExW(temp.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temp.c_str());
        return ReplaceOutcome::NotWritten;
    }
    return ReplaceOutcome::Replaced;
}

bool appendToFile(const std::string& path, const std::string& bytes) {
    const std::wstring wide = cp932ToWide(path);
    if (isLinkOrDevice(wide)) return false;
    Handle file(CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK) return false;
    LARGE_INTEGER before{};
    if (!SetFilePointerEx(file.get(), LARGE_INTEGER{}, &before, FILE_END)) return false;
    if (!writeAll(file.get(), bytes) || !FlushFileBuffers(file.get())) {
        // A part of the bytes would stand glued to whatever is appended next.
        if (SetFilePointerEx(file.get(), before, nullptr, FILE_BEGIN)) SetEndOfFile(file.get());
        return false;
    }
    return file.close();
}

bool truncateFile(const std::string& path, std::uint64_t size) {
    const std::wstring wide = cp932ToWide(path);
    if (isLinkOrDevice(wide)) return false;
    Handle file(CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(size);
    return file.valid() && SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) &&
           SetEndOfFile(file.get()) && FlushFileBuffers(file.get()) && file.close();
}

FileKind fileKind(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(cp932ToWide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return FileKind::Missing;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return FileKind::Other;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileKind::Folder;
    if (attributes & FILE_ATTRIBUTE_DEVICE) return FileKind::Other;
    return FileKind::Regular;
}

bool fileExists(const std::string& path) {
    const std::wstring wide = cp932ToWide(path);
    if (!isRegularFile(wide)) return false;
    Handle file(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid();
}

bool folderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(cp932ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool makeDirectory(const std::string& path) {
    return CreateDirectoryW(cp932ToWide(path).c_str(), nullptr) != 0;
}

bool copyFileReplacing(const std::string& from, const std::string& to) {
    return CopyFileW(cp932ToWide(from).c_str(), cp932ToWide(to).c_str(), FALSE) != 0;
}

bool removeFile(const std::string& path) { return DeleteFileW(cp932ToWide(path).c_str()) != 0; }

bool renameFile(const std::string& from, const std::string& to) {
    return MoveFileExW(cp932ToWide(from).c_str(), cp932ToWide(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

std::vector<std::string> listFiles(const std::string& folder, const std::string& suffix) {
    std::vector<std::string> names;
    std::wstring pattern = cp932ToWide(folder);
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        // A name with no code page 932 form could not be opened through a code page 932 path.
        const auto name = wideToCp932(found.cFileName);
        if (name && endsWithIgnoringCase(*name, suffix)) names.push_back(*name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::string workingDirectory() {
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    if (length == 0) return std::string();
    std::wstring buffer(length, L'\0');
    const DWORD written = GetCurrentDirectoryW(length, buffer.data());
    buffer.resize(written);
    return wideToCp932(buffer).value_or(std::string());
}

bool isAbsolutePath(const std::string& path) {
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    if (!path.empty() && separator(path[0])) return true;
    const bool drive = path.size() >= 2 && path[1] == ':' &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    return drive;
}

std::string absolutePath(const std::string& base, const std::string& path) {
    const std::string joined = isAbsolutePath(path) ? path : joinPath(base, path);
    const std::wstring wide = cp932ToWide(joined);
    const DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (length == 0) return joined;
    std::wstring buffer(length, L'\0');
    const DWORD written = GetFullPathNameW(wide.c_str(), length, buffer.data(), nullptr);
    buffer.resize(written);
    return wideToCp932(buffer).value_or(joined);
}

}  // namespace vexor
