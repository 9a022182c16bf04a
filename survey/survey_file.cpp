// Reading a survey definition file, and the name of its history folder.
#include "survey/survey_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <unordered_map>
#include <utility>

#include "platform/bytes.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/text_lines.h"
#include "platform/utf8_scan.h"
#include "web/keyword_forms.h"

namespace vexor {

SurveyFileContent readSurveyFile(const std::string& path) {
    const auto content = readWholeFile(path);
    if (content) return parseSurveyFile(*content);
    SurveyFileContent failed;
    failed.failure = fileKind(path) == FileKind::Missing ? SurveyFileFailure::Missing
                                                          : SurveyFileFailure::Unreadable;
    return failed;
}

namespace {

bool startsWithUtf16Mark(std::string_view content) {
    return content.starts_with("\xFF\xFE") || content.starts_with("\xFE\xFF");
}

bool holdsNonAscii(std::string_view content) {
    return std::any_of(content.begin(), content.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Below 0x20 or 0x7F: no second byte of a double-byte character takes these values, so a byte
// scan finds them in code page 932 text too.
bool holdsControlByte(std::string_view line) {
    return std::any_of(line.begin(), line.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

// True for a code page 932 line of half-width (0x20) and full-width (0x81 0x40) spaces only.
bool spacesOnly(std::string_view line) {
    for (std::size_t i = 0; i < line.size();) {
        if (line[i] == ' ') {
            ++i;
        } else if (line.substr(i, 2) == "\x81\x40") {
            i += 2;
        } else {
            return false;
        }
    }
    return true;
}

std::string hexDigits(std::uint32_t value, int width) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%0*X", width, static_cast<unsigned>(value));
    return digits;
}

// Characters that editors outside Windows write for a code page 932 character whose Windows
// mapping is another code point (WAVE DASH for FULLWIDTH TILDE, ...). Converters differ on them:
// iconv takes both, the Windows converter only the second. Both programs read them alike as the
// code page 932 character.
std::string withWindowsForms(std::string line) {
    static constexpr std::pair<std::string_view, std::string_view> FORMS[] = {
        {"\xE3\x80\x9C", "\xEF\xBD\x9E"},  // U+301C -> U+FF5E
        {"\xE2\x80\x96", "\xE2\x88\xA5"},  // U+2016 -> U+2225
        {"\xE2\x88\x92", "\xEF\xBC\x8D"},  // U+2212 -> U+FF0D
        {"\xE2\x80\x94", "\xE2\x80\x95"},  // U+2014 -> U+2015
        {"\xC2\xA2", "\xEF\xBF\xA0"},      // U+00A2 -> U+FFE0
        {"\xC2\xA3", "\xEF\xBF\xA1"},      // U+00A3 -> U+FFE1
        {"\xC2\xAC", "\xEF\xBF\xA2"},      // U+00AC -> U+FFE2
    };
    for (const auto& [from, to] : FORMS)
        for (std::size_t at = line.find(from); at != std::string::npos; at = line.find(from, at + to.size()))
            line.replace(at, from.size(), to);
    return line;
}

// A UTF-8 line that has no code page 932 form, with what it lacks made visible.
std::string shownUtf8Line(std::string_view line) {
    std::string shown;
    for (std::size_t pos = 0; pos < line.size();) {
        const Utf8Char c = utf8CharAt(line, pos);
        if (c.length == 0) {
            shown += "<x" + hexDigits(static_cast<unsigned char>(line[pos]), 2) + ">";
            ++pos;
            continue;
        }
        const auto converted = utf8ToCp932(std::string(line.substr(pos, c.length)));
        shown += converted ? *converted : "<U+" + hexDigits(c.codePoint, 4) + ">";
        pos += c.length;
    }
    return shown;
}

}  // namespace

SurveyFileContent parseSurveyFile(std::string_view content) {
    SurveyFileContent read;
    if (startsWithUtf16Mark(content)) {
        read.failure = SurveyFileFailure::Utf16;
        return read;
    }
    read.utf8 = content.starts_with(UTF8_MARK);
    if (read.utf8)
        content.remove_prefix(UTF8_MARK.size());
    else
        read.utf8 = holdsNonAscii(content) && isUtf8(content);

    bool targetSeen = false;
    bool targetLeftOut = false;
    bool anyKeywordLine = false;
    std::unordered_map<std::string, int> keywordLines;  // keyword -> the line where it stands first
    int number = 0;
    for (const LineSpan& span : lineSpans(content)) {
        ++number;
        const std::string_view raw = content.substr(span.start, span.end - span.start);
        if (raw.empty()) continue;
        const auto note = [&](LineProblem problem, std::string text) {
            read.notices.push_back({number, problem, std::move(text)});
        };
        std::string line(raw);
        bool leftOut = false;
        if (read.utf8) {
            auto converted = utf8ToCp932(withWindowsForms(line));
            if (!converted) {
                note(LineProblem::NotInCp932, shownUtf8Line(raw));
                leftOut = true;
            }
            line = converted.value_or(std::string());
        }
        if (!leftOut && holdsControlByte(line)) {
            note(LineProblem::ControlCharacter, line);
            leftOut = true;
        }
        if (!leftOut && spacesOnly(line)) {
            note(LineProblem::SpacesOnly, line);
            continue;
        }
        if (!targetSeen) {
            targetSeen = true;
            targetLeftOut = leftOut;
            if (!leftOut) read.definition.target = std::move(line);
            continue;
        }
        anyKeywordLine = true;
        if (leftOut) continue;
        if (const auto [first, added] = keywordLines.try_emplace(line, number); !added)
            read.notices.push_back({number, LineProblem::Duplicate, line, first->second});
        read.definition.keywords.push_back(std::move(line));
    }

    if (!targetSeen)
        read.failure = SurveyFileFailure::Empty;
    else if (targetLeftOut)
        read.failure = SurveyFileFailure::TargetUnusable;
    else if (!anyKeywordLine)
        read.failure = SurveyFileFailure::TargetOnly;
    else if (read.definition.keywords.empty())
        read.failure = SurveyFileFailure::NothingToSurvey;
    return read;
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
