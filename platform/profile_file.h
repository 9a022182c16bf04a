// The settings store "vexor.ini": a reader and writer of the Windows profile file format that
// keeps values as code page 932 bytes on every platform and under every system code page.
#pragma once

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

}  // namespace vexor
