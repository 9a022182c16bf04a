// Decoding and resolving links for comparison.
#include "engine/link_address.h"

#include <algorithm>
#include <array>

#include "platform/bytes.h"

namespace vexor {
namespace {

// The character a reference at text[at] (an "&") stands for, and the reference's length; 0
// when it is none of those decoded here.
std::pair<char, std::size_t> referenceAt(std::string_view text, std::size_t at) {
    static constexpr std::array<std::pair<std::string_view, char>, 5> NAMED = {{
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}}};
    for (const auto& [name, c] : NAMED)
        if (text.substr(at, name.size()) == name) return {c, name.size()};
    if (text.substr(at, 2) != "&#") return {0, 0};
    std::size_t i = at + 2;
    const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
    if (hex) ++i;
    const std::size_t digitsStart = i;
    int value = 0;
    while (i < text.size() && i - digitsStart < 7) {
        const int d = hexValue(text[i]);
        if (d < 0 || (!hex && d > 9)) break;
        value = value * (hex ? 16 : 10) + d;
        ++i;
    }
    if (i == digitsStart || i >= text.size() || text[i] != ';' || value < 1 || value > 127) return {0, 0};
    return {static_cast<char>(value), i + 1 - at};
}

// Where decoded bytes came from, as runs are added: a byte whose origin follows the last one's
// extends its run.
class OriginRuns {
public:
    explicit OriginRuns(std::vector<DecodedText::Run>* runs) : runs_(runs) {}
    // Bytes at..at+count of the output came from from..from+count.
    void add(std::size_t at, std::size_t from, std::size_t count) {
        if (!runs_ || count == 0) return;
        const auto a = static_cast<uint32_t>(at);
        const auto f = static_cast<uint32_t>(from);
        if (!runs_->empty() && runs_->back().from + (a - runs_->back().at) == f) return;
        runs_->push_back({a, f});
    }

private:
    std::vector<DecodedText::Run>* runs_;
};

// Copies the bytes from..to of text unchanged, with their origins: the input's own positions,
// or where input (its runs) says they came from.
void copyRun(std::string_view text, std::size_t from, std::size_t to, const DecodedText* input, std::string& out,
             OriginRuns& origin) {
    const std::size_t at = out.size();
    out.append(text.data() + from, to - from);
    if (!input) {
        origin.add(at, from, to - from);
        return;
    }
    // The input's runs that cover from..to, each a run of its own here.
    auto run = std::upper_bound(input->runs.begin(), input->runs.end(), from,
                                [](std::size_t i, const DecodedText::Run& r) { return i < r.at; });
    for (std::size_t i = from; i < to;) {
        const DecodedText::Run& covering = *(run - 1);
        const std::size_t end = run == input->runs.end() ? to : std::min<std::size_t>(to, run->at);
        origin.add(at + (i - from), covering.from + (i - covering.at), end - i);
        i = end;
        ++run;
    }
}

// Runs without a "&" are copied whole; a "&" is decoded when it begins a reference.
void decodeReferences(std::string_view text, std::string& out, OriginRuns origin) {
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t amp = text.find('&', i);
        if (amp == std::string_view::npos) amp = text.size();
        copyRun(text, i, amp, nullptr, out, origin);
        i = amp;
        if (i == text.size()) break;
        const auto [c, length] = referenceAt(text, i);
        origin.add(out.size(), i, 1);
        out += length > 0 ? c : '&';
        i += length > 0 ? length : 1;
    }
}

bool hexPair(std::string_view text, std::size_t at) {
    return at + 1 < text.size() && hexValue(text[at]) >= 0 && hexValue(text[at + 1]) >= 0;
}

char hexByte(std::string_view text, std::size_t at) {
    return static_cast<char>(hexValue(text[at]) * 16 + hexValue(text[at + 1]));
}

// input, when given, is what text was decoded from, whose runs the result's origins go back to.
void decodePercent(std::string_view text, const DecodedText* input, std::string& out, OriginRuns origin) {
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t percent = text.find('%', i);
        if (percent == std::string_view::npos) percent = text.size();
        copyRun(text, i, percent, input, out, origin);
        i = percent;
        if (i == text.size()) break;
        std::size_t length = 1;
        char byte = '%';
        if (hexPair(text, i + 1)) {
            byte = hexByte(text, i + 1);
            length = 3;
            if (byte == '%' && hexPair(text, i + 3)) {
                byte = hexByte(text, i + 3);
                length = 5;
            }
        }
        origin.add(out.size(), input ? input->originOf(i) : i, 1);
        out += byte;
        i += length;
    }
}

// Length of a leading "scheme:" (letters, digits, + - . after a first letter), 0 when none.
std::size_t schemeLength(std::string_view text) {
    if (text.empty() || !((text[0] >= 'a' && text[0] <= 'z') || (text[0] >= 'A' && text[0] <= 'Z'))) return 0;
    for (std::size_t i = 1; i < text.size() && i < 32; ++i) {
        const char c = text[i];
        if (c == ':') return i + 1;
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                             c == '+' || c == '-' || c == '.';
        if (!allowed) return 0;
    }
    return 0;
}

}  // namespace

