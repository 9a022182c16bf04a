// Reading the elements a link stands in from the markup before it.
#include "engine/link_elements.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "engine/learn_variants.h"
#include "platform/bytes.h"

namespace vexor {
namespace {

// How far back the elements around a link are looked for, how many tags are read there and how
// much of each: bounds that keep a page of endless or unclosed tags from costing more than a
// page of results.
constexpr std::size_t ELEMENTS_WINDOW = 2048;
constexpr std::size_t MOST_TAGS_READ = 64;
constexpr std::size_t LONGEST_TAG = 512;
// How many elements around a link are looked at for an ad's.
constexpr std::size_t AD_DEPTH = 8;
// The fewest elements, the link's own tag among them, that tell a box.
constexpr std::size_t ELEMENTS_TELLING = 3;

struct Tag {
    bool closing = false;
    bool opensNothing = false;  // a void element or one closed in its own tag
    OpenElement element;
};

bool isNameByte(char c) { return isTokenByte(c) || c == ':'; }

bool isVoid(std::string_view name) {
    static constexpr std::array<std::string_view, 14> VOID{"area", "base", "br",   "col",   "embed",  "hr",    "img",
                                                          "input", "link", "meta", "param", "source", "track", "wbr"};
    return std::find(VOID.begin(), VOID.end(), name) != VOID.end();
}

// A class attribute's tokens, one space between, ids marked.
std::string classTokens(std::string_view value) {
    std::string tokens;
    std::size_t i = 0;
    while (i < value.size()) {
        while (i < value.size() && isAsciiSpace(value[i])) ++i;
        const std::size_t start = i;
        while (i < value.size() && !isAsciiSpace(value[i])) ++i;
        if (start == i) break;
        if (!tokens.empty()) tokens += ' ';
        tokens += withIdsMarked(value.substr(start, i - start), false);
    }
    return tokens;
}

// The tag that starts at markup[at] ('<'), up to its '>' or the end of markup. Attribute values
// are read whole, quotes and all.
Tag readTag(std::string_view markup, std::size_t at) {
    Tag tag;
    std::size_t i = at + 1;
    if (i < markup.size() && markup[i] == '/') {
        tag.closing = true;
        ++i;
    }
    const std::size_t nameStart = i;
    while (i < markup.size() && isNameByte(markup[i])) ++i;
    tag.element.name = lowerAscii(markup.substr(nameStart, i - nameStart));
    while (i < markup.size() && markup[i] != '>') {
        if (isAsciiSpace(markup[i]) || markup[i] == '/') {
            ++i;
            continue;
        }
        const std::size_t attributeStart = i;
        while (i < markup.size() && !isAsciiSpace(markup[i]) && markup[i] != '=' && markup[i] != '>') ++i;
        const std::string attribute = lowerAscii(markup.substr(attributeStart, i - attributeStart));
        if (i >= markup.size() || markup[i] != '=') continue;
        ++i;
        std::size_t valueStart = i;
        std::size_t valueEnd = i;
        if (i < markup.size() && (markup[i] == '"' || markup[i] == '\'')) {
            const std::size_t close = markup.find(markup[i], i + 1);
            valueStart = i + 1;
            valueEnd = close == std::string_view::npos ? markup.size() : close;
            i = close == std::string_view::npos ? markup.size() : close + 1;
        } else {
            while (i < markup.size() && !isAsciiSpace(markup[i]) && markup[i] != '>') ++i;
            valueEnd = i;
        }
        if (attribute == "class") tag.element.classes = classTokens(markup.substr(valueStart, valueEnd - valueStart));
    }
    tag.opensNothing = isVoid(tag.element.name) || (i < markup.size() && i > at && markup[i - 1] == '/');
    return tag;
}

// Whether any of the eight bytes at at is a "d" in either case, all eight compared at once.
bool holdsD(const char* at) {
    uint64_t bytes = 0;
    std::memcpy(&bytes, at, sizeof bytes);
    constexpr uint64_t EACH = 0x0101010101010101ULL;
    const uint64_t apart = (bytes | 0x20 * EACH) ^ ('d' * EACH);  // a zero byte where a d stands
    return ((apart - EACH) & ~apart & 0x80 * EACH) != 0;
}

// "ad", "ads", "advert", "advertisement" or "sponsored", in any case.
bool isAdWord(std::string_view word) {
    static constexpr std::array<std::string_view, 5> AD_WORDS{"ad", "ads", "advert", "advertisement", "sponsored"};
    return std::any_of(AD_WORDS.begin(), AD_WORDS.end(),
                       [&](std::string_view adWord) { return equalsIgnoringCase(word, adWord); });
}

// Calls visit(start, end) for each run of letters in text that holds a "d", in order, until visit
// returns true; whether one did. Every ad word holds a "d", and the runs around the d's are all
// that is compared, as this runs over the markup before every result.
template <typename Visit>
bool eachRunWithD(std::string_view text, Visit visit) {
    for (std::size_t i = 0; i < text.size();) {
        if (text.size() - i >= 8 && !holdsD(text.data() + i)) {
            i += 8;
            continue;
        }
        if ((text[i] | 0x20) != 'd') {
            ++i;
            continue;
        }
        std::size_t start = i;
        while (start > 0 && isAsciiLetter(text[start - 1])) --start;
        std::size_t end = i + 1;
        while (end < text.size() && isAsciiLetter(text[end])) ++end;
        if (visit(start, end)) return true;
        i = end;
    }
    return false;
}

// Whether a run of letters in text is an ad word.
bool holdsAdWord(std::string_view text) {
    return eachRunWithD(text, [&](std::size_t start, std::size_t end) { return isAdWord(text.substr(start, end - start)); });
}

// Whether an ad word stands in the ELEMENTS_WINDOW bytes before each of starts. The windows of a
// page's results overlap, so the runs of letters are found once in each stretch of overlapping
// windows; a run that a window cuts counts as the part of it within the window.
std::vector<bool> adWordsBefore(std::string_view region, const std::vector<std::size_t>& starts) {
    std::vector<std::pair<std::size_t, std::size_t>> windows;
    for (const std::size_t start : starts) windows.emplace_back(start - std::min(start, ELEMENTS_WINDOW), start);
    std::vector<std::pair<std::size_t, std::size_t>> stretches = windows;
    std::sort(stretches.begin(), stretches.end());
    std::vector<std::pair<std::size_t, std::size_t>> runs;  // in region positions, in order
    for (std::size_t i = 0; i < stretches.size();) {
        const std::size_t from = stretches[i].first;
        std::size_t to = stretches[i].second;
        for (++i; i < stretches.size() && stretches[i].first <= to; ++i) to = std::max(to, stretches[i].second);
        eachRunWithD(region.substr(from, to - from), [&](std::size_t start, std::size_t end) {
            runs.emplace_back(from + start, from + end);
            return false;
        });
    }
    std::vector<bool> near(starts.size(), false);
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const auto [from, to] = windows[i];
        auto run = std::upper_bound(runs.begin(), runs.end(), from,
                                    [](std::size_t at, const auto& r) { return at < r.second; });
        for (; run != runs.end() && run->first < to; ++run) {
            const std::size_t start = std::max(run->first, from);
            if (isAdWord(region.substr(start, std::min(run->second, to) - start))) {
                near[i] = true;
                break;
            }
        }
    }
    return near;
}

bool sameFrom(const std::vector<OpenElement>& a, std::size_t skipA, const std::vector<OpenElement>& b,
              std::size_t skipB, std::size_t n) {
    // Compares n elements of a and b, each read without its element at skip (none past the end).
    for (std::size_t i = 0, j = 0, k = 0; k < n; ++k, ++i, ++j) {
        if (i == skipA) ++i;
        if (j == skipB) ++j;
        if (i >= a.size() || j >= b.size() || !(a[i] == b[j])) return false;
    }
    return true;
}

}  // namespace

