// The settings store "vexor.ini": a reader and writer of the Windows profile file format that
// keeps values as code page 932 bytes on every platform and under every system code page.
#pragma once

#include <optional>
#include <string>

namespace vexor {

// Reads an integer as the profile integer reader does: optional minus sign and decimal digits;
// anything else, or a missing key, gives fallback when missing and 0 when not a number.
int readProfileInt(const std::string& file, const std::string& section, const std::string& key,
                   int fallback);

// Reads a string value, at most 259 bytes of it; fallback when the key is missing.
std::string readProfileString(const std::string& file, const std::string& section,
                              const std::string& key, const std::string& fallback);

// Writes one value, creating the file and the section when missing. Failures are silent.
void writeProfileString(const std::string& file, const std::string& section,
                        const std::string& key, const std::string& value);

// The same on a file's content: the value of key in section as written (blanks around it taken
// off, quotes kept), and the content with that value set.
std::optional<std::string> profileValue(const std::string& content, const std::string& section,
                                        const std::string& key);
std::string withProfileValue(std::string content, const std::string& section,
                             const std::string& key, const std::string& value);

}  // namespace vexor
