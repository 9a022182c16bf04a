// The two stages of learning, in order.
#include "engine/learning.h"

#include "engine/learn_links.h"
#include "engine/learn_query.h"

namespace vexor {

LearnOutcome learnFromSample(EngineDefinition& current, const EngineFields& fields,
                             const PageFetcher& fetch, const Clock& clock) {
    applyEngineFields(fields, current);
    if (current.keyword.empty() || current.page2Url.empty() || current.page3Url.empty() ||
        current.firstResultUrl.empty() || current.tenthResultUrl.empty())
        return LearnOutcome::MissingField;
    if (!learnQueryTemplate(current)) return LearnOutcome::BadAddress;
    // The time the run began, not when the (possibly slow) fetch returned.
    const SystemTime started = clock();
    if (!learnLinkRules(current, fetch)) return LearnOutcome::NoRules;
    current.learnedAt = started;
    return LearnOutcome::Learnt;
}

}  // namespace vexor
