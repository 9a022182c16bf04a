// The settings file on arbitrary content: a value written is read back as written, and writing
// one value changes no other value the file holds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/profile_file.h"

namespace {

// Names and values as the program writes them: no line break, no "=" or brackets in a name.
std::string cleaned(std::string text, bool name) {
    std::string kept;
    for (const char c : text)
        if (c != '\r' && c != '\n' && !(name && (c == '=' || c == '[' || c == ']' || c == ' ' || c == '\t' || c == '"' || c == '\'')))
            kept += c;
    return kept;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // Content, then after a NUL the section, the key and the value, separated by NULs.
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t a = input.find('\0');
    if (a == std::string::npos) return 0;
    const std::size_t b = input.find('\0', a + 1);
    const std::size_t c = b == std::string::npos ? std::string::npos : input.find('\0', b + 1);
    if (c == std::string::npos) return 0;
    const std::string content = input.substr(0, a);
    const std::string section = cleaned(input.substr(a + 1, b - a - 1), true);
    const std::string key = cleaned(input.substr(b + 1, c - b - 1), true);
    std::string value = cleaned(input.substr(c + 1), false);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.erase(0, 1);
    if (section.empty() || key.empty()) return 0;

    const std::string written = vexor::withProfileValue(content, section, key, value);
    const auto read = vexor::profileValue(written, section, key);
    if (!read || *read != value) __builtin_trap();
    // Another key of another section (names match without ASCII case) keeps what it had.
    std::string lowered = section;
    for (char& c : lowered) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    const std::string other = lowered == "engine" ? "SEARCH" : "ENGINE";
    if (vexor::profileValue(content, other, "last") != vexor::profileValue(written, other, "last"))
        __builtin_trap();
    return 0;
}
