// The file operations the core needs. Paths are code page 932 strings with "\" as the separator
// as the Windows program writes them; the POSIX side also accepts "/" and stores names as UTF-8
// on disk. The program passes absolute paths (its workspace resolves them): a relative one would
// be taken from the process's working directory, which nothing below the entry points relies on.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vexor {

// The whole content of a file, or nothing when it cannot be opened or read.
std::optional<std::string> readWholeFile(const std::string& path);

// Writes bytes to a temporary file beside path and only then replaces path with it, so an
// interrupted or failed write leaves the old file intact. False on any failure.
bool replaceFileContent(const std::string& path, const std::string& bytes);

// The same, telling a file that could not be created at all (folder missing or not writable)
// from a failure after that (writing, or putting the new file in place of the old one).
enum class ReplaceOutcome { Replaced, NotCreated, NotWritten };
ReplaceOutcome replaceFileContentTelling(const std::string& path, const std::string& bytes);

// Appends bytes to path, creating it when missing; binary (the caller writes CR LF itself).
bool appendToFile(const std::string& path, const std::string& bytes);

bool fileExists(const std::string& path);  // an existing regular file that can be opened to read
bool folderExists(const std::string& path);
bool makeDirectory(const std::string& path);  // false when it exists or cannot be made
bool copyFileReplacing(const std::string& from, const std::string& to);
bool removeFile(const std::string& path);

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
