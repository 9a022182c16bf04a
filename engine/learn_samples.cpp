// Locating samples among a page's links.
//
// Every link start could be tried against the sample, but a page holds hundreds of thousands of
// tokens. A link can only stand for the sample when the sample's bytes stand at its start, or
// when the page's decoded text (references and escapes undone, all in lower case) holds the
// beginning of the sample's comparable form inside the link: as an absolute address
// ("//host/path"), or, for a link the page writes relative, as its path. So the search looks
// for those few keys in the decoded text and tries only the links around what it finds.
#include "engine/learn_samples.h"

#include <algorithm>

#include "engine/link_end.h"
#include "platform/bytes.h"
#include "platform/substring_finder.h"

namespace vexor {
namespace {

// How much of the sample's comparable form is looked for; the rest is checked on the link.
constexpr std::size_t KEY_LENGTH = 64;
// How many places where a key stands are looked at before the search gives up.
constexpr std::size_t OCCURRENCE_BOUND = 20'000;
// The longest attribute name taken for an unquoted attribute.
constexpr std::size_t ATTRIBUTE_NAME_LIMIT = 60;

bool isNameByte(char c, bool first) {
    const bool letter = isAsciiLetter(c);
    if (first) return letter;
    return letter || (c >= '0' && c <= '9') || c == '_' || c == ':' || c == '-' || c == '.';
}

// Whether the byte at ends a quote written as a reference.
// The length of the quote written as a character reference that ends at text[at], or 0.
std::size_t quoteReferenceEndingAt(std::string_view text, std::size_t at) {
    static constexpr std::string_view QUOTES[] = {"&quot;", "&#34;", "&#x22;", "&#X22;", "&apos;", "&#39;", "&#x27;", "&#X27;"};
    if (text[at] != ';') return 0;
    for (const std::string_view quote : QUOTES)
        if (at + 1 >= quote.size() && text.substr(at + 1 - quote.size(), quote.size()) == quote) return quote.size();
    return 0;
}

bool endsQuoteReference(std::string_view text, std::size_t at) { return quoteReferenceEndingAt(text, at) > 0; }

// How far before a position a token that holds it may start: a link is read so far, after its
// attribute name.
constexpr std::size_t TOKEN_REACH = MAX_LINK_EXAMINED + ATTRIBUTE_NAME_LIMIT + 1;

// Token starts for positions taken in increasing order: the text between two positions is
// read once, so a pass costs one reading of the text however many positions it asks about.
class TokenStarts {
public:
    explicit TokenStarts(std::string_view text) : text_(text) {}

