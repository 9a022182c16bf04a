// Reading a page with whichever rules the engine has.
#include "engine/page_links.h"

#include "engine/result_parser.h"

namespace vexor {

PageLinks readResultPage(const std::string& page, const EngineDefinition& engine,
                         const std::string& pageAddress, LinkFactsMemo* memo) {
    PageLinks read;
    if (engine.extendedRules.empty()) {
        parseResultPage(page, engine, read.links);
        return read;
    }
    const std::string_view region = cutToMarkers(page, engine.startMarker, engine.endMarker);
    const PageAddress address = pageAddressOf(pageAddress);
    for (const ExtendedLinkRule& rule : engine.extendedRules) {
        const auto selected = selectedLinks(extendedRuleLinks(region, rule.prefix, rule.linkKind, address, memo),
                                            rule.selection);
        if (selected.empty()) continue;
        read.links.assign(selected.begin(), selected.end());
        read.countsVary = rule.selection == LinkSelection::EveryLink;
        return read;
    }
    return read;
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
