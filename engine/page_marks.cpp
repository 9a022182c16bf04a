// Learning the marks of an engine's results pages from the sample pages, and finding them.
#include "engine/page_marks.h"

#include <algorithm>
#include <array>
#include <string_view>
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
constexpr std::array<std::string_view, 16> BOILERPLATE = {
    "html", "head", "body", "meta", "link", "title", "script", "style", "noscript",
    "img", "iframe", "svg", "path", "source", "picture", "base"};
// The attributes that name the parts of a page; others hold addresses, sizes and states.
constexpr std::array<std::string_view, 5> NAMING_ATTRIBUTES = {"id", "class", "action", "name", "role"};
// Tags whose attributes are the search form and the navigation.
constexpr std::array<std::string_view, 3> STRUCTURE_TAGS = {"form", "input", "nav"};
// Words of the markup around results, in an attribute.
constexpr std::array<std::string_view, 6> STRUCTURE_WORDS = {"search", "result", "serp", "nav", "pag", "next"};
// A tag is read up to this many bytes for its attributes.
constexpr std::size_t LONGEST_TAG = 2048;
// A value this short ("r", "") names nothing an engine keeps.
constexpr std::size_t SHORTEST_VALUE = 2;
// A run of this many digits is a count, an identifier or a time, which pages do not share.
constexpr std::size_t DIGIT_RUN = 3;
// A run of this many letters, digits, "_" and "-" that mixes digits and letters is a token made
// for one answer.
constexpr std::size_t TOKEN_RUN = 8;
// Words of a keyword shorter than this count only standing alone, not inside other words.
constexpr std::size_t SHORT_WORD = 3;

struct MarkFacts {
    std::size_t position = 0;  // of its first occurrence
    std::size_t count = 0;
    bool structure = false;
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A name of at most eight bytes in lower case, packed into a number (0 for a longer one): tags and
// attributes are told by one comparison per name they are compared with.
constexpr uint64_t packedName(std::string_view name) {
    if (name.size() > 8) return 0;
    uint64_t packed = 0;
    for (const char c : name) packed = packed << 8 | static_cast<unsigned char>(lowerAscii(c));
    return packed;
}

template <std::size_t N>
constexpr std::array<uint64_t, N> packedNames(const std::array<std::string_view, N>& names) {
    std::array<uint64_t, N> packed{};
    for (std::size_t i = 0; i < N; ++i) packed[i] = packedName(names[i]);
    return packed;
}

constexpr auto BOILERPLATE_NAMES = packedNames(BOILERPLATE);
constexpr auto NAMING_NAMES = packedNames(NAMING_ATTRIBUTES);
constexpr auto STRUCTURE_NAMES = packedNames(STRUCTURE_TAGS);

template <std::size_t N>
bool isOneOf(uint64_t name, const std::array<uint64_t, N>& names) {
    return name != 0 && std::find(names.begin(), names.end(), name) != names.end();
}

bool namesStructure(uint64_t tagName, std::string_view attribute) {
    const std::string lowered = lowerAscii(attribute);
    return isOneOf(tagName, STRUCTURE_NAMES) ||
           std::any_of(STRUCTURE_WORDS.begin(), STRUCTURE_WORDS.end(),
                       [&](std::string_view word) { return lowered.find(word) != std::string::npos; });
}

// Calls take(name, attribute) for every quoted attribute of tag (the bytes after the tag's
// name): attribute runs from its name to its closing quote.
template <typename Take>
void eachAttribute(std::string_view tag, Take take) {
    std::size_t i = 0;
    while (i < tag.size()) {
        if (!isAsciiSpace(tag[i])) {
            ++i;
            continue;
        }
        const std::size_t nameStart = ++i;
        while (i < tag.size() && (isAsciiLetter(tag[i]) || tag[i] == '-')) ++i;
        if (i == nameStart || i + 1 >= tag.size() || tag[i] != '=' || (tag[i + 1] != '"' && tag[i + 1] != '\''))
            continue;
        const std::size_t close = tag.find(tag[i + 1], i + 2);
        if (close == std::string_view::npos) return;
        take(tag.substr(nameStart, i - nameStart), tag.substr(nameStart, close + 1 - nameStart));
        i = close + 1;
    }
}

// The naming attributes of page's opening tags, as written (name="value"), with where each first
// stands, how often, and whether it names structure.
std::unordered_map<std::string_view, MarkFacts> attributesOf(std::string_view page) {
    std::unordered_map<std::string_view, MarkFacts> found;
    for (std::size_t at = page.find('<'); at != std::string_view::npos; at = page.find('<', at + 1)) {
        std::size_t nameEnd = at + 1;
        while (nameEnd < page.size() && (isAsciiLetter(page[nameEnd]) || isDigit(page[nameEnd]))) ++nameEnd;
        if (nameEnd == at + 1 || !isAsciiLetter(page[at + 1]) || nameEnd >= page.size() || !isAsciiSpace(page[nameEnd]))
            continue;
        const uint64_t tagName = packedName(page.substr(at + 1, nameEnd - at - 1));
        if (isOneOf(tagName, BOILERPLATE_NAMES)) continue;
        const std::string_view rest = page.substr(nameEnd, LONGEST_TAG);
        // The tag ends at a ">", or where another one begins.
        std::string_view tag = rest.substr(0, std::min(rest.find('>'), rest.size()));
        tag = tag.substr(0, std::min(tag.find('<'), tag.size()));
        eachAttribute(tag, [&](std::string_view name, std::string_view attribute) {
            const std::size_t valueLength = attribute.size() - name.size() - 3;
            if (!isOneOf(packedName(name), NAMING_NAMES) || valueLength < SHORTEST_VALUE ||
                attribute.size() > LONGEST_PAGE_MARK)
                return;
            MarkFacts& facts = found[attribute];
            if (facts.count++ == 0)
                facts = {static_cast<std::size_t>(attribute.data() - page.data()), 1, namesStructure(tagName, attribute)};
        });
    }
    return found;
}

bool hasToken(std::string_view text) {
    std::size_t run = 0;
    bool digit = false;
    bool letter = false;
    for (const char c : text) {
        if (!isAsciiLetter(c) && !isDigit(c) && c != '_' && c != '-') {
            run = 0;
            digit = letter = false;
            continue;
        }
        ++run;
        digit = digit || isDigit(c);
        letter = letter || isAsciiLetter(c);
        if (run >= TOKEN_RUN && digit && letter) return true;
    }
    return false;
}

bool hasDigitRun(std::string_view text) {
    std::size_t run = 0;
    for (const char c : text) {
        run = isDigit(c) ? run + 1 : 0;
        if (run >= DIGIT_RUN) return true;
    }
    return false;
}

bool isWordByte(char c) { return isAsciiLetter(c) || isDigit(c) || static_cast<unsigned char>(c) >= 0x80; }

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

bool holdsKeyword(std::string_view mark, const std::vector<std::string>& words) {
    const std::string lowered = lowerAscii(mark);
    const std::string decoded = lowerAscii(decodePercentEscapes(decodeCharacterReferences(mark)));
    for (const std::string& word : words)
        if (holdsWord(lowered, word) || holdsWord(decoded, word)) return true;
    return false;
}

// Higher first: once and structural, once, repeated and structural, repeated.
int preference(const MarkFacts& facts) { return (facts.count == 1 ? 2 : 0) + (facts.structure ? 1 : 0); }

}  // namespace

