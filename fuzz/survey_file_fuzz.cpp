// The survey file reader on arbitrary bytes: the target and the keywords are exactly the
// non-empty lines, in order, none holding a line feed, and a file of fewer than two is refused.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "survey/survey_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> nonEmpty;
    std::string line;
    for (std::size_t i = 0; i <= content.size(); ++i) {
        if (i == content.size() || content[i] == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty()) nonEmpty.push_back(line);
            line.clear();
        } else {
            line += content[i];
        }
    }
    const auto survey = vexor::parseSurveyFile(content);
    if (nonEmpty.size() < 2) {
        if (survey) __builtin_trap();
        return 0;
    }
    if (!survey || survey->target != nonEmpty.front()) __builtin_trap();
    if (survey->keywords != std::vector<std::string>(nonEmpty.begin() + 1, nonEmpty.end()))
        __builtin_trap();
    // Every target gets a folder name of its own that a folder can take.
    const std::string folder = vexor::historyFolderName(survey->target);
    if (folder.empty() || folder.size() > 255 || folder.back() == '.') __builtin_trap();
    for (const char c : folder)
        if (c == '\\' || c == '/' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
            c == '>' || c == '|' || static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x80)
            __builtin_trap();
    return 0;
}
