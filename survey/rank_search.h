// The rank search for one keyword: result pages 1 to 10 of the current engine, ten links each.
#pragma once

#include <cstdint>

#include "survey/survey_context.h"

namespace vexor {

// Searches the keyword of row (in range) for the survey's target and returns its rank, 1 to
// 100, or 0 when the target was not found: a page without an accepted set of ten links, a page
// that mostly repeats the one before, ten pages passed, or an abort request (checked before
// every fetch and after every parse; the fetch watches it too). Reports progress (0, 10, ...
// 90) before each page and how the search ended; adds keyword -> rank to history table 0
// unless the keyword is already there.
int32_t searchRank(SurveyContext& context, int row);

}  // namespace vexor
