// Learning the link rules of an engine: plain rules first, extended ones where those do not
// carry beyond the sample page.
#include "engine/learn_links.h"

#include <array>
#include <atomic>
#include <optional>

#include "engine/learn_extended.h"
#include "engine/learn_plain.h"
#include "engine/link_kind.h"
#include "engine/page_links.h"
#include "engine/page_marks.h"
#include "engine/query_address.h"
#include "engine/rule.h"
#include "engine/learn_check.h"
#include "engine/learn_samples.h"

namespace vexor {
namespace {

constexpr int ALL_PAGES = 3;

FetchOutcome fetchInto(const PageFetcher& fetch, const std::string& address, std::string& body) {
    const std::atomic<bool> neverAborted{false};
    return fetch(address, body, neverAborted);
}

EngineDefinition withRules(const EngineDefinition& definition, std::vector<LinkRule> plain,
                           std::vector<ExtendedLinkRule> extended) {
    EngineDefinition probe = definition;
    probe.linkRules = std::move(plain);
    probe.extendedRules = std::move(extended);
    return probe;
}

LinkLearning fetchRefused(int page, const FetchOutcome& fetched) {
    LinkLearning refused;
    refused.refusedPage = page;
    refused.fetch = fetched;
    return refused;
}

LinkLearning blockRefused(int page, PageKind kind) {
    LinkLearning refused;
    refused.refusedPage = page;
    refused.pageKind = kind;
    return refused;
}

// Looked at only once page 1 gave no rule, so the search for the samples runs again here.
NoRuleReason noRuleReason(const EngineDefinition& definition, const SamplePages& pages) {
    const std::string_view cut = cutToMarkers(pages.bodies[0], definition.startMarker, definition.endMarker);
    if (cut.empty() && !pages.bodies[0].empty()) return NoRuleReason::MarkersLeftNothing;
    const PageAddress address = pageAddressOf(pages.addresses[0]);
    const auto found = [&](std::string_view sample) {
        return !sample.empty() && !findSampleLinks(cut, sampleFormsOf(sample, address), address, 1).links.empty();
    };
    if (!found(sampleOf(definition.firstResultUrl))) return NoRuleReason::FirstNotFound;
    if (!found(sampleOf(definition.tenthResultUrl))) return NoRuleReason::TenthNotFound;
    return NoRuleReason::NoCommonPrefix;
}

// The sample's pages as learning fetches them: page 1 at once, pages 2 and 3 once rules were
// found, each fetched once.
class SampleFetch {
public:
    SampleFetch(const EngineDefinition& definition, const PageFetcher& fetch) : definition_(definition), fetch_(fetch) {
        pages.addresses[0] = queryAddressOf(definition, definition.keyword, 1);
        outcomes_[0] = fetchInto(fetch, pages.addresses[0], pages.bodies[0]);
    }

    // The first page whose fetch failed, 0 when none; pages 2 and 3 count once fetched.
    int failedPage() const {
        for (int page = 1; page <= ALL_PAGES; ++page)
            if ((page == 1 || laterFetched_) && fetchFailed(outcomes_[page - 1])) return page;
        return 0;
    }

    const FetchOutcome& outcome(int page) const { return outcomes_[page - 1]; }

    void fetchLater() {
        if (laterFetched_) return;
        laterFetched_ = true;
        for (int page = 2; page <= ALL_PAGES; ++page) {
            pages.addresses[page - 1] = queryAddressOf(definition_, definition_.keyword, page);
            outcomes_[page - 1] = fetchInto(fetch_, pages.addresses[page - 1], pages.bodies[page - 1]);
        }
    }

