// Result page parsing: plain substring searches over the bytes between the markers.
#include "engine/result_parser.h"

#include <array>
#include <vector>

namespace vexor {
namespace {

constexpr std::size_t RESULTS_PER_PAGE = 10;

// A table of the delimiter bytes, so that finding the end of a link is one lookup a byte.
struct DelimiterTable {
    std::array<bool, 256> isDelimiter{};
    constexpr DelimiterTable() {
        for (const char* c = LINK_DELIMITERS; *c; ++c) isDelimiter[static_cast<unsigned char>(*c)] = true;
    }
};
constexpr DelimiterTable DELIMITERS;

std::size_t findDelimiter(std::string_view region, std::size_t from) {
    for (std::size_t i = from; i < region.size(); ++i)
        if (isLinkDelimiter(region[i])) return i;
    return std::string_view::npos;
}

// Every link the rule introduces, in page order.
std::vector<std::string_view> candidatesOf(std::string_view region, const LinkRule& rule) {
    std::vector<std::string_view> candidates;
    const std::string_view prefix = rule.prefix;
    if (prefix.empty()) return candidates;  // would match everywhere without moving on
    std::size_t p = 0;
    while (true) {
        const std::size_t at = region.find(prefix, p);
        if (at == std::string_view::npos) break;
        const std::size_t start = at + prefix.size();
        const std::size_t end = findDelimiter(region, start);
        candidates.push_back(region.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) break;
        p = end;
        // Only every stride-th occurrence introduces a link; 1, 0 and below skip nothing.
        for (int32_t skip = 1; skip < rule.stride; ++skip) {
            const std::size_t next = region.find(prefix, p);
            if (next == std::string_view::npos) return candidates;
            p = next + prefix.size();
        }
    }
    return candidates;
}

}  // namespace

bool isLinkDelimiter(char c) { return DELIMITERS.isDelimiter[static_cast<unsigned char>(c)]; }

std::string_view cutToMarkers(std::string_view page, const std::string& startMarker,
                              const std::string& endMarker) {
    const std::size_t s = startMarker.empty() ? 0 : page.find(startMarker);
    const std::size_t e = endMarker.empty() ? std::string_view::npos : page.find(endMarker);
    if (s == std::string_view::npos) return page.substr(0, e);
    if (e == std::string_view::npos || e < s) return page.substr(s);
    return page.substr(s, e - s);
}

void parseResultPage(const std::string& page, const EngineDefinition& engine,
                     std::deque<std::string>& links) {
    const std::string_view region = cutToMarkers(page, engine.startMarker, engine.endMarker);
    for (const LinkRule& rule : engine.linkRules) {
        const std::vector<std::string_view> candidates = candidatesOf(region, rule);
        const std::size_t n = candidates.size();
        std::size_t first;
        if (n == RESULTS_PER_PAGE) {
            first = 0;
        } else if (n > RESULTS_PER_PAGE && rule.selection == LinkSelection::FirstTen) {
            first = 0;
        } else if (n > RESULTS_PER_PAGE && rule.selection == LinkSelection::LastTen) {
            first = n - RESULTS_PER_PAGE;
        } else {
            continue;
        }
        for (std::size_t i = first; i < first + RESULTS_PER_PAGE; ++i)
            links.emplace_back(candidates[i]);
        return;
    }
}

}  // namespace vexor
