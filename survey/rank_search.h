// The rank search for one keyword: result pages 1 to 10 of the current engine, ten links each,
// or as many as each page holds when the engine's rule takes every result.
#pragma once

#include <cstdint>

#include "survey/survey_context.h"

namespace vexor {

// Searches the keyword of row (in range) for the survey's target (linkHoldsTarget) and returns
// its rank, 1 to 100, or 0 when the target was not found: a page without an accepted set of
// ten links (without any link, for a rule that takes every result), a page that mostly repeats
// the one before, ten pages or a hundred results passed, or an abort request (checked before
// every fetch and after every parse; the fetch watches it too). A rank counts the results of the
// pages before and the place on its page. Reports progress (the results examined so far: 0,
// 10, ... 90 with ten a page) before each page and how the search ended; adds keyword -> rank
// to history table 0 unless the keyword is already there.
int32_t searchRank(SurveyContext& context, int row);

}  // namespace vexor
