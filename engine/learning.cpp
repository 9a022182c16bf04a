// The two stages of learning, in order.
#include "engine/learning.h"

#include "engine/learn_query.h"

namespace vexor {

LearnResult learnFromSample(EngineDefinition& current, const EngineFields& fields, const PageFetcher& fetch,
                            const Clock& clock) {
    applyEngineFields(fields, current);
    if (current.keyword.empty() || current.page2Url.empty() || current.page3Url.empty() ||
        current.firstResultUrl.empty() || current.tenthResultUrl.empty())
        return {LearnOutcome::MissingField};
    if (!learnQueryTemplate(current)) return {LearnOutcome::BadAddress};
    // The time the run began, not when the (possibly slow) fetches returned.
    const SystemTime started = clock();
    const LinkLearning links = learnLinkRules(current, fetch);
    if (!links.learnt) {
        if (links.refusedPage == 0) return {LearnOutcome::NoRules};
        const LearnOutcome outcome =
            links.pageKind == PageKind::Results ? LearnOutcome::FetchFailed : LearnOutcome::BlockPage;
        return {outcome, LearntRuleKind::Plain, 0, links.refusedPage, links.fetch, links.pageKind};
    }
    current.learnedAt = started;
    return {LearnOutcome::Learnt, links.kind, links.pagesHeld};
}

}  // namespace vexor
