// One rule for picking result links out of a page, whichever of the two stored shapes it comes
// from: the walk (prefix, stride, whether it reads link facts, which kind it keeps) and the
// selection of what the walk yields. Surveys, the checks on pages 2 and 3 and both learners
// think in this record; the two stored shapes stay only in the engine record and its file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/engine_definition.h"

namespace vexor {

// How many results a results page holds: what every selection but EveryLink takes.
inline constexpr std::size_t RESULTS_PER_PAGE = 10;

struct Rule {
    std::string prefix;
    LinkSelection selection = LinkSelection::ExactlyTen;
    // Every stride-th occurrence of the prefix introduces a link; 1, 0 and below skip nothing.
    int32_t stride = 1;
    // A rule that reads facts keeps the links of linkKind only (every kind when empty) and counts
    // a link once when its identity equals that of the link kept just before it.
    bool readsFacts = false;
    std::string linkKind;
    // When not empty, a link counts only when the markup before it is a variant of this markup
    // that stood before the results of the sample's pages, or it stands in the same elements but
    // for one: the links of other boxes that the prefix also introduces (a news box, site links
    // under a result) give way.
    std::string context;
    // When not empty, the element that holds one result each, as containerText writes it: the rule
    // takes the first link its walk would take within each such element. Engines change the
    // markup inside their results from one version of a page to the next more than the element
    // that holds each result.
    std::string container{};

    friend bool operator==(const Rule&, const Rule&) = default;
};

// A stored plain rule: it reads no facts, and a selection other than FirstTen and LastTen takes
// exactly ten.
Rule ruleOf(const LinkRule& stored);
// A stored extended rule: stride 1, reads facts; an unknown selection takes exactly ten.
Rule ruleOf(const ExtendedLinkRule& stored);
// The rules a survey reads pages with: the extended rules when there are any, else the plain ones.
std::vector<Rule> readingRules(const EngineDefinition& engine);

// The stored shape of a rule that reads facts (stride 1), as the extended learner finds them.
ExtendedLinkRule extendedFormOf(const Rule& rule);
// The plain rule stored beside an extended one, for programs that read only plain rules: its
// prefix, stride 1, and its selection with EveryLink written as ExactlyTen.
LinkRule plainFormOf(const ExtendedLinkRule& rule);

}  // namespace vexor
