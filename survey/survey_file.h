// The survey definition file: its first non-empty line is the target (the text a result address
// must contain), every further non-empty line a keyword, taken verbatim. Lines end in CR LF or LF.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexor {

struct SurveyDefinition {
    std::string target;
    std::vector<std::string> keywords;  // in file order, repeats kept
};

// The file at path, or nothing when it cannot be read or has fewer than two non-empty lines.
std::optional<SurveyDefinition> readSurveyFile(const std::string& path);

// The same from the file's content.
std::optional<SurveyDefinition> parseSurveyFile(std::string_view content);

// The name of the history folder of target: target percent-encoded as query text, the same on
// every platform, with what no folder of the workspace can be named so escaped too: "." and
// ".." (the workspace itself and its parent) become "%2E" and "%2E%2E"; "*" becomes "%2A"; a
// Windows device name (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, in any case, alone or before a
// dot) gets its first letter escaped; a final "." becomes "%2E". A name longer than a folder
// name may be (255 bytes) keeps its first 200 bytes, then "~" and 16 hexadecimal digits of a
// hash of the target, a form no escaped name has. Every other name is the escaped target.
std::string historyFolderName(const std::string& target);

}  // namespace vexor
