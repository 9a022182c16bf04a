// Reading a survey definition file, and the name of its history folder.
#include "survey/survey_file.h"

#include <cstdint>
#include <cstdio>

#include "platform/bytes.h"
#include "platform/files.h"
#include "platform/text_lines.h"
#include "web/keyword_forms.h"

namespace vexor {

std::optional<SurveyDefinition> readSurveyFile(const std::string& path) {
    const auto content = readWholeFile(path);
    if (!content) return std::nullopt;
    return parseSurveyFile(*content);
}

std::optional<SurveyDefinition> parseSurveyFile(std::string_view content) {
    std::vector<std::string> lines;
    for (auto& line : splitLines(content))
        if (!line.empty()) lines.push_back(std::move(line));
    if (lines.size() < 2) return std::nullopt;
    SurveyDefinition definition;
    definition.target = std::move(lines.front());
    definition.keywords.assign(std::make_move_iterator(lines.begin() + 1),
                               std::make_move_iterator(lines.end()));
    return definition;
}

namespace {

constexpr std::size_t LONGEST_FOLDER_NAME = 255;
constexpr std::size_t KEPT_OF_A_LONG_NAME = 200;

// Names Windows gives to devices, whatever follows them after a dot.
bool isDeviceName(const std::string& name) {
    const std::string stem = lowerAscii(std::string_view(name).substr(0, name.find('.')));
    if (stem == "con" || stem == "prn" || stem == "aux" || stem == "nul") return true;
    return stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) &&
           stem[3] >= '1' && stem[3] <= '9';
}

// FNV-1a, 64 bits: the same value on every platform and compiler.
uint64_t stableHash(const std::string& bytes) {
    uint64_t hash = 14695981039346656037ULL;
    for (const unsigned char c : bytes) {
        hash ^= c;
        hash *= 1099511628211ULL;
    }
    return hash;
}

// name cut to about KEPT_OF_A_LONG_NAME bytes, never inside a "%XX" escape, then "~" and the
// target's hash.
std::string shortened(const std::string& name, const std::string& target) {
    std::size_t cut = KEPT_OF_A_LONG_NAME;
    const std::size_t percent = name.rfind('%', cut - 1);
    if (percent != std::string::npos && percent + 3 > cut) cut = percent;
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llX", static_cast<unsigned long long>(stableHash(target)));
    return name.substr(0, cut) + "~" + hash;
}

}  // namespace

std::string historyFolderName(const std::string& target) {
    // Escaped as query text every name is a plain folder name but for these two, which would
    // name the workspace itself and its parent.
    if (target == ".") return "%2E";
    if (target == "..") return "%2E%2E";
    std::string name;
    for (const char c : percentEncode(target)) name += c == '*' ? std::string("%2A") : std::string(1, c);
    if (isDeviceName(name)) {
        std::string escaped;
        appendHexEscape(escaped, static_cast<unsigned char>(name[0]));
        name.replace(0, 1, escaped);
    }
    if (!name.empty() && name.back() == '.') name.replace(name.size() - 1, 1, "%2E");
    if (name.size() > LONGEST_FOLDER_NAME) return shortened(name, target);
    return name;
}

}  // namespace vexor
