// Survey file outcomes in words.
#include "app/survey_file_messages.h"

#include <map>

#include "app/text_format.h"
#include "app/texts.h"
#include "platform/path_text.h"

namespace vexor {
namespace {

// Lines named per group: a file of thousands of bad lines still gives a box that fits a screen.
constexpr std::size_t LINES_NAMED = 10;

const char* reasonOf(SurveyFileFailure failure) {
    switch (failure) {
        case SurveyFileFailure::Missing: return texts::MSG_SURVEY_MISSING;
        case SurveyFileFailure::Unreadable: return texts::MSG_SURVEY_UNREADABLE;
        case SurveyFileFailure::Empty: return texts::MSG_SURVEY_EMPTY;
        case SurveyFileFailure::TargetOnly: return texts::MSG_SURVEY_TARGET_ONLY;
        case SurveyFileFailure::Utf16: return texts::MSG_SURVEY_UTF16;
        case SurveyFileFailure::TargetUnusable: return texts::MSG_SURVEY_TARGET_UNUSABLE;
        case SurveyFileFailure::NothingToSurvey: return texts::MSG_SURVEY_NOTHING_TO_SURVEY;
    }
    return texts::MSG_SURVEY_UNREADABLE;
}

std::string entry(const std::string& numbers, const std::string& text) {
    // The text goes in last, so that a "%" in it is never taken for a placeholder.
    return formatWithText(formatWithText(texts::FMT_LINES_ENTRY, numbers).c_str(), withVisibleControls(text));
}

std::string moreLines(std::size_t left) {
    return left == 0 ? std::string() : "\n" + formatWithNumber(texts::FMT_MORE_LINES, static_cast<long long>(left));
}

// Each line of the group with its text.
std::string eachLine(const char* heading, const std::vector<const LineNotice*>& group) {
    std::string text = heading;
    for (std::size_t i = 0; i < group.size() && i < LINES_NAMED; ++i)
        text += "\n" + entry(std::to_string(group[i]->line), group[i]->text);
    return text + moreLines(group.size() > LINES_NAMED ? group.size() - LINES_NAMED : 0);
}

// Only the numbers of the group's lines: they hold nothing to show.
std::string numbersOnly(const char* heading, const std::vector<const LineNotice*>& group) {
    std::string numbers;
    for (std::size_t i = 0; i < group.size() && i < LINES_NAMED; ++i)
        numbers += (i == 0 ? "" : ", ") + std::to_string(group[i]->line);
    return std::string(heading) + "\n" + formatWithText(texts::FMT_LINES_NUMBERS, numbers) +
           moreLines(group.size() > LINES_NAMED ? group.size() - LINES_NAMED : 0);
}

// Each repeated keyword once, with every line it stands on (the first one included).
std::string repeatedKeywords(const std::vector<const LineNotice*>& group) {
    struct Repeated {
        std::string keyword;
        std::string numbers;
        std::size_t lines = 1;
    };
    std::vector<Repeated> keywords;
    std::map<std::string, std::size_t> index;
    for (const LineNotice* notice : group) {
        const auto [at, added] = index.try_emplace(notice->text, keywords.size());
        if (added) keywords.push_back({notice->text, std::to_string(notice->firstLine)});
        Repeated& repeated = keywords[at->second];
        repeated.numbers += ", " + std::to_string(notice->line);
        ++repeated.lines;
    }
    std::string text = texts::TEXT_LINES_DUPLICATE;
    std::size_t left = 0;
    for (std::size_t i = 0; i < keywords.size(); ++i) {
        if (i < LINES_NAMED)
            text += "\n" + entry(keywords[i].numbers, keywords[i].keyword);
        else
            left += keywords[i].lines;
    }
    return text + moreLines(left);
}

std::string groups(const std::vector<LineNotice>& notices) {
    std::map<LineProblem, std::vector<const LineNotice*>> byProblem;
    for (const LineNotice& notice : notices) byProblem[notice.problem].push_back(&notice);
    std::string text;
    const auto add = [&text](const std::string& group) { text += (text.empty() ? "" : "\n") + group; };
    for (const auto& [problem, group] : byProblem) {
        switch (problem) {
            case LineProblem::NotInCp932: add(eachLine(texts::TEXT_LINES_NOT_CP932, group)); break;
            case LineProblem::ControlCharacter: add(eachLine(texts::TEXT_LINES_CONTROL, group)); break;
            case LineProblem::SpacesOnly: add(numbersOnly(texts::TEXT_LINES_SPACES, group)); break;
            case LineProblem::Duplicate: add(repeatedKeywords(group)); break;
        }
    }
    return text;
}

}  // namespace

std::string withVisibleControls(const std::string& text) {
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\t') {
            shown += texts::TEXT_TAB_MARK;
        } else if (byte < 0x20 || byte == 0x7F) {
            static constexpr char HEX[] = "0123456789ABCDEF";
            shown += std::string("<x") + HEX[byte >> 4] + HEX[byte & 0x0F] + ">";
        } else {
            shown += c;
        }
    }
    return shown;
}

std::string surveyReadFailed(const std::string& path, SurveyFileFailure failure,
                             const std::vector<LineNotice>& notices) {
    std::string text = "\"" + pathAsShown(path) + "\"" + texts::MSG_SURVEY_READ_FAILED_TAIL + "\n" + reasonOf(failure);
    // Only the lines left out: spaces-only lines and repeats take no part in a failure.
    std::vector<LineNotice> leftOut;
    for (const LineNotice& notice : notices)
        if (notice.problem == LineProblem::NotInCp932 || notice.problem == LineProblem::ControlCharacter)
            leftOut.push_back(notice);
    const std::string named = groups(leftOut);
    return named.empty() ? text : text + "\n" + named;
}

std::string surveyLinesNotice(const std::string& path, const std::vector<LineNotice>& notices) {
    if (notices.empty()) return "";
    return formatWithText(texts::FMT_SURVEY_LINES_HEAD, pathAsShown(path)) + "\n" + groups(notices);
}

}  // namespace vexor
