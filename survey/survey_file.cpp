// Reading a survey definition file, and the name of its history folder.
#include "survey/survey_file.h"

#include "platform/files.h"
#include "platform/text_lines.h"
#include "web/keyword_forms.h"

namespace vexor {

std::optional<SurveyDefinition> readSurveyFile(const std::string& path) {
    const auto content = readWholeFile(path);
    if (!content) return std::nullopt;
    std::vector<std::string> lines;
    for (auto& line : splitLines(*content))
        if (!line.empty()) lines.push_back(std::move(line));
    if (lines.size() < 2) return std::nullopt;
    SurveyDefinition definition;
    definition.target = std::move(lines.front());
    definition.keywords.assign(std::make_move_iterator(lines.begin() + 1),
                               std::make_move_iterator(lines.end()));
    return definition;
}

std::string historyFolderName(const std::string& target) {
    // Escaped as query text every name is a plain folder name of the working directory except
    // these two, which would name the working directory itself and its parent.
    if (target == ".") return "%2E";
    if (target == "..") return "%2E%2E";
    return percentEncode(target);
}

}  // namespace vexor
