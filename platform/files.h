// The file operations the core needs. Paths are code page 932 strings with "\" as the separator
// as the Windows program writes them; the POSIX side also accepts "/" and stores names as UTF-8
// on disk. The program passes absolute paths (its workspace resolves them): a relative one would
// be taken from the process's working directory, which nothing below the entry points relies on.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexor {

// The content of a regular file (a symbolic link to one is followed) in chunks of at most 64 KiB,
// in order, until onChunk returns false. False when it cannot be opened or read; never waits on
// a FIFO or a device.
bool forEachChunk(const std::string& path, const std::function<bool(std::string_view)>& onChunk);

// The whole content of a regular file, or nothing when it cannot be opened or read.
std::optional<std::string> readWholeFile(const std::string& path);

// Every line of a regular file, read in chunks so that memory does not grow with the file: the
// line without its line end (LF or CR LF), and whether a line end followed it (only the last
// line can lack one). False when the file cannot be opened or read as a regular file.
bool forEachLine(const std::string& path,
                 const std::function<void(std::string_view line, bool terminated)>& onLine);

// Writes bytes in place of path's content. The bytes go to a temporary file beside path that
// then replaces it, so an interrupted write leaves the old file intact; where no temporary file
// can be made beside it (a folder that takes no new files, a name at the length limit), path is
// written in place instead. NotCreated: path itself could not be created or opened for writing;
// NotWritten: a failure after that (writing, or putting the new file in place of the old one).
// A writer killed part way leaves its temporary file behind: each replace first removes those
// beside path whose process no longer runs, and keeps those of running processes, which may be
// writing path at the same moment (the last rename wins).
enum class ReplaceOutcome { Replaced, NotCreated, NotWritten };
ReplaceOutcome replaceFileContentTelling(const std::string& path, const std::string& bytes);
bool replaceFileContent(const std::string& path, const std::string& bytes);

// The temporary file of a replace is named path + tempFileSuffix: ".tmp<PID>-<N>", PID the id of
// the writing process and N the attempt, counted from 0 while the name is taken.
std::string tempFileSuffix(std::uint64_t pid, int attempt);
// The writing process's id in a suffix of that form; nothing for any other text.
std::optional<std::uint64_t> tempFileWriter(std::string_view suffix);

// Appends bytes to the regular file path, creating it when missing; binary (the caller writes
// CR LF itself). Whole or nothing: a write that fails part way is cut back off, and the bytes
// are flushed to the disk before it returns true. A symbolic link, a FIFO or a folder at path
// is refused, never followed or waited on.
bool appendToFile(const std::string& path, const std::string& bytes);

// Cuts the regular file at path to size bytes (no symbolic link followed).
bool truncateFile(const std::string& path, std::uint64_t size);

// What stands at path, a symbolic link not followed.
enum class FileKind { Missing, Regular, Folder, Other };
FileKind fileKind(const std::string& path);

bool fileExists(const std::string& path);  // an existing regular file that can be opened to read
bool folderExists(const std::string& path);
bool makeDirectory(const std::string& path);  // false when it exists or cannot be made
bool copyFileReplacing(const std::string& from, const std::string& to);
bool removeFile(const std::string& path);
// Moves from to to in one step (both in one folder tree), replacing a file at to.
bool renameFile(const std::string& from, const std::string& to);

// Names of the regular files of folder whose name ends in suffix (compared without regard to
// ASCII case, as the Windows file system matches "*.eng"), in the order the OS lists them.
std::vector<std::string> listFiles(const std::string& folder, const std::string& suffix);

// The process's working directory, in the OS's own separator style (backslashes on Windows,
// slashes on POSIX). Only entry points ask for it, to choose the folder they work in.
std::string workingDirectory();

// True for a path that names its place without a working directory: "/..." on POSIX; a drive
// ("C:\...") or a network share ("\\server\...") or a rooted "\..." on Windows.
bool isAbsolutePath(const std::string& path);

// path made absolute against base (an absolute folder) unless it is absolute already, with "."
// and ".." resolved, in the OS's own separator style.
std::string absolutePath(const std::string& base, const std::string& path);

// Joins a folder and a name with the separator the Windows program writes ("\").
std::string joinPath(const std::string& folder, const std::string& name);

}  // namespace vexor
