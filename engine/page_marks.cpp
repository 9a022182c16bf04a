// Learning the marks of an engine's results pages from the sample pages, and finding them.
#include "engine/page_marks.h"

#include <algorithm>
#include <array>
#include <unordered_map>
#include <unordered_set>

#include "engine/link_address.h"
#include "platform/bytes.h"
#include "web/euc_jp.h"
#include "web/keyword_forms.h"

namespace vexor {
namespace {

// Tags every page has, or that carry addresses and sizes that change from one answer to the
// next; a block page of the same host has them as well.
constexpr std::array BOILERPLATE = {"html", "head", "body", "meta", "link", "title", "script", "style", "noscript",
                                    "img", "iframe", "svg", "path", "source", "picture", "base"};
// Words of the markup around results, in the attributes of a tag or its name.
constexpr std::array STRUCTURE_WORDS = {"<form", "<input", "<nav", "search", "result", "serp", "nav", "pag", "next"};
// A run of this many digits is a count, an identifier or a time, which pages do not share.
constexpr std::size_t DIGIT_RUN = 3;
// Words of a keyword shorter than this count only standing alone, not inside other words.
constexpr std::size_t SHORT_WORD = 3;

struct TagFacts {
    std::size_t position = 0;  // of the first occurrence
    std::size_t count = 0;
};

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool isBoilerplate(std::string_view name) {
    const std::string lowered = lowerAscii(name);
    return std::find(BOILERPLATE.begin(), BOILERPLATE.end(), lowered) != BOILERPLATE.end();
}

// The opening tags with attributes of page, at most LONGEST_PAGE_MARK bytes each, with where each
// first stands and how often.
std::unordered_map<std::string_view, TagFacts> tagsOf(std::string_view page) {
    std::unordered_map<std::string_view, TagFacts> tags;
    for (std::size_t at = page.find('<'); at != std::string_view::npos; at = page.find('<', at + 1)) {
        std::size_t nameEnd = at + 1;
        while (nameEnd < page.size() && (isLetter(page[nameEnd]) || isDigit(page[nameEnd]))) ++nameEnd;
        if (nameEnd == at + 1 || !isLetter(page[at + 1]) || nameEnd >= page.size() || !isSpace(page[nameEnd]))
            continue;
        if (isBoilerplate(page.substr(at + 1, nameEnd - at - 1))) continue;
        const std::size_t close = page.substr(at, LONGEST_PAGE_MARK).find('>');
        if (close == std::string_view::npos) continue;
        const std::string_view tag = page.substr(at, close + 1);
        if (tag.find('<', 1) != std::string_view::npos) continue;
        TagFacts& facts = tags[tag];
        if (facts.count++ == 0) facts.position = at;
    }
    return tags;
}

bool hasDigitRun(std::string_view text) {
    std::size_t run = 0;
    for (const char c : text) {
        run = isDigit(c) ? run + 1 : 0;
        if (run >= DIGIT_RUN) return true;
    }
    return false;
}

bool isWordByte(char c) { return isLetter(c) || isDigit(c) || static_cast<unsigned char>(c) >= 0x80; }

// Whether word stands in text: anywhere for a long word, alone for a short one.
bool holdsWord(std::string_view text, std::string_view word) {
    for (std::size_t at = text.find(word); at != std::string_view::npos; at = text.find(word, at + 1)) {
        if (word.size() >= SHORT_WORD) return true;
        const bool alone = (at == 0 || !isWordByte(text[at - 1])) &&
                           (at + word.size() == text.size() || !isWordByte(text[at + word.size()]));
        if (alone) return true;
    }
    return false;
}

// The keyword's words (split at spaces, which a query writes as "+"), in each character set a
// page may be in, lower-cased.
std::vector<std::string> keywordWords(const std::string& keyword) {
    std::vector<std::string> words;
    for (const std::string& form : {keyword, toEucJp(keyword), toUtf8(keyword)}) {
        std::size_t from = 0;
        while (from <= form.size()) {
            std::size_t space = form.find(' ', from);
            if (space == std::string::npos) space = form.size();
            if (space > from) words.push_back(lowerAscii(std::string_view(form).substr(from, space - from)));
            from = space + 1;
        }
    }
    return words;
}

bool holdsKeyword(std::string_view tag, const std::vector<std::string>& words) {
    const std::string lowered = lowerAscii(tag);
    const std::string decoded = lowerAscii(decodePercentEscapes(decodeCharacterReferences(tag)));
    for (const std::string& word : words)
        if (holdsWord(lowered, word) || holdsWord(decoded, word)) return true;
    return false;
}

bool namesStructure(std::string_view tag) {
    const std::string lowered = lowerAscii(tag);
    return std::any_of(STRUCTURE_WORDS.begin(), STRUCTURE_WORDS.end(),
                       [&](const char* word) { return lowered.find(word) != std::string::npos; });
}

// Higher first: once and structural, once, repeated and structural, repeated.
int preference(std::string_view tag, const TagFacts& facts) {
    return (facts.count == 1 ? 2 : 0) + (namesStructure(tag) ? 1 : 0);
}

}  // namespace

std::vector<std::string> learnPageMarks(const std::vector<std::string_view>& pages, const std::string& keyword) {
    if (pages.empty()) return {};
    const auto first = tagsOf(pages[0]);
    std::vector<std::unordered_set<std::string_view>> others;
    for (std::size_t i = 1; i < pages.size(); ++i) {
        std::unordered_set<std::string_view> tags;
        for (const auto& [tag, facts] : tagsOf(pages[i])) tags.insert(tag);
        others.push_back(std::move(tags));
    }
    const std::vector<std::string> words = keywordWords(keyword);
    struct Candidate {
        std::string_view tag;
        int preference;
        std::size_t position;
    };
    std::vector<Candidate> candidates;
    for (const auto& [tag, facts] : first) {
        const bool everywhere = std::all_of(others.begin(), others.end(),
                                            [&](const auto& tags) { return tags.count(tag) > 0; });
        if (!everywhere || hasDigitRun(tag) || holdsKeyword(tag, words)) continue;
        candidates.push_back({tag, preference(tag, facts), facts.position});
    }
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        return a.preference != b.preference ? a.preference > b.preference : a.position < b.position;
    });
    std::vector<std::string> marks;
    for (std::size_t i = 0; i < candidates.size() && i < MOST_PAGE_MARKS; ++i)
        marks.emplace_back(candidates[i].tag);
    return marks;
}

bool carriesMostMarks(std::string_view page, const std::vector<std::string>& marks) {
    const auto found = std::count_if(marks.begin(), marks.end(),
                                     [&](const std::string& mark) { return page.find(mark) != std::string_view::npos; });
    return static_cast<std::size_t>(found) * 2 > marks.size();
}

}  // namespace vexor
