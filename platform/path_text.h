// Separators in code page 932 paths: a 0x5C that is the second byte of a double-byte character
// (表, ソ, 能 ...) is part of the name, not a "\".
#pragma once

#include <string>

namespace vexor {

// path with every separator "\" written as "/".
std::string withSlashSeparators(const std::string& path);

// path as the user is shown it: with the separators the system writes, "/" on POSIX and "\" on
// Windows. Settings keep "\" on every platform so that both programs share a folder; only what
// messages show changes.
std::string pathAsShown(const std::string& path);

// True when the last character of path is a separator ("\" or "/").
bool endsWithSeparator(const std::string& path);

// True when name ends in suffix, ASCII letters compared without case (as "*.eng" matches
// "A.ENG" on Windows).
bool endsWithIgnoringCase(const std::string& name, const std::string& suffix);

}  // namespace vexor
