// Step-by-step link-rule learning, the reference for the fast search.
#include "literal_link_rules.h"

#include <string>

namespace vexor::testing {
namespace {

// The bytes at position at, as many as sample has (fewer at the end of the text), equal sample.
bool textAtBeginsWith(std::string_view text, std::size_t at, std::string_view sample) {
    return text.substr(at, sample.size()) == sample;
}

}  // namespace

std::vector<LinkRule> literalLinkRules(std::string_view page, std::string_view first,
                                       std::string_view tenth) {
    std::vector<LinkRule> rules;
    if (first.empty()) return rules;
    std::size_t from = 0;
    for (;;) {
        const std::size_t p = page.find(first, from);
        if (p == std::string_view::npos) break;
        for (std::size_t k = 3; k <= 99 && k <= p; ++k) {
            const std::string_view x = page.substr(p - k, k);
            std::vector<std::size_t> list;
            for (std::size_t q = page.find(x); q != std::string_view::npos; q = page.find(x, q + k))
                list.push_back(q + k);
            const std::size_t n = list.size();
            if (n < 10) continue;
            const bool f = textAtBeginsWith(page, list[0], first);
            const bool t = textAtBeginsWith(page, list[n - 1], tenth);
            bool found = false;
            if (n == 10) {
                if (f && t) {
                    rules.push_back({LinkSelection::ExactlyTen, 1, std::string(x)});
                    found = true;
                }
            } else if (f) {
                for (std::size_t s = 1; s <= n / 10 && !found; ++s) {
                    if (textAtBeginsWith(page, list[10 * s - 1], tenth)) {
                        rules.push_back({LinkSelection::FirstTen, static_cast<int32_t>(s), std::string(x)});
                        found = true;
                    }
                }
            } else if (t) {
                for (std::size_t s = 1; s <= n / 10 && !found; ++s) {
                    if (textAtBeginsWith(page, list[n - 10 * s], first)) {
                        rules.push_back({LinkSelection::LastTen, static_cast<int32_t>(s), std::string(x)});
                        found = true;
                    }
                }
            }
            if (found) break;
        }
        from = p + first.size();
    }
    return rules;
}

std::vector<LinkRule> literalLearnedRules(std::string_view page, std::string_view startMarker,
                                          std::string_view endMarker, std::string_view firstResultUrl,
                                          std::string_view tenthResultUrl) {
    const std::size_t none = std::string_view::npos;
    const std::size_t s = startMarker.empty() ? none : page.find(startMarker);
    const std::size_t e = endMarker.empty() ? none : page.find(endMarker);
    std::string_view cut = page;
    if (s == none && e != none) {
        cut = page.substr(0, e);
    } else if (s != none && e == none) {
        cut = page.substr(s);
    } else if (s != none && e != none) {
        if (e > s) cut = page.substr(s, e - s);
        else if (e < s) cut = page.substr(s);
        else cut = {};
    }
    const auto sample = [](std::string_view field) {
        const std::size_t space = field.find(' ');
        return space == none ? field : field.substr(0, space);
    };
    return literalLinkRules(cut, sample(firstResultUrl), sample(tenthResultUrl));
}

}  // namespace vexor::testing
