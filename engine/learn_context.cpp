// Judging a rule by the markup before the results, and reading results by it.
#include "engine/learn_context.h"

#include <algorithm>

#include "engine/learn_prefix_groups.h"
#include "engine/learn_samples.h"
#include "engine/learn_variants.h"
#include "engine/link_elements.h"
#include "engine/link_kind.h"

namespace vexor {
namespace {

std::string_view before(std::string_view region, std::string_view link) {
    return region.substr(0, static_cast<std::size_t>(link.data() - region.data()));
}

std::size_t commonSuffix(std::string_view a, std::string_view b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[a.size() - 1 - n] == b[b.size() - 1 - n]) ++n;
    return n;
}

// How many bytes before the results stay the same on every page: their shared context, up to
// the first byte that differs between pages, and short of the whole token that byte stands in.
std::size_t steadyLength(const std::vector<PageReading>& readings) {
    const std::string_view first = sharedContext(readings[0].region, readings[0].results, LONGEST_PREFIX);
    std::size_t n = first.size();
    for (const PageReading& reading : readings)
        n = std::min(n, commonSuffix(first, sharedContext(reading.region, reading.results, LONGEST_PREFIX)));
    if (n == first.size() || !isTokenByte(first[first.size() - n - 1])) return n;
    while (n > 0 && isTokenByte(first[first.size() - n])) --n;
    return n;
}

// Whether prefix, before page 1's first result, begins inside an id: a run of token bytes with
// a digit that is an attribute's value (an attribute name, as the "ef" of `ef="`, is markup).
bool beginsInsideId(std::string_view prefix, const PageReading& first) {
    const std::string_view lead = before(first.region, first.results.front());
    if (prefix.empty() || lead.size() <= prefix.size() || !isTokenByte(prefix.front())) return false;
    std::size_t start = lead.size() - prefix.size();
    if (!isTokenByte(lead[start - 1])) return false;
    std::size_t end = start;
    while (start > 0 && isTokenByte(lead[start - 1])) --start;
    while (end < lead.size() && isTokenByte(lead[end])) ++end;
    const std::string_view run = lead.substr(start, end - start);
    const bool value = start > 0 && (lead[start - 1] == '=' || (start > 1 && lead[start - 2] == '='));
    return value && std::any_of(run.begin(), run.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isResult(const PageReading& reading, std::string_view link) {
    return std::any_of(reading.results.begin(), reading.results.end(),
                       [&](std::string_view result) { return result.data() == link.data(); });
}

// The attribute name, "=" and quote before the link at start, as `href="`; empty when none.
std::string_view attributeBefore(std::string_view region, std::size_t start) {
    std::size_t end = start;
    if (end > 0 && (region[end - 1] == '"' || region[end - 1] == '\'')) --end;
    if (end == 0 || region[end - 1] != '=') return {};
    const auto inName = [](char c) { return isTokenByte(c) || c == ':' || c == '.'; };
    std::size_t name = end - 1;
    while (name > 0 && inName(region[name - 1])) --name;
    if (attributeNameLength(region, name) != end - name) return {};
    return region.substr(name, start - name);
}

// Whether walked from from holds links: the very same links, or with byText links written
// alike (another link of each result, to the same address).
bool sameLinks(const std::vector<RuleLink>& walked, std::size_t from, const std::vector<std::string_view>& links,
               bool byText) {
    for (std::size_t i = 0; i < links.size(); ++i) {
        const std::string_view link = walked[from + i].link;
        if (byText ? link != links[i] : link.data() != links[i].data()) return false;
    }
    return true;
}

// The rule that reads first's results by the attribute that holds them, reading facts of their
// kind (any kind when they differ), with context or container; its selection takes exactly
// those results from the first page (with a container, links written alike), or there is none.
std::optional<Rule> resultsRule(const PageReading& first, std::string context, std::string container,
                                LinkFactsTable* facts) {
    const std::vector<std::string_view>& results = first.results;
    const std::string_view attribute = attributeBefore(first.region, before(first.region, results.front()).size());
    if (attribute.empty()) return std::nullopt;
    std::string kind = linkKind(results.front(), first.address);
    for (const std::string_view link : results)
        if (linkKind(link, first.address) != kind) kind.clear();
    Rule rule{std::string(attribute), LinkSelection::EveryLink, 1, true, kind, std::move(context), std::move(container)};
    const std::vector<RuleLink> walked = walkRule(first.region, rule, first.address, facts);
    const std::size_t n = walked.size();
    const bool byText = !rule.container.empty();
    if (n == results.size() && sameLinks(walked, 0, results, byText)) return rule;
    if (results.size() != RESULTS_PER_PAGE || n < RESULTS_PER_PAGE) return std::nullopt;
    rule.selection = LinkSelection::FirstTen;
    if (sameLinks(walked, 0, results, byText)) return rule;
    rule.selection = LinkSelection::LastTen;
    if (sameLinks(walked, n - RESULTS_PER_PAGE, results, byText)) return rule;
    return std::nullopt;
}

}  // namespace

PageReading readingOf(std::string_view region, const PageAddress& address, const Rule& rule, LinkFactsTable* facts) {
    PageReading reading{region, address, walkRule(region, rule, address, facts), {}};
    reading.results = selectResults(reading.walked, rule.selection);
    return reading;
}

std::string resultsContext(const std::vector<PageReading>& readings) {
    const PageReading& first = readings.front();
    // What all of page 1's results share, and what all but one share: the first result often
    // follows other boxes, and one result may be written otherwise.
    std::vector<std::vector<std::string_view>> sets{first.results};
    for (std::size_t odd = 0; odd < first.results.size() && first.results.size() > 2; ++odd) {
        std::vector<std::string_view> others = first.results;
        others.erase(others.begin() + static_cast<std::ptrdiff_t>(odd));
        sets.push_back(std::move(others));
    }
    std::vector<std::pair<std::string_view, std::size_t>> candidates;  // the markup, and its set
    for (std::size_t i = 0; i < sets.size(); ++i)
        candidates.emplace_back(sharedContext(first.region, sets[i], VARIANT_WINDOW), i);
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
    for (const auto& entry : candidates) {
        const std::string_view candidate = entry.first;
        const bool serves = std::all_of(readings.begin(), readings.end(), [&](const PageReading& reading) {
            return std::all_of(reading.results.begin(), reading.results.end(), [&](std::string_view link) {
                return isMarkupVariant(before(reading.region, link), candidate);
            });
        });
        // Kept longer than it is compared over, for the elements the results stand in.
        if (serves) return std::string(sharedContext(first.region, sets[entry.second], CONTEXT_KEPT));
    }
    return {};
}

bool prefixHoldsId(const Rule& rule, const std::vector<PageReading>& readings) {
    return beginsInsideId(rule.prefix, readings.front()) || rule.prefix.size() > steadyLength(readings);
}

bool walksAnotherBox(const std::vector<PageReading>& readings, std::string_view context) {
    return std::any_of(readings.begin(), readings.end(), [&](const PageReading& reading) {
        return std::any_of(reading.walked.begin(), reading.walked.end(), [&](const RuleLink& walked) {
            return !isResult(reading, walked.link) && !isMarkupVariant(before(reading.region, walked.link), context);
        });
    });
}

std::optional<Rule> contextRule(const PageReading& first, std::string_view context, LinkFactsTable* facts) {
    if (context.empty()) return std::nullopt;
    return resultsRule(first, std::string(context), "", facts);
}

// How many elements around a result are looked at for its container.
constexpr std::size_t CONTAINER_DEPTH = 8;

std::optional<std::string> resultsContainer(const PageReading& first) {
    const std::vector<std::string_view>& results = first.results;
    if (results.size() < 2) return std::nullopt;
    std::vector<std::vector<OpenElement>> around;
    for (const std::string_view link : results) around.push_back(openElements(before(first.region, link), CONTAINER_DEPTH));
    // The outermost first: the first that holds the results is the one taken, and each candidate
    // that holds one result each costs a pass over the page.
    for (std::size_t depth = around[0].size(); depth-- > 1;) {
        const OpenElement& candidate = around[0][depth];
        if (!hasNamingClass(candidate)) continue;
        bool holdsEach = true;
        for (std::size_t i = 1; i < results.size() && holdsEach; ++i) {
            const std::size_t previous = before(first.region, results[i - 1]).size();
            const auto holder = around[i].empty() ? around[i].end()
                                                  : std::find(around[i].begin() + 1, around[i].end(), candidate);
            holdsEach = holder != around[i].end() && holder->at > previous;
        }
        // Elements alike that hold anything else (an ad, a card of another kind) do not hold results.
        const std::size_t held = holdsEach ? elementOpenings(first.region, candidate).size() : 0;
        if (held > 0 && (held == first.results.size() || held == first.walked.size())) return containerText(candidate);
    }
    return std::nullopt;
}

std::optional<Rule> containerRule(const PageReading& first, LinkFactsTable* facts) {
    const std::optional<std::string> container = resultsContainer(first);
    if (!container) return std::nullopt;
    return resultsRule(first, "", *container, facts);
}

}  // namespace vexor