std::vector<OpenElement> openElements(std::string_view markup, std::size_t most) {
    const std::size_t floor = markup.size() - std::min(markup.size(), ELEMENTS_WINDOW);
    std::vector<OpenElement> open;
    std::vector<std::string> closed;  // closing tags met, not yet matched by their opening tag
    // Tags are read from the end back, so that a link's elements cost only the markup they span.
    std::size_t tagsRead = 0;
    for (std::size_t limit = markup.size(); open.size() < most && limit > floor && tagsRead < MOST_TAGS_READ;) {
        const std::size_t at = markup.rfind('<', limit - 1);
        if (at == std::string_view::npos || at < floor) break;
        limit = at;
        ++tagsRead;
        const char c = at + 1 < markup.size() ? markup[at + 1] : '\0';
        if (!isNameByte(c) && c != '/') continue;
        Tag tag = readTag(markup.substr(0, std::min(markup.size(), at + LONGEST_TAG)), at);
        if (tag.element.name.empty()) continue;
        if (tag.closing) {
            closed.push_back(std::move(tag.element.name));
            continue;
        }
        if (tag.opensNothing) continue;
        const auto match = std::find(closed.begin(), closed.end(), tag.element.name);
        if (match != closed.end()) {
            closed.erase(match);
            continue;
        }
        tag.element.at = at;
        open.push_back(std::move(tag.element));
    }
    return open;
}

bool hasNamingClass(const OpenElement& element) {
    return element.classes.find_first_not_of(std::string{ID_MARK, ' '}) != std::string::npos;
}

bool elementsTell(const std::vector<OpenElement>& elements) {
    return elements.size() >= ELEMENTS_TELLING && std::any_of(elements.begin(), elements.end(), hasNamingClass);
}