    // The token start at or before at, or npos when it lies further back than a link is read
    // (plus an attribute name). at must not be less than the position asked about before.
    std::size_t before(std::size_t at) {
        if (at - scanned_ > TOKEN_REACH) {
            // Far ahead: only a delimiter in the last TOKEN_REACH + 1 bytes before at can start a token
            // near enough; without one the token start stays too far back.
            scanned_ = at - TOKEN_REACH - 1;
            token_ = scanned_;
        }
        for (; scanned_ < at; ++scanned_)
            if (isLinkDelimiter(text_[scanned_]) || endsQuoteReference(text_, scanned_)) token_ = scanned_ + 1;
        return at - token_ > TOKEN_REACH ? std::string_view::npos : token_;
    }

private:
    std::string_view text_;
    std::size_t scanned_ = 0;
    std::size_t token_ = 0;
};

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// A sample up to its fragment ("#" not written as part of a reference such as "&#39;"): the
// fragment only points into the result's page (a copied result often carries the highlighted
// text), and a page may end the link inside it, at a quote the fragment holds.
std::string_view withoutFragment(std::string_view sample) {
    for (std::size_t at = sample.find('#'); at != std::string_view::npos; at = sample.find('#', at + 1))
        if (at == 0 || sample[at - 1] != '&') return sample.substr(0, at);
    return sample;
}

// Lower-case keys to look for in the decoded text: the comparable form, and for an address on
// the page's own host the forms a page writes relative (from the path, and from the directory).
std::vector<std::string> keysOf(const SampleForms& sample, const PageAddress& page, bool& emptyKey) {
    const std::string& comparable = sample.comparable;
    std::vector<std::string> keys;
    const auto add = [&](std::string_view key) {
        if (key.empty()) {
            emptyKey = true;
            return;
        }
        keys.push_back(lowerAscii(key.substr(0, KEY_LENGTH)));
    };
    add(comparable);
    const std::string hostRoot = "//" + page.host;
    if (startsWith(comparable, hostRoot)) {
        const std::string_view path = std::string_view(comparable).substr(hostRoot.size());
        add(path);
        if (startsWith(path, page.directory)) add(path.substr(page.directory.size()));
    }
    if (!sample.carried.empty()) add(sample.carried);
    return keys;
}

}  // namespace

SampleForms sampleFormsOf(std::string_view sample, const PageAddress& page) {
    const std::string_view address = withoutFragment(sample);
    if (address.empty()) return {};
    return {std::string(address), comparableForm(address, page), carriedAddress(absoluteForm(address, page), false)};
}

bool namesAPage(std::string_view sample) {
    std::string_view rest = withoutFragment(sample);
    const std::size_t colon = rest.find(':');
    const bool scheme = colon != std::string_view::npos && colon > 0 &&
                        std::all_of(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(colon),
                                    [](char c) { return isNameByte(c, false); });
    if (scheme) rest.remove_prefix(colon + 1);
    return rest.find_first_not_of("/\\ ") != std::string_view::npos;
}

SampleMatch matchSample(std::string_view link, const SampleForms& sample, const PageAddress& page) {
    if (sample.bytes.empty()) return SampleMatch::None;
    if (startsWith(link, sample.bytes)) return SampleMatch::Literal;
    if (sample.comparable.empty()) return SampleMatch::None;
    if (startsWith(comparableForm(link, page), sample.comparable)) return SampleMatch::Address;
    const std::string absolute = absoluteForm(link, page);
    const std::string carried = carriedAddress(absolute, true);
    if (!carried.empty() && startsWith(carried, sample.comparable)) return SampleMatch::Destination;
    // A redirect copied from a page of another of the engine's hosts, or with other tracking
    // parameters, carries the same address as the link.
    if (!carried.empty() && !sample.carried.empty() && carriedAddress(absolute, false) == sample.carried)
        return SampleMatch::Destination;
    return SampleMatch::None;
}

bool isTokenStart(std::string_view text, std::size_t at) {
    return at == 0 || isLinkDelimiter(text[at - 1]) || endsQuoteReference(text, at - 1);
}

std::size_t attributeNameLength(std::string_view text, std::size_t at) {
    std::size_t i = at;
    if (i >= text.size() || !isNameByte(text[i], true)) return 0;
    while (i < text.size() && i - at <= ATTRIBUTE_NAME_LIMIT && isNameByte(text[i], false)) ++i;
    if (i < text.size() && text[i] == '=' && i - at <= ATTRIBUTE_NAME_LIMIT) return i + 1 - at;
    return 0;
}

std::size_t linkStartOfToken(std::string_view text, std::size_t tokenStart) {
    return tokenStart + attributeNameLength(text, tokenStart);
}

SampleLinks findSampleLinks(std::string_view text, const SampleForms& sample, const PageAddress& page,
                            std::size_t limit) {
    SampleLinks found;
    if (sample.bytes.empty()) return found;
    std::vector<std::size_t> starts;
    std::size_t examined = 0;
    const auto consider = [&](TokenStarts& tokens, std::size_t at, bool onlyAtStart) {
        const std::size_t token = tokens.before(at);
        if (token == std::string_view::npos) return;
        const std::size_t start = linkStartOfToken(text, token);
        if (!onlyAtStart || start == at) starts.push_back(start);
        if (onlyAtStart) return;
        // A token that a quote written as a reference begins lies inside the one before it, whose
        // link reaches the same place: both may stand for the sample.
        for (std::size_t t = token; t > 0;) {
            const std::size_t quote = quoteReferenceEndingAt(text, t - 1);
            if (quote == 0) break;
            t -= quote;
            while (t > 0 && at - t <= TOKEN_REACH && !isLinkDelimiter(text[t - 1]) && !endsQuoteReference(text, t - 1))
                --t;
            if (at - t > TOKEN_REACH) break;
            starts.push_back(linkStartOfToken(text, t));
        }
    };
    const auto bounded = [&] {
        if (++examined <= OCCURRENCE_BOUND) return true;
        found.exhausted = true;
        return false;
    };

    // The sample's own bytes at a link start.
    TokenStarts ownBytes(text);
    const SubstringFinder bytes(sample.bytes);
    for (std::size_t at = bytes.find(text, 0); at != std::string_view::npos && bounded(); at = bytes.find(text, at + 1))
        consider(ownBytes, at, true);

    bool emptyKey = false;
    const std::vector<std::string> keys = keysOf(sample, page, emptyKey);
    if (emptyKey) {
        // The sample is the page's own directory: any link may be it.
        for (std::size_t at = 0; at <= text.size() && !found.exhausted; ++at)
            if (isTokenStart(text, at) && bounded()) starts.push_back(linkStartOfToken(text, at));
    } else if (!keys.empty()) {
        DecodedText decoded = decodePercentEscapesMapped(decodeCharacterReferencesMapped(text));
        lowerAsciiInPlace(decoded.text);
        const std::string_view view = decoded.text;
        for (const std::string& key : keys) {
            TokenStarts tokens(text);
            const SubstringFinder finder(key);
            for (std::size_t at = finder.find(view, 0); at != std::string_view::npos && !found.exhausted;
                 at = finder.find(view, at + 1)) {
                if (bounded()) consider(tokens, decoded.originOf(at), false);
            }
        }
    }

    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    for (const std::size_t start : starts) {
        if (found.links.size() >= limit) break;
        const SampleMatch match = matchSample(linkAt(text, start), sample, page);
        if (match != SampleMatch::None) found.links.push_back({start, match});
    }
    return found;
}

}  // namespace vexor
