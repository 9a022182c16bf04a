// Reading the elements a link stands in from the markup before it.
#include "engine/link_elements.h"

#include <algorithm>
#include <array>

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
        if (match != closed.end()) closed.erase(match);
        else open.push_back(std::move(tag.element));
    }
    return open;
}

bool elementsTell(const std::vector<OpenElement>& elements) {
    return elements.size() >= ELEMENTS_TELLING && std::any_of(elements.begin(), elements.end(), [](const OpenElement& e) {
               return e.classes.find_first_not_of(std::string{ID_MARK, ' '}) != std::string::npos;
           });
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

}  // namespace vexor
