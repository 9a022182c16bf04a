// Learning the link rules of an engine: plain rules first, extended ones where those do not
// carry beyond the sample page.
#include "engine/learn_links.h"

#include <algorithm>
#include <array>
#include <atomic>

#include "engine/learn_check.h"
#include "engine/learn_context.h"
#include "engine/learn_extended.h"
#include "engine/learn_plain.h"
#include "engine/learn_prefix_groups.h"
#include "engine/learn_samples.h"
#include "engine/learn_variants.h"
#include "engine/link_end.h"
#include "engine/link_elements.h"
#include "engine/link_kind.h"
#include "engine/page_links.h"
#include "engine/page_marks.h"
#include "engine/query_address.h"
#include "engine/rule.h"
#include "engine/rule_walk.h"

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
// None (no plain rule) when page 1 gave no rule, when none could be kept (refused says why), or
// when a later page's fetch failed (the caller tells which).
struct Chosen {
    std::vector<LinkRule> plain;
    std::vector<ExtendedLinkRule> extended;
    int pagesHeld = 0;
    NoRuleReason refused = NoRuleReason::None;
};

// Whether rules read the samples where the user saw them: the 1st at the first place of page 1
// and the 10th at the tenth, or at the last place when the rules take fewer links there. A link
// stands for a sample as the extended search matches them, or when the sample's bytes stand
// where the link begins, as the plain search compares them (a page may end a link early, at a
// quote inside it). A rule that fits the sample page only by chance fails here.
bool readsSamplesInPlace(const EngineDefinition& rules, SamplePages& pages, const SampleForms& first,
                         const SampleForms& tenth) {
    const std::string_view region = cutToMarkers(pages.bodies[0], rules.startMarker, rules.endMarker);
    const PageAddress address = pageAddressOf(pages.addresses[0]);
    const auto standsFor = [&](std::string_view link, const SampleForms& sample) {
        const std::size_t start = static_cast<std::size_t>(link.data() - region.data());
        return region.substr(start, sample.bytes.size()) == sample.bytes ||
               matchSample(link, sample, address) != SampleMatch::None;
    };
    for (const Rule& rule : readingRules(rules)) {
        const std::vector<std::string_view> read = readResults(region, rule, address, &pages.facts[0]);
        if (read.empty()) continue;
        return standsFor(read.front(), first) && standsFor(read[std::min(read.size(), RESULTS_PER_PAGE) - 1], tenth);
    }
    return false;
}

bool holds(const std::vector<std::string_view>& links, std::string_view link) {
    return std::any_of(links.begin(), links.end(), [&](std::string_view l) { return l.data() == link.data(); });
}

// Whether other's results are some of option's, and option's others not all markup variants of
// them: those come from another box (a news box, a help link) that option's shorter prefix takes.
bool takesAnotherBox(std::string_view region, const std::vector<std::string_view>& option,
                     const std::vector<std::string_view>& other) {
    if (other.empty() || other.size() >= option.size()) return false;
    if (!std::all_of(other.begin(), other.end(), [&](std::string_view link) { return holds(option, link); }))
        return false;
    const std::string_view context = sharedContext(region, other, LONGEST_PREFIX);
    return std::any_of(option.begin(), option.end(), [&](std::string_view link) {
        const std::string_view before = region.substr(0, static_cast<std::size_t>(link.data() - region.data()));
        return !holds(other, link) && !isMarkupVariant(before, context);
    });
}

