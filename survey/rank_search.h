// The rank search for one keyword: result pages 1 to 10 of the current engine, ten links each,
// or as many as each page holds when the engine's rule takes every result.
#pragma once

#include "survey/rank_outcome.h"
#include "survey/survey_context.h"

namespace vexor {

// Searches the keyword of row (in range) for the survey's target (linkHoldsTarget). Ranked: the
// rank, 1 to 100 (the results of the pages before and the place on its page), and where the
// result leads. Not ranked: the results were read to their end (a results page without its ten
// links, or without any for a rule that takes every result; a page that mostly repeats the one
// before; ten pages or a hundred results passed). Failed: a page could not be read (a fetch
// failure, a failing status, an empty body, a block page, a redirect away from the results,
// or a first page without links the engine's rules accept); a Network or Timeout failure names
// context.proxy, the proxy it went through. 429 and 503 answers are waited out
// and asked again as context.options.backOff says. An abort request (checked before every fetch and
// after every parse; the fetch and the waits watch it too) ends the search as not ranked.
// Reports progress (the results examined so far: 0, 10, ... 90 with ten a page) before each
// page and how the search ended; records the entry in history table 0 (recordEntry).
RankOutcome searchRank(SurveyContext& context, int row);

}  // namespace vexor
