// Step-by-step link-rule learning, the reference for the fast search.
#include "literal_link_rules.h"

#include <algorithm>
#include <string>

#include "engine/rule_walk.h"
#include "engine/learn_links.h"
#include "engine/learn_plain.h"
#include "engine/link_kind.h"

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
    while (rules.size() < MOST_RULES) {
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

std::vector<RuleOption> literalExtendedRules(std::string_view page, const PageAddress& address,
                                             const SampleForms& first, const SampleForms& tenth) {
    struct Found {
        RuleOption option;
        std::size_t k;
        std::size_t at;
    };
    std::vector<Found> found;
    if (first.bytes.empty() || tenth.bytes.empty()) return {};
    const auto standsForTenth = [&](std::string_view link) {
        return matchSample(link, tenth, address) != SampleMatch::None;
    };
    std::size_t tried = 0;
    for (std::size_t token = 0; token <= page.size() && tried < FIRST_SAMPLE_LINKS_TRIED; ++token) {
        if (!isTokenStart(page, token)) continue;
        const std::size_t at = linkStartOfToken(page, token);
        const SampleMatch match = matchSample(linkAt(page, at), first, address);
        if (match == SampleMatch::None) continue;
        ++tried;
        const std::string kind = linkKind(linkAt(page, at), address);
        for (std::size_t k = 3; k <= 99 && k <= at; ++k) {
            const std::string prefix(page.substr(at - k, k));
            const std::vector<RuleLink> links =
                walkRule(page, Rule{prefix, LinkSelection::EveryLink, 1, true, kind, ""}, address);
            const std::size_t n = links.size();
            LinkSelection selection;
            if (n == 0) continue;
            if (n <= 10) {
                if (links.front().start != at || !standsForTenth(links.back().link)) continue;
                selection = LinkSelection::EveryLink;
            } else if (links.front().start == at && standsForTenth(links[9].link)) {
                selection = LinkSelection::FirstTen;
            } else if (links[n - 10].start == at && standsForTenth(links.back().link)) {
                selection = LinkSelection::LastTen;
            } else {
                continue;
            }
            std::vector<uint32_t> results;
            for (const std::string_view link : selectResults(links, selection))
                results.push_back(static_cast<uint32_t>(link.data() - page.data()));
            found.push_back(
                {{Rule{prefix, selection, 1, true, kind, ""}, n, match, isMarkupAligned(prefix), results}, k, at});
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (a.option.match != b.option.match) return a.option.match > b.option.match;
        const int fitA = fitRank(a.option.rule.selection);
        const int fitB = fitRank(b.option.rule.selection);
        if (fitA != fitB) return fitA < fitB;
        if (a.option.links != b.option.links) return a.option.links > b.option.links;
        if (a.option.markupAligned != b.option.markupAligned) return a.option.markupAligned;
        if (a.k != b.k) return a.k < b.k;
        return a.at < b.at;
    });
    std::vector<RuleOption> kept;
    for (const Found& f : found) {
        if (kept.size() == OPTIONS_KEPT) break;
        if (std::none_of(kept.begin(), kept.end(), [&](const RuleOption& o) { return o.rule == f.option.rule; }))
            kept.push_back(f.option);
    }
    return kept;
}

}  // namespace vexor::testing
