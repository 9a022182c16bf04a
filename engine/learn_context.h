// The markup that stands before the results on the sample's pages, and what a rule learnt there
// takes from those pages alone: a token in its prefix (a tracking value, the keyword's or the
// page's own), or a prefix so short that it takes another box's links as well, which another
// keyword's page may hold among its results. A rule that reads the results by their markup
// instead carries to other keywords' pages.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/link_address.h"
#include "engine/rule.h"
#include "engine/rule_walk.h"

namespace vexor {

// What a rule read on one of the sample's pages.
struct PageReading {
    std::string_view region;                // the page cut to its markers
    PageAddress address;                    // where it was fetched from
    std::vector<RuleLink> walked;           // every link the rule's walk yields
    std::vector<std::string_view> results;  // those its selection takes (views into region)
};

PageReading readingOf(std::string_view region, const PageAddress& address, const Rule& rule,
                      LinkFactsTable* facts = nullptr);

// How much of the markup before the results a context keeps: its last VARIANT_WINDOW bytes are
// compared byte by byte, the whole for the elements the results stand in (link_elements.h).
inline constexpr std::size_t CONTEXT_KEPT = 256;

// The markup before the results that every result of readings is a variant of
// (isMarkupVariant): the longest of what the first reading's results share, or all of them but
// one, compared over VARIANT_WINDOW bytes, that serves; up to CONTEXT_KEPT bytes of it. Empty
// when none does.
std::string resultsContext(const std::vector<PageReading>& readings);

// What makes a rule particular to the sample's pages, read as readings tell (page 1 first, then
// the other pages it yields results on). Whether its prefix holds an id: it begins inside one,
// or reaches into the bytes before the results that differ between the pages (taken with the
// whole token they stand in: a tracking value, the keyword's, the page's).
bool prefixHoldsId(const Rule& rule, const std::vector<PageReading>& readings);
// Whether its walk yields links besides the results whose markup is not a variant of context:
// another box's.
bool walksAnotherBox(const std::vector<PageReading>& readings, std::string_view context);

// The rule that reads the first reading's results by their markup: the attribute that holds
// them (as `href="`) for prefix, reading facts of their kind (any kind when they differ), with
// context; its selection takes exactly those results from the first page. None when the
// results stand in no attribute or no selection takes exactly them.
std::optional<Rule> contextRule(const PageReading& first, std::string_view context, LinkFactsTable* facts = nullptr);

// The element that holds each of the first reading's results, one result each: the outermost
// element around the first result, with a naming class, that every other result stands in as
// well (name and classes alike, ids marked), opened after the result before it, and that the
// page holds as many of as there are results, or links the reading's walk yields. None when no
// element within a few of the results does.
std::optional<std::string> resultsContainer(const PageReading& first);

// The rule that reads the first reading's results as the first link of their attribute and kind
// in each of their container's elements; its selection takes exactly those results from the
// first page. None when there is no container or no selection takes exactly them.
std::optional<Rule> containerRule(const PageReading& first, LinkFactsTable* facts = nullptr);

}  // namespace vexor