bool isElementVariant(std::string_view before, const std::vector<OpenElement>& learnt) {
    const std::size_t none = std::string_view::npos;
    const std::size_t n = learnt.size();
    if (!elementsTell(learnt)) return false;
    const std::vector<OpenElement> link = openElements(before, n + 1);
    if (link.empty() || !(link[0] == learnt[0])) return false;
    if (sameFrom(learnt, none, link, none, n)) return true;
    for (std::size_t more = 1; more < link.size(); ++more)
        if (sameFrom(learnt, none, link, more, n)) return true;
    // The outermost element stays: without it the comparison would just be shorter.
    for (std::size_t fewer = 1; fewer + 1 < n; ++fewer)
        if (sameFrom(learnt, fewer, link, none, n - 1)) return true;
    return false;
}

std::string containerText(const OpenElement& element) { return element.name + ' ' + element.classes; }

OpenElement containerElement(std::string_view text) {
    const std::size_t space = std::min(text.find(' '), text.size());
    return {std::string(text.substr(0, space)), std::string(text.substr(std::min(space + 1, text.size()))), 0};
}

std::vector<std::size_t> elementOpenings(std::string_view markup, const OpenElement& element) {
    std::vector<std::size_t> openings;
    const std::size_t n = element.name.size();
    if (n == 0) return openings;
    // A word of its classes that its tag must hold as written: most tags of the name are passed
    // over without being read.
    std::string_view word;
    for (std::size_t i = 0; i < element.classes.size();) {
        const std::size_t end = std::min(element.classes.find_first_of(std::string{' ', ID_MARK}, i), element.classes.size());
        if (end - i > word.size()) word = std::string_view(element.classes).substr(i, end - i);
        i = end + 1;
    }
    const auto visit = [&](std::size_t at) {
        if (markup.size() - at <= n + 1 || lowerAscii(markup[at + 1]) != element.name[0] ||
            !equalsIgnoringCase(markup.substr(at + 1, n), element.name))
            return;
        const char after = markup[at + 1 + n];
        if (!isAsciiSpace(after) && after != '>') return;
        // Its end looked for within a window, so that a page of tags that never close costs no more.
        const std::size_t close = markup.substr(at, ELEMENTS_WINDOW).find('>');
        if (close == std::string_view::npos) return;
        const std::size_t end = at + close;
        if (markup.substr(at, close).find(word) == std::string_view::npos) return;
        const Tag tag = readTag(markup.substr(0, std::min(markup.size(), at + LONGEST_TAG)), at);
        if (tag.element == element) openings.push_back(end + 1);
    };
    // Names read from an engine file may begin with another byte than a letter.
    if (isAsciiLetter(element.name[0])) forEachTagOpening(markup, visit);
    else forEachPlaceOf(markup, '<', visit);
    return openings;
}

std::vector<bool> adsAmong(std::string_view region, const std::vector<std::size_t>& starts) {
    constexpr std::size_t none = std::string_view::npos;
    const std::size_t n = starts.size();
    std::vector<bool> ads(n, false);
    if (n < 2) return ads;
    // Elements are read only where they can tell: around links with an ad word near, and around
    // the other links until one stands in an element of the name an ad stands in.
    std::vector<std::vector<OpenElement>> elements(n);
    std::vector<bool> read(n, false);
    const auto elementsOf = [&](std::size_t i) -> const std::vector<OpenElement>& {
        if (!read[i]) elements[i] = openElements(region.substr(0, starts[i]), AD_DEPTH);
        read[i] = true;
        return elements[i];
    };
    std::vector<std::size_t> adAt(n, none);  // the depth of the innermost element that calls a link an ad
    const std::vector<bool> adWordNear = adWordsBefore(region, starts);
    for (std::size_t i = 0; i < n; ++i) {
        if (!adWordNear[i]) continue;
        const std::vector<OpenElement>& around = elementsOf(i);
        const auto callsAnAd = [](const OpenElement& element) { return holdsAdWord(element.classes); };
        const auto ad = std::find_if(around.begin(), around.end(), callsAnAd);
        if (ad != around.end()) adAt[i] = static_cast<std::size_t>(ad - around.begin());
    }
    const auto plainStandsIn = [&](std::size_t depth, const std::string& name) {
        for (std::size_t j = 0; j < n; ++j) {
            if (adAt[j] != none) continue;
            const std::vector<OpenElement>& around = elementsOf(j);
            if (around.size() > depth && around[depth].name == name) return true;
        }
        return false;
    };
    for (std::size_t i = 0; i < n; ++i)
        if (adAt[i] != none) ads[i] = plainStandsIn(adAt[i], elements[i][adAt[i]].name);
    return ads;
}

}  // namespace vexor
