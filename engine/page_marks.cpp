// Learning the marks of an engine's results pages from the sample pages, and finding them.
#include "engine/page_marks.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "engine/link_address.h"
#include "platform/bytes.h"
#include "platform/text_numbers.h"
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

// How the bytes of a tag read: most stand inside it, white space may begin an attribute, and
// "<" or ">" end it.
enum class TagByte : uint8_t { Inside, Space, End };
constexpr std::array<TagByte, 256> TAG_BYTES = [] {
    std::array<TagByte, 256> bytes{};
    for (const char c : std::string_view(" \t\n\r\f")) bytes[static_cast<unsigned char>(c)] = TagByte::Space;
    bytes['<'] = bytes['>'] = TagByte::End;
    return bytes;
}();
TagByte tagByte(char c) { return TAG_BYTES[static_cast<unsigned char>(c)]; }

bool isNameByte(char c) { return isAsciiLetter(c) || isDigit(c); }

// Calls take(tagName, attribute) for every naming attribute of page's opening tags outside
// boilerplate, as written (class="results"), tagName packed. A tag is read up to its ">", up to
// a "<" that begins another, and for at most LONGEST_TAG bytes; an attribute runs from its name
// to its closing quote, which stands in the tag.
template <typename Take>
void eachNamingAttribute(std::string_view page, Take take) {
    const char* const bytes = page.data();
    const std::size_t size = page.size();
    forEachTagOpening(page, [&](std::size_t at) {
        std::size_t i = at + 1;
        while (i < size && isNameByte(bytes[i])) ++i;
        if (i >= size || tagByte(bytes[i]) != TagByte::Space) return;
        const uint64_t tagName = packedName(page.substr(at + 1, i - at - 1));
        if (isOneOf(tagName, BOILERPLATE_NAMES)) return;
        const std::size_t limit = std::min(size, i + LONGEST_TAG);
        while (i < limit) {
            const TagByte kind = tagByte(bytes[i]);
            if (kind == TagByte::End) break;
            if (kind == TagByte::Inside) {
                ++i;
                continue;
            }
            const std::size_t nameStart = ++i;
            while (i < limit && (isAsciiLetter(bytes[i]) || bytes[i] == '-')) ++i;
            if (i == nameStart || i + 1 >= limit || bytes[i] != '=' || (bytes[i + 1] != '"' && bytes[i + 1] != '\''))
                continue;
            // Values are often long addresses: their bytes are searched, not stepped through.
            const char* const value = bytes + i + 2;
            const auto* const quote = static_cast<const char*>(std::memchr(value, bytes[i + 1], limit - (i + 2)));
            if (quote == nullptr) break;
            const auto valueSize = static_cast<std::size_t>(quote - value);
            if (std::memchr(value, '>', valueSize) != nullptr || std::memchr(value, '<', valueSize) != nullptr) break;
            const std::size_t close = i + 2 + valueSize;
            const std::string_view name = page.substr(nameStart, i - nameStart);
            const std::string_view attribute = page.substr(nameStart, close + 1 - nameStart);
            if (isOneOf(packedName(name), NAMING_NAMES) && attribute.size() - name.size() - 3 >= SHORTEST_VALUE &&
                attribute.size() <= LONGEST_PAGE_MARK)
                take(tagName, attribute);
            i = close + 1;
        }
    });
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
    TextNumbers attributes;  // of the first page, views into it
    std::vector<MarkFacts> facts;
    eachNamingAttribute(pages[0], [&](uint64_t tagName, std::string_view attribute) {
        const auto [number, added] = attributes.number(attribute);
        if (added)
            facts.push_back({static_cast<std::size_t>(attribute.data() - pages[0].data()), 0,
                             namesStructure(tagName, attribute)});
        ++facts[static_cast<std::size_t>(number)].count;
    });
    // Of the pages after the first, how many in a row from the second hold each attribute.
    std::vector<std::size_t> heldBy(facts.size(), 0);
    for (std::size_t page = 1; page < pages.size(); ++page)
        eachNamingAttribute(pages[page], [&](uint64_t, std::string_view attribute) {
            const int32_t number = attributes.find(attribute);
            if (number >= 0 && heldBy[static_cast<std::size_t>(number)] == page - 1)
                heldBy[static_cast<std::size_t>(number)] = page;
        });
    const std::vector<std::string> words = keywordWords(keyword);
    struct Candidate {
        std::string_view mark;
        int preference;
        std::size_t position;
    };
    std::vector<Candidate> candidates;
    for (std::size_t number = 0; number < facts.size(); ++number) {
        const std::string_view mark = attributes.text(static_cast<int32_t>(number));
        if (heldBy[number] + 1 < pages.size() || hasDigitRun(mark) || hasToken(mark) || holdsKeyword(mark, words))
            continue;
        candidates.push_back({mark, preference(facts[number]), facts[number].position});
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
