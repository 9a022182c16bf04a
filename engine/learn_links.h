// Learning the rules that pick the result links out of a results page: fetch result page 1 of
// the sample keyword and find prefixes whose occurrences are followed by the user's 1st and 10th
// result addresses where the page's results stand; check them on pages 2 and 3.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_definition.h"
#include "engine/page_kind.h"
#include "web/page_fetcher.h"

namespace vexor {

// A result field up to, not including, its first space: the field may carry more than the
// address (a size or a date copied with it), and only the address is compared.
std::string_view sampleOf(std::string_view resultField);

// Why result page 1, fetched and a results page, gave no rule.
enum class NoRuleReason {
    None,
    MarkersLeftNothing,  // the markers cut the page down to nothing
    FirstNotFound,       // no link of the page stands for the 1st result
    TenthNotFound,       // the 1st result is there, the 10th is not
    NoCommonPrefix,      // both are there, but no text before them picks ten results
    // Rules were found, but none can be right:
    MisreadsSamples,  // none reads the 1st and 10th samples at their places on page 1
    HoldsOnNoPage,    // those that do yield results on none of pages 1 to 3
};

struct LinkLearning {
    bool learnt = false;
    bool extended = false;  // an extended rule was kept, else the plain rules
    LinkSelection selection = LinkSelection::ExactlyTen;  // of the first rule kept
    int pagesHeld = 0;  // of result pages 1 to 3, on how many the kept rules yield their links
    // When not learnt because a sample page cannot serve: which one (1 to 3; 0 otherwise), its
    // fetch, and what the page is (Results when its fetch failed).
    int refusedPage = 0;
    FetchOutcome fetch = {};
    PageKind pageKind = PageKind::Results;
    // When not learnt and no page was refused: why page 1 gave no rule.
    NoRuleReason noRule = NoRuleReason::None;
};

// Whether a fetch brought no page to learn from: a failure, or a failing status.
bool fetchFailed(const FetchOutcome& fetched);

// Fetches result page 1 of the definition's sample keyword through its learnt query template,
// cuts it to the markers and learns its rules; when there are any, fetches pages 2 and 3 and
// checks them there. The plain rules are kept, exactly as found, when on each of pages 1 to 3
// they yield ten links, all of the first sample's kind, that do not repeat the page before; else the
// extended rules are learnt and the best that holds on the most pages is kept, with its plain
// form in linkRules; else the plain rules of page 1 alone. Only rules that read the 1st sample
// at the first place of page 1 and the 10th at the tenth (or the last, when they take fewer)
// are kept, and only when they hold on one of pages 1 to 3 at least (MisreadsSamples,
// HoldsOnNoPage otherwise). A sample page whose fetch failed
// (fetchFailed) is refused: page 1 before any rule is looked for, pages 2 and 3 once fetched. So
// is one that shows a block page's sign (blockSignOf) where links were wanted: page 1 when it
// gives no rule, pages 2 and 3 when the chosen rules yield nothing there. When
// learnt, the definition's rules are exactly those, its resultsPageMarks those of pages 1 to 3
// (learnPageMarks) and every other field is unchanged; otherwise the definition is untouched.
LinkLearning learnLinkRules(EngineDefinition& definition, const PageFetcher& fetch);

}  // namespace vexor