// The extended options in the order they are tried: the search's, except that an option comes
// after a later one when it takes another box's links besides that one's (takesAnotherBox) on
// page 1.
std::vector<const RuleOption*> triedOrder(const ExtendedSearch& search, std::string_view region) {
    std::vector<std::vector<std::string_view>> read;
    for (const RuleOption& option : search.options) {
        std::vector<std::string_view>& links = read.emplace_back();
        for (const uint32_t start : option.results) links.push_back(linkAt(region, start));
    }
    std::vector<std::size_t> order(read.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    // Each move brings an option of fewer links forward, so the loop ends.
    for (std::size_t i = 0; i < order.size(); ++i) {
        for (std::size_t j = i + 1; j < order.size(); ++j) {
            if (!takesAnotherBox(region, read[order[i]], read[order[j]])) continue;
            const auto at = [&](std::size_t k) { return order.begin() + static_cast<std::ptrdiff_t>(k); };
            std::rotate(at(i), at(j), at(j + 1));
            j = i;
        }
    }
    std::vector<const RuleOption*> tried;
    for (const std::size_t i : order) tried.push_back(&search.options[i]);
    return tried;
}

Chosen chooseRules(const EngineDefinition& definition, SampleFetch& sample) {
    SamplePages& pages = sample.pages;
    const std::string_view cut = cutToMarkers(pages.bodies[0], definition.startMarker, definition.endMarker);
    const std::string_view first = sampleOf(definition.firstResultUrl);
    const std::string_view tenth = sampleOf(definition.tenthResultUrl);
    const PageAddress address = pageAddressOf(pages.addresses[0]);
    const SampleForms firstForms = sampleFormsOf(first, address);
    const SampleForms tenthForms = sampleFormsOf(tenth, address);
    Chosen none;
    bool found = false;    // page 1 gave a rule
    bool inPlace = false;  // one of them read the samples in place

    std::vector<LinkRule> plain = findLinkRules(cut, first, tenth);
    int plainHeld = 0;
    if (!plain.empty()) {
        sample.fetchLater();
        if (sample.failedPage() != 0) return none;
        const EngineDefinition probe = withRules(definition, plain, {});
        found = true;
        if (readsSamplesInPlace(probe, pages, firstForms, tenthForms)) {
            inPlace = true;
            // The plain rules take any link; those of another kind than the first sample's are
            // not results, on page 1 or after it.
            plainHeld = pagesHeld(probe, pages, linkKind(first, address));
            if (plainHeld == ALL_PAGES) return Chosen{std::move(plain), {}, plainHeld};
        } else {
            plain.clear();
        }
    }

    const ExtendedSearch search = findExtendedRules(cut, address, firstForms, tenthForms, &pages.facts[0]);
    const RuleOption* best = nullptr;
    int bestHeld = 0;
    for (const RuleOption* tried : triedOrder(search, cut)) {
        const RuleOption& option = *tried;
        sample.fetchLater();
        if (sample.failedPage() != 0) return none;
        const ExtendedLinkRule stored = extendedFormOf(option.rule);
        const EngineDefinition probe = withRules(definition, {plainFormOf(stored)}, {stored});
        found = true;
        if (!readsSamplesInPlace(probe, pages, firstForms, tenthForms)) continue;
        inPlace = true;
        const int held = pagesHeld(probe, pages, "");
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
    if (!plain.empty() && plainHeld > 0) return Chosen{std::move(plain), {}, plainHeld};
    // Rules that hold on none of the sample's pages read no page of a survey right.
    if (found) none.refused = inPlace ? NoRuleReason::HoldsOnNoPage : NoRuleReason::MisreadsSamples;
    return none;
}

// The chosen rules, or in their place the rule that reads their results by the markup before
// them (contextRule) when they are particular to the sample's pages (prefixHoldsId,
// walksAnotherBox) and that rule reads the samples in place and holds on as many pages. Chosen
// extended rules that are not particular keep that rule after theirs: a survey reads a page with
// it only where theirs find no link, as on a page an engine writes in another version of its
// markup.
Chosen carriedToOtherPages(const EngineDefinition& definition, SamplePages& pages, Chosen chosen) {
    const auto readPage = [&](std::size_t i, const Rule& rule) {
        const std::string_view region = cutToMarkers(pages.bodies[i], definition.startMarker, definition.endMarker);
        return readingOf(region, pageAddressOf(pages.addresses[i]), rule, &pages.facts[i]);
    };
    // The rule a survey reads page 1 with, and what it reads on the later pages it holds on.
    std::vector<PageReading> readings;
    Rule read;
    for (const Rule& rule : readingRules(withRules(definition, chosen.plain, chosen.extended))) {
        PageReading first = readPage(0, rule);
        if (first.results.empty()) continue;
        readings.push_back(std::move(first));
        read = rule;
        break;
    }
    if (readings.empty()) return chosen;
    for (std::size_t i = 1; i < pages.bodies.size(); ++i)
        if (PageReading later = readPage(i, read); !later.results.empty()) readings.push_back(std::move(later));
    const bool holdsId = prefixHoldsId(read, readings);
    const bool walksMore = std::any_of(readings.begin(), readings.end(),
                                       [](const PageReading& r) { return r.walked.size() > r.results.size(); });
    if (!holdsId && !walksMore && chosen.extended.empty()) return chosen;
    const std::string context = resultsContext(readings);
    if (context.empty()) return chosen;
    const bool particular = holdsId || (walksMore && walksAnotherBox(readings, context));
    if (!particular && (chosen.extended.empty() || !elementsTell(openElements(context, context.size())))) return chosen;
    const std::optional<Rule> byContext = contextRule(readings.front(), context, &pages.facts[0]);
    if (!byContext || *byContext == read) return chosen;
    const ExtendedLinkRule stored = extendedFormOf(*byContext);
    const EngineDefinition carried = withRules(definition, {plainFormOf(stored)}, {stored});
    const PageAddress address = pageAddressOf(pages.addresses[0]);
    const SampleForms first = sampleFormsOf(sampleOf(definition.firstResultUrl), address);
    const SampleForms tenth = sampleFormsOf(sampleOf(definition.tenthResultUrl), address);
    if (!readsSamplesInPlace(carried, pages, first, tenth)) return chosen;
    const int held = pagesHeld(carried, pages, "");
    if (held < chosen.pagesHeld) return chosen;
    if (particular) return Chosen{carried.linkRules, carried.extendedRules, held};
    chosen.extended.push_back(stored);
    return chosen;
}

// Chosen extended rules keep, last, the rule that reads their results as the first link in each
// element that holds one result (containerRule), when it reads the samples in place and holds on
// as many pages: a survey reads a page with it only where the rules before it find no link, as on
// a page whose results an engine writes with other markup inside the same elements.
Chosen withContainerRule(const EngineDefinition& definition, SamplePages& pages, Chosen chosen) {
    if (chosen.extended.empty()) return chosen;
    const std::string_view region = cutToMarkers(pages.bodies[0], definition.startMarker, definition.endMarker);
    const PageAddress address = pageAddressOf(pages.addresses[0]);
    PageReading first;
    for (const Rule& rule : readingRules(withRules(definition, chosen.plain, chosen.extended))) {
        first = readingOf(region, address, rule, &pages.facts[0]);
        if (!first.results.empty()) break;
    }
    if (first.results.empty()) return chosen;
    const std::optional<Rule> byContainer = containerRule(first, &pages.facts[0]);
    if (!byContainer) return chosen;
    const ExtendedLinkRule stored = extendedFormOf(*byContainer);
    const EngineDefinition carried = withRules(definition, {plainFormOf(stored)}, {stored});
    const SampleForms firstForms = sampleFormsOf(sampleOf(definition.firstResultUrl), address);
    const SampleForms tenthForms = sampleFormsOf(sampleOf(definition.tenthResultUrl), address);
    if (!readsSamplesInPlace(carried, pages, firstForms, tenthForms)) return chosen;
    if (pagesHeld(carried, pages, "") < chosen.pagesHeld) return chosen;
    chosen.extended.push_back(stored);
    return chosen;
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
    Chosen chosen = chooseRules(definition, sample);
    if (!chosen.plain.empty() && sample.failedPage() == 0)
        chosen = withContainerRule(definition, sample.pages,
                                   carriedToOtherPages(definition, sample.pages, std::move(chosen)));
    if (const int failed = sample.failedPage(); failed != 0) return fetchRefused(failed, sample.outcome(failed));
    if (chosen.plain.empty()) {
        const PageKind kind = blockSignOf(sample.pages.bodies[0]);
        if (kind != PageKind::Results) return blockRefused(1, kind);
        LinkLearning none;
        none.noRule = chosen.refused != NoRuleReason::None ? chosen.refused : noRuleReason(definition, sample.pages);
        return none;
    }
    const EngineDefinition learnt = withRules(definition, chosen.plain, chosen.extended);
    for (int page = 2; page <= ALL_PAGES; ++page) {
        const std::string& body = sample.pages.bodies[page - 1];
        if (!readResultPage(body, learnt, sample.pages.addresses[page - 1], &sample.pages.facts[page - 1]).links.empty())
            continue;
        if (const PageKind kind = blockSignOf(body); kind != PageKind::Results) return blockRefused(page, kind);
    }
    LinkLearning kept;
    kept.learnt = true;
    kept.extended = !chosen.extended.empty();
    kept.selection = kept.extended ? chosen.extended[0].selection : chosen.plain[0].selection;
    kept.pagesHeld = chosen.pagesHeld;
    definition.linkRules = std::move(chosen.plain);
    definition.extendedRules = std::move(chosen.extended);
    definition.resultsPageMarks = learnPageMarks(
        {sample.pages.bodies[0], sample.pages.bodies[1], sample.pages.bodies[2]}, definition.keyword);
    return kept;
}

}  // namespace vexor