PageAddress pageAddressOf(std::string_view address) {
    PageAddress page;
    std::size_t at = 0;
    if (startsWithIgnoringCase(address, "http://")) at = 5;
    else if (startsWithIgnoringCase(address, "https://")) at = 6;
    if (address.substr(at, 2) != "//") return {"", "/"};
    at += 2;
    std::size_t hostEnd = HOST_END.firstIn(address, at);
    if (hostEnd == std::string_view::npos) hostEnd = address.size();
    std::string_view host = address.substr(at, hostEnd - at);
    if (const std::size_t user = host.rfind('@'); user != std::string_view::npos) host.remove_prefix(user + 1);
    if (const std::size_t port = host.rfind(':'); port != std::string_view::npos && host.find(']') == std::string_view::npos)
        host = host.substr(0, port);
    page.host = lowerAscii(host);
    std::size_t pathEnd = address.find_first_of("?#", hostEnd);
    if (pathEnd == std::string_view::npos) pathEnd = address.size();
    const std::string_view path = address.substr(hostEnd, pathEnd - hostEnd);
    const std::size_t lastSlash = path.rfind('/');
    page.directory = lastSlash == std::string_view::npos ? "/" : std::string(path.substr(0, lastSlash + 1));
    return page;
}

std::string decodeCharacterReferences(std::string_view text) {
    std::string out;
    decodeReferences(text, out, OriginRuns(nullptr));
    return out;
}

std::string decodePercentEscapes(std::string_view text) {
    std::string out;
    decodePercent(text, nullptr, out, OriginRuns(nullptr));
    return out;
}

uint32_t DecodedText::originOf(std::size_t at) const {
    const auto run = std::upper_bound(runs.begin(), runs.end(), at, [](std::size_t i, const Run& r) { return i < r.at; });
    return (run - 1)->from + static_cast<uint32_t>(at - (run - 1)->at);
}

DecodedText decodeCharacterReferencesMapped(std::string_view text) {
    DecodedText decoded;
    decodeReferences(text, decoded.text, OriginRuns(&decoded.runs));
    return decoded;
}

DecodedText decodePercentEscapesMapped(const DecodedText& text) {
    DecodedText decoded;
    decodePercent(text.text, &text, decoded.text, OriginRuns(&decoded.runs));
    return decoded;
}

std::string lowerHosts(std::string out) {
    for (std::size_t i = 0; i + 1 < out.size(); ++i) {
        if (out[i] != '/' || out[i + 1] != '/') continue;
        for (i += 2; i < out.size() && isHostByte(out[i]); ++i) out[i] = lowerAscii(out[i]);
        --i;  // the byte that ended the host may begin the next "//"
    }
    return out;
}

std::string absoluteForm(std::string_view link, const PageAddress& page) {
    const std::string_view examined = link.substr(0, MAX_LINK_EXAMINED);
    // Most links hold no reference: they are read as they stand, without a decoded copy.
    std::string decoded;
    if (examined.find('&') != std::string_view::npos) decoded = decodeCharacterReferences(examined);
    const std::string_view t = decoded.empty() ? examined : std::string_view(decoded);
    std::string absolute;
    if (startsWithIgnoringCase(t, "http://")) {
        absolute = t.substr(5);
    } else if (startsWithIgnoringCase(t, "https://")) {
        absolute = t.substr(6);
    } else if (t.substr(0, 2) == "//") {
        absolute = t;
    } else if (schemeLength(t) > 0) {
        return std::string(t);
    } else {
        const bool rooted = !t.empty() && t[0] == '/';
        absolute.reserve(2 + page.host.size() + (rooted ? 0 : page.directory.size()) + t.size());
        absolute.append("//").append(page.host);
        if (!rooted) absolute.append(page.directory);
        absolute.append(t);
    }
    for (std::size_t i = 2; i < absolute.size() && isHostByte(absolute[i]); ++i) absolute[i] = lowerAscii(absolute[i]);
    return absolute;
}

std::string comparableForm(std::string_view link, const PageAddress& page) {
    return lowerHosts(decodePercentEscapes(absoluteForm(link, page)));
}

CarriedSpan carriedAddressIn(std::string_view absolute) {
    static constexpr std::string_view SCHEMES[] = {"http://", "https://", "http%3a%2f%2f", "https%3a%2f%2f"};
    for (std::size_t eq = absolute.find('='); eq != std::string_view::npos; eq = absolute.find('=', eq + 1)) {
        const std::string_view rest = absolute.substr(eq + 1);
        for (const std::string_view scheme : SCHEMES) {
            if (!startsWithIgnoringCase(rest, scheme)) continue;
            const bool escaped = scheme.find('%') != std::string_view::npos;
            const std::size_t start = eq + 1;
            const std::size_t after = start + scheme.size();
            std::size_t end = absolute.find('&', after);
            if (escaped) end = std::min(end, absolute.find('/', after));
            if (end == std::string_view::npos) end = absolute.size();
            return {start, end};
        }
    }
    return {};
}

std::string carriedAddress(std::string_view absolute, bool withRest) {
    const CarriedSpan span = carriedAddressIn(absolute);
    if (!span.found()) return {};
    std::string decoded =
        decodePercentEscapes(absolute.substr(span.start, (withRest ? absolute.size() : span.end) - span.start));
    decoded.erase(0, std::min(decoded.find("//"), decoded.size()));
    return lowerHosts(std::move(decoded));
}

}  // namespace vexor
