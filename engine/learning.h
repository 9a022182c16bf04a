// Learning an engine from one sample search: the query address from the sample addresses of
// result pages 2 and 3, then the link rules from result page 1, checked on pages 2 and 3.
#pragma once

#include <vector>

#include "engine/engine_definition.h"
#include "engine/engine_fields.h"
#include "engine/learn_links.h"
#include "engine/learn_query.h"
#include "platform/clock.h"
#include "web/page_fetcher.h"

namespace vexor {

// How a learning run ended.
enum class LearnOutcome {
    MissingField,  // keyword, either page address or either result sample empty
    BadAddress,    // the query address could not be learnt from the page addresses
    NoRules,       // result page 1 gave no rule
    FetchFailed,   // a sample page (1, 2 or 3) could not be fetched or came with a status outside 2xx
    BlockPage,     // a sample page is a consent, captcha or script-required page, not results
    Refused,       // what was given or found cannot be right (refusal tells why)
    Learnt,
};

// Why learning refused to keep anything.
enum class Refusal {
    None,
    NoAddress,        // a result sample names no page ("http://"); sample tells which
    SameResult,       // the 1st and the 10th result are one address
    MisreadsSamples,  // no rule found reads the 1st and 10th samples at their places on page 1
    HoldsOnNoPage,    // the rules that do yield results on none of pages 1 to 3
};

// The sample fields learning cannot do without, in the order the edit dialog shows them.
enum class SampleField { Keyword, FirstResultUrl, TenthResultUrl, Page2Url, Page3Url };

struct LearnResult {
    LearnOutcome outcome = LearnOutcome::MissingField;
    bool extended = false;                        // when Learnt: an extended rule was kept
    LinkSelection selection = LinkSelection::ExactlyTen;  // when Learnt: the first kept rule's
    int pagesHeld = 0;                            // when Learnt: of pages 1 to 3, where they hold
    int page = 0;                                 // when FetchFailed or BlockPage: which sample page
    FetchOutcome fetch = {};                      // when FetchFailed: how its fetch ended
    PageKind pageKind = PageKind::Results;        // when BlockPage: what the page is
    std::vector<SampleField> missing = {};          // when MissingField: the empty ones, in order
    QueryLearning address = QueryLearning::Learnt;  // when BadAddress: the step that stopped it
    NoRuleReason noRule = NoRuleReason::None;       // when NoRules: why (page tells which page)
    Refusal refusal = Refusal::None;                // when Refused: why
    SampleField sample = SampleField::FirstResultUrl;  // when Refused for NoAddress: which sample
};

// Takes fields into current, checks the five required ones and that the result samples name two
// different pages (else Refused, before anything is fetched), learns the query address and then
// the link rules (fetching result pages 1 to 3 through fetch). The clock is read just before
// the fetches; learnedAt takes that time only when rules were learnt. What each outcome leaves
// in current: the fields always; from BadAddress on a keywordEncoding that was found; from
// NoRules (and FetchFailed, BlockPage) on the new query template, step, offset and encoding; on
// Learnt also the rules, the results page marks and learnedAt.
LearnResult learnFromSample(EngineDefinition& current, const EngineFields& fields, const PageFetcher& fetch,
                            const Clock& clock);

}  // namespace vexor
