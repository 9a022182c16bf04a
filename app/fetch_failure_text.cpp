// Wording a failed fetch.
#include "app/fetch_failure_text.h"

#include "app/survey_failures.h"
#include "survey/rank_outcome.h"

namespace vexor {

std::string fetchFailureText(const FetchOutcome& fetched) {
    return failureCauseText(fetchFailureOf(fetched, false).value_or(FailureCause::Unknown), fetched.status);
}

}  // namespace vexor