std::vector<std::string> learnPageMarks(const std::vector<std::string_view>& pages, const std::string& keyword) {
    if (pages.empty()) return {};
    const auto first = attributesOf(pages[0]);
    std::vector<std::unordered_set<std::string_view>> others;
    for (std::size_t i = 1; i < pages.size(); ++i) {
        std::unordered_set<std::string_view> attributes;
        for (const auto& [attribute, facts] : attributesOf(pages[i])) attributes.insert(attribute);
        others.push_back(std::move(attributes));
    }
    const std::vector<std::string> words = keywordWords(keyword);
    struct Candidate {
        std::string_view mark;
        int preference;
        std::size_t position;
    };
    std::vector<Candidate> candidates;
    for (const auto& entry : first) {
        const auto& [mark, facts] = entry;
        const bool everywhere = std::all_of(others.begin(), others.end(),
                                            [&](const auto& marks) { return marks.count(entry.first) > 0; });
        if (!everywhere || hasDigitRun(mark) || hasToken(mark) || holdsKeyword(mark, words)) continue;
        candidates.push_back({mark, preference(facts), facts.position});
    }
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        return a.preference != b.preference ? a.preference > b.preference : a.position < b.position;
    });
    std::vector<std::string> marks;
    for (std::size_t i = 0; i < candidates.size() && i < MOST_PAGE_MARKS; ++i)
        marks.emplace_back(candidates[i].mark);
    return marks;
}

bool carriesMostMarks(std::string_view page, const std::vector<std::string>& marks) {
    const auto found = std::count_if(marks.begin(), marks.end(),
                                     [&](const std::string& mark) { return page.find(mark) != std::string_view::npos; });
    return !marks.empty() && static_cast<std::size_t>(found) * 2 >= marks.size();
}

}  // namespace vexor
