// The survey definition file: its first line with content is the target (the text a result
// address must contain), every further one a keyword, taken verbatim. Lines end in CR LF or LF.
// A file that starts with the UTF-8 byte-order mark, or whose bytes are all UTF-8 and hold
// characters beyond ASCII, is UTF-8 (what editors save today) and is read into code page 932, the
// encoding of every text the system keeps (a character that other systems write for a code
// page 932 character Windows maps to another code point, WAVE DASH for FULLWIDTH TILDE and the
// like, reads as that character); any other file is code page 932 and is taken byte for byte. The
// file is never written. Lines empty or of spaces only (half- or full-width) hold nothing. A line that cannot be
// surveyed as it stands (a control character, a character code page 932 lacks) is left out and
// named, so that it never reaches a history record.
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

// Why a line of the file is named when it opens.
enum class LineProblem {
    NotInCp932,        // left out: a character code page 932 cannot hold, or bytes of a UTF-8
                       // file that are not UTF-8
    ControlCharacter,  // left out: a tab or another control byte (below 0x20, or 0x7F)
    SpacesOnly,        // no keyword: only half- and full-width spaces
    Duplicate,         // kept: the same keyword as a line before it
};

struct LineNotice {
    int line = 0;  // counted from 1, every physical line
    LineProblem problem = LineProblem::Duplicate;
    // The line in code page 932, control bytes as they are. Of a NotInCp932 line, each character
    // code page 932 lacks stands as "<U+XXXX>" and each byte that is not UTF-8 as "<xHH>".
    std::string text;
    int firstLine = 0;  // of a Duplicate: the line where the keyword stands first

    friend bool operator==(const LineNotice&, const LineNotice&) = default;
};

// Why a file gives no survey.
enum class SurveyFileFailure {
    Missing,          // nothing at the path
    Unreadable,       // a folder, or a file that cannot be read
    Empty,            // no line with content
    TargetOnly,       // the target and no keyword line
    Utf16,            // a UTF-16 byte-order mark: a form the reader does not take
    TargetUnusable,   // the target's line was left out (its notice says why)
    NothingToSurvey,  // keyword lines, but every one left out
};

struct SurveyFileContent {
    std::optional<SurveyFileFailure> failure;  // nothing: definition holds the survey
    SurveyDefinition definition;
    bool utf8 = false;                // read as UTF-8
    std::vector<LineNotice> notices;  // in line order, also for a failed file
};

// The file at path.
SurveyFileContent readSurveyFile(const std::string& path);

// The same from the file's content.
SurveyFileContent parseSurveyFile(std::string_view content);

// The name of the history folder of target: target percent-encoded as query text, the same on
// every platform, with what no folder of the workspace can be named so escaped too: "." and
// ".." (the workspace itself and its parent) become "%2E" and "%2E%2E"; "*" becomes "%2A"; a
// Windows device name (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, in any case, alone or before a
// dot) gets its first letter escaped; a final "." becomes "%2E". A name longer than a folder
// name may be (255 bytes) keeps its first 200 bytes, then "~" and 16 hexadecimal digits of a
// hash of the target, a form no escaped name has. Every other name is the escaped target.
std::string historyFolderName(const std::string& target);

}  // namespace vexor
