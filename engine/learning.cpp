// The two stages of learning, in order.
#include "engine/learning.h"

#include <utility>

#include "engine/learn_samples.h"

namespace vexor {

LearnResult learnFromSample(EngineDefinition& current, const EngineFields& fields, const PageFetcher& fetch,
                            const Clock& clock) {
    applyEngineFields(fields, current);
    LearnResult stopped;
    const std::pair<SampleField, const std::string*> required[] = {
        {SampleField::Keyword, &current.keyword},   {SampleField::FirstResultUrl, &current.firstResultUrl},
        {SampleField::TenthResultUrl, &current.tenthResultUrl}, {SampleField::Page2Url, &current.page2Url},
        {SampleField::Page3Url, &current.page3Url}};
    for (const auto& [field, text] : required)
        if (text->empty()) stopped.missing.push_back(field);
    if (!stopped.missing.empty()) return stopped;
    stopped.outcome = LearnOutcome::Refused;
    const std::string_view first = sampleOf(current.firstResultUrl);
    const std::string_view tenth = sampleOf(current.tenthResultUrl);
    stopped.refusal = Refusal::NoAddress;
    const std::pair<SampleField, std::string_view> samples[] = {{SampleField::FirstResultUrl, first},
                                                                 {SampleField::TenthResultUrl, tenth}};
    for (const auto& [field, sample] : samples) {
        stopped.sample = field;
        if (!namesAPage(sample)) return stopped;
    }
    // Compared as links are, against the page the results stand on.
    const PageAddress page = pageAddressOf(current.page2Url);
    stopped.refusal = Refusal::SameResult;
    if (sampleFormsOf(first, page).comparable == sampleFormsOf(tenth, page).comparable) return stopped;
    stopped = LearnResult{};
    stopped.address = learnQueryAddress(current);
    if (stopped.address != QueryLearning::Learnt) {
        stopped.outcome = LearnOutcome::BadAddress;
        return stopped;
    }
    // The time the run began, not when the (possibly slow) fetches returned.
    const SystemTime started = clock();
    const LinkLearning links = learnLinkRules(current, fetch);
    if (!links.learnt) {
        if (links.noRule == NoRuleReason::MisreadsSamples || links.noRule == NoRuleReason::HoldsOnNoPage) {
            stopped.outcome = LearnOutcome::Refused;
            stopped.refusal =
                links.noRule == NoRuleReason::MisreadsSamples ? Refusal::MisreadsSamples : Refusal::HoldsOnNoPage;
            return stopped;
        }
        if (links.refusedPage == 0) {
            stopped.outcome = LearnOutcome::NoRules;
            stopped.page = 1;
            stopped.noRule = links.noRule;
            return stopped;
        }
        const LearnOutcome outcome =
            links.pageKind == PageKind::Results ? LearnOutcome::FetchFailed : LearnOutcome::BlockPage;
        stopped.outcome = outcome;
        stopped.page = links.refusedPage;
        stopped.fetch = links.fetch;
        stopped.pageKind = links.pageKind;
        return stopped;
    }
    current.learnedAt = started;
    LearnResult learnt;
    learnt.outcome = LearnOutcome::Learnt;
    learnt.extended = links.extended;
    learnt.selection = links.selection;
    learnt.pagesHeld = links.pagesHeld;
    return learnt;
}

}  // namespace vexor
