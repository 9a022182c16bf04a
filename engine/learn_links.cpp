// Learning the link rules of an engine: plain rules first, extended ones where those do not
// carry beyond the sample page.
#include "engine/learn_links.h"

#include <atomic>

#include "engine/learn_extended.h"
#include "engine/link_kind.h"
#include "engine/query_address.h"
#include "engine/result_parser.h"
#include "engine/rule_check.h"

namespace vexor {
namespace {

constexpr int ALL_PAGES = 3;

std::string fetched(const PageFetcher& fetch, const std::string& address) {
    std::string body;
    const std::atomic<bool> neverAborted{false};
    fetch(address, body, neverAborted);
    return body;
}

// The plain form of an extended rule, for programs that read only plain rules.
LinkRule plainFormOf(const ExtendedLinkRule& rule) {
    const LinkSelection selection =
        rule.selection == LinkSelection::EveryLink ? LinkSelection::ExactlyTen : rule.selection;
    return {selection, 1, rule.prefix};
}

EngineDefinition withRules(const EngineDefinition& definition, std::vector<LinkRule> plain,
                           std::vector<ExtendedLinkRule> extended) {
    EngineDefinition probe = definition;
    probe.linkRules = std::move(plain);
    probe.extendedRules = std::move(extended);
    return probe;
}

}  // namespace

std::string_view sampleOf(std::string_view resultField) {
    return resultField.substr(0, resultField.find(' '));
}

LinkLearning learnLinkRules(EngineDefinition& definition, const PageFetcher& fetch) {
    SamplePages pages;
    pages.addresses[0] = queryAddressOf(definition, definition.keyword, 1);
    pages.bodies[0] = fetched(fetch, pages.addresses[0]);
    bool laterFetched = false;
    const auto fetchLater = [&] {
        if (laterFetched) return;
        laterFetched = true;
        for (int page = 2; page <= ALL_PAGES; ++page) {
            pages.addresses[page - 1] = queryAddressOf(definition, definition.keyword, page);
            pages.bodies[page - 1] = fetched(fetch, pages.addresses[page - 1]);
        }
    };
    const std::string_view cut = cutToMarkers(pages.bodies[0], definition.startMarker, definition.endMarker);
    const std::string_view first = sampleOf(definition.firstResultUrl);
    const std::string_view tenth = sampleOf(definition.tenthResultUrl);

    const PageAddress address = pageAddressOf(pages.addresses[0]);

    std::vector<LinkRule> plain = findLinkRules(cut, first, tenth);
    int plainHeld = 0;
    if (!plain.empty()) {
        fetchLater();
        // The plain rules take any link; those of another kind than the first sample's are not
        // results, on page 1 or after it.
        const std::string resultKind = linkKind(first, address);
        plainHeld = pagesHeld(withRules(definition, plain, {}), pages, resultKind);
        if (plainHeld == ALL_PAGES) {
            definition.linkRules = std::move(plain);
            definition.extendedRules.clear();
            return {true, LearntRuleKind::Plain, plainHeld};
        }
    }

    const ExtendedSearch search =
        findExtendedRules(cut, address, sampleFormsOf(first, address), sampleFormsOf(tenth, address));
    const RuleOption* best = nullptr;
    int bestHeld = 0;
    for (const RuleOption& option : search.options) {
        fetchLater();
        const int held = pagesHeld(withRules(definition, {plainFormOf(option.rule)}, {option.rule}), pages, "");
        if (held > bestHeld) {
            best = &option;
            bestHeld = held;
        }
        if (held == ALL_PAGES || !laterPagesTell(pages)) break;
    }
    if (best != nullptr && bestHeld >= plainHeld) {
        definition.linkRules = {plainFormOf(best->rule)};
        definition.extendedRules = {best->rule};
        const LearntRuleKind kind = best->rule.selection == LinkSelection::EveryLink ? LearntRuleKind::AllResults
                                                                                     : LearntRuleKind::TenOfMore;
        return {true, kind, bestHeld};
    }
    if (plain.empty()) return {};
    definition.linkRules = std::move(plain);
    definition.extendedRules.clear();
    return {true, LearntRuleKind::Plain, plainHeld};
}

}  // namespace vexor
