// Reading a page with the engine's rules.
#include "engine/page_links.h"

#include <vector>

#include "engine/rule.h"
#include "engine/rule_walk.h"

namespace vexor {
namespace {

PageLinks readWith(const std::vector<Rule>& rules, std::string_view region, const PageAddress& address,
                   LinkFactsTable* table) {
    PageLinks read;
    for (const Rule& rule : rules) {
        const auto selected = readResults(region, rule, address, table);
        if (selected.empty()) continue;
        read.links.assign(selected.begin(), selected.end());
        read.countsVary = rule.selection == LinkSelection::EveryLink;
        break;
    }
    return read;
}

}  // namespace

std::string_view cutToMarkers(std::string_view page, const std::string& startMarker,
                              const std::string& endMarker) {
    const std::size_t s = startMarker.empty() ? 0 : page.find(startMarker);
    const std::size_t e = endMarker.empty() ? std::string_view::npos : page.find(endMarker);
    if (s == std::string_view::npos) return page.substr(0, e);
    if (e == std::string_view::npos || e < s) return page.substr(s);
    return page.substr(s, e - s);
}

PageLinks readResultPage(const std::string& page, const EngineDefinition& engine,
                         const std::string& pageAddress, LinkFactsTable* table) {
    const std::string_view region = cutToMarkers(page, engine.startMarker, engine.endMarker);
    return readWith(readingRules(engine), region, pageAddressOf(pageAddress), table);
}

void parseResultPage(const std::string& page, const EngineDefinition& engine,
                     std::deque<std::string>& links) {
    std::vector<Rule> rules;
    for (const LinkRule& stored : engine.linkRules) rules.push_back(ruleOf(stored));
    const PageLinks read =
        readWith(rules, cutToMarkers(page, engine.startMarker, engine.endMarker), PageAddress{}, nullptr);
    links.insert(links.end(), read.links.begin(), read.links.end());
}

bool repeatsPreviousPage(const std::deque<std::string>& current, const std::deque<std::string>& previous) {
    // Duplicates within a page count once each.
    std::size_t equalPairs = 0;
    for (const auto& link : current)
        for (const auto& earlier : previous)
            if (link == earlier) ++equalPairs;
    return equalPairs > current.size() / 2;
}

}  // namespace vexor
