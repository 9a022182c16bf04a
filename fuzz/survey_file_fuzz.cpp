// The survey file reader on arbitrary bytes. A code page 932 file: the target and the keywords
// are exactly its lines with content (neither empty nor spaces only) that hold no control byte,
// in order, and a file without both is refused. Every file: nothing surveyed holds a control
// byte, and every notice names a line of the file, in order.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "survey/survey_file.h"

namespace {

bool holdsControl(const std::string& line) {
    for (const char c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    return false;
}

bool spacesOnly(const std::string& line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == ' ') continue;
        if (line.compare(i, 2, "\x81\x40") == 0) {
            ++i;
            continue;
        }
        return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> usable;
    bool controlLine = false;
    int lines = 0;
    std::string line;
    for (std::size_t i = 0; i <= content.size(); ++i) {
        if (i == content.size() || content[i] == '\n') {
            if (i < content.size() || !line.empty()) ++lines;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (holdsControl(line))
                controlLine = true;
            else if (!line.empty() && !spacesOnly(line))
                usable.push_back(line);
            line.clear();
        } else {
            line += content[i];
        }
    }
    const vexor::SurveyFileContent survey = vexor::parseSurveyFile(content);
    int previous = 0;
    for (const auto& notice : survey.notices) {
        if (notice.line < previous || notice.line < 1 || notice.line > lines) __builtin_trap();
        previous = notice.line;
    }
    if (survey.failure) return 0;
    if (holdsControl(survey.definition.target)) __builtin_trap();
    for (const auto& keyword : survey.definition.keywords)
        if (holdsControl(keyword) || keyword.empty() || spacesOnly(keyword)) __builtin_trap();
    if (!survey.utf8 && !controlLine) {
        if (usable.size() < 2 || survey.definition.target != usable.front()) __builtin_trap();
        if (survey.definition.keywords != std::vector<std::string>(usable.begin() + 1, usable.end()))
            __builtin_trap();
    }
    // Every target gets a folder name of its own that a folder can take.
    const std::string folder = vexor::historyFolderName(survey.definition.target);
    if (folder.empty() || folder.size() > 255 || folder.back() == '.') __builtin_trap();
    for (const char c : folder)
        if (c == '\\' || c == '/' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
            c == '>' || c == '|' || static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x80)
            __builtin_trap();
    return 0;
}