    SamplePages pages;

private:
    const EngineDefinition& definition_;
    const PageFetcher& fetch_;
    std::array<FetchOutcome, ALL_PAGES> outcomes_;
    bool laterFetched_ = false;
};

// The rules chosen from page 1 and checked on pages 2 and 3, before the sample pages are judged.
// None when no rule was found, or when a later page's fetch failed (the caller tells which).
struct Chosen {
    std::vector<LinkRule> plain;
    std::vector<ExtendedLinkRule> extended;
    int pagesHeld = 0;
};


std::optional<Chosen> chooseRules(const EngineDefinition& definition, SampleFetch& sample) {
    SamplePages& pages = sample.pages;
    const std::string_view cut = cutToMarkers(pages.bodies[0], definition.startMarker, definition.endMarker);
    const std::string_view first = sampleOf(definition.firstResultUrl);
    const std::string_view tenth = sampleOf(definition.tenthResultUrl);
    const PageAddress address = pageAddressOf(pages.addresses[0]);

    std::vector<LinkRule> plain = findLinkRules(cut, first, tenth);
    int plainHeld = 0;
    if (!plain.empty()) {
        sample.fetchLater();
        if (sample.failedPage() != 0) return std::nullopt;
        // The plain rules take any link; those of another kind than the first sample's are not
        // results, on page 1 or after it.
        const std::string resultKind = linkKind(first, address);
        plainHeld = pagesHeld(withRules(definition, plain, {}), pages, resultKind);
        if (plainHeld == ALL_PAGES) return Chosen{std::move(plain), {}, plainHeld};
    }

    const ExtendedSearch search =
        findExtendedRules(cut, address, sampleFormsOf(first, address), sampleFormsOf(tenth, address));
    const RuleOption* best = nullptr;
    int bestHeld = 0;
    for (const RuleOption& option : search.options) {
        sample.fetchLater();
        if (sample.failedPage() != 0) return std::nullopt;
        const ExtendedLinkRule stored = extendedFormOf(option.rule);
        const int held = pagesHeld(withRules(definition, {plainFormOf(stored)}, {stored}), pages, "");
        if (held > bestHeld) {
            best = &option;
            bestHeld = held;
        }
        if (held == ALL_PAGES || !laterPagesTell(pages)) break;
    }
    if (best != nullptr && bestHeld >= plainHeld) {
        const ExtendedLinkRule stored = extendedFormOf(best->rule);
        return Chosen{{plainFormOf(stored)}, {stored}, bestHeld};
    }
    if (plain.empty()) return std::nullopt;
    return Chosen{std::move(plain), {}, plainHeld};
}

}  // namespace

std::string_view sampleOf(std::string_view resultField) {
    return resultField.substr(0, resultField.find(' '));
}

bool fetchFailed(const FetchOutcome& fetched) {
    return fetched.failure != FetchFailure::None || isFailingStatus(fetched.status);
}

LinkLearning learnLinkRules(EngineDefinition& definition, const PageFetcher& fetch) {
    SampleFetch sample(definition, fetch);
    if (sample.failedPage() == 1) return fetchRefused(1, sample.outcome(1));
    std::optional<Chosen> chosen = chooseRules(definition, sample);
    if (const int failed = sample.failedPage(); failed != 0) return fetchRefused(failed, sample.outcome(failed));
    if (!chosen) {
        const PageKind kind = blockSignOf(sample.pages.bodies[0]);
        if (kind != PageKind::Results) return blockRefused(1, kind);
        LinkLearning none;
        none.noRule = noRuleReason(definition, sample.pages);
        return none;
    }
    const EngineDefinition learnt = withRules(definition, chosen->plain, chosen->extended);
    for (int page = 2; page <= ALL_PAGES; ++page) {
        const std::string& body = sample.pages.bodies[page - 1];
        if (!readResultPage(body, learnt, sample.pages.addresses[page - 1]).links.empty()) continue;
        if (const PageKind kind = blockSignOf(body); kind != PageKind::Results) return blockRefused(page, kind);
    }
    LinkLearning kept;
    kept.learnt = true;
    kept.extended = !chosen->extended.empty();
    kept.selection = kept.extended ? chosen->extended[0].selection : chosen->plain[0].selection;
    kept.pagesHeld = chosen->pagesHeld;
    definition.linkRules = std::move(chosen->plain);
    definition.extendedRules = std::move(chosen->extended);
    definition.resultsPageMarks = learnPageMarks(
        {sample.pages.bodies[0], sample.pages.bodies[1], sample.pages.bodies[2]}, definition.keyword);
    return kept;
}

}  // namespace vexor
