// The survey definition file: its first non-empty line is the target (the text a result address
// must contain), every further non-empty line a keyword, taken verbatim. Lines end in CR LF or LF.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vexor {

struct SurveyDefinition {
    std::string target;
    std::vector<std::string> keywords;  // in file order, repeats kept
};

// The file at path, or nothing when it cannot be read or has fewer than two non-empty lines.
std::optional<SurveyDefinition> readSurveyFile(const std::string& path);

// The name of the history folder of target: target percent-encoded as query text, except that
// "." and ".." (which would name the working directory and its parent) become "%2E" and
// "%2E%2E".
std::string historyFolderName(const std::string& target);

}  // namespace vexor
