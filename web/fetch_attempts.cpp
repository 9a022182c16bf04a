// The attempt loop shared by the libcurl and the WinINet fetcher.
#include "web/fetch_attempts.h"

#include <algorithm>

#include "platform/abortable_wait.h"

namespace vexor {
namespace {

using Clock = std::chrono::steady_clock;

// An error status is the server's answer, not a failure to read one: asking again at once is
// what a server that limits its callers punishes, so the caller backs off on its own terms.
bool worthRetrying(const FetchOutcome& outcome) {
    if (outcome.status >= 400) return false;
    switch (outcome.failure) {
        case FetchFailure::Certificate:
        case FetchFailure::Redirect:
        case FetchFailure::BadAddress:
        case FetchFailure::Timeout:
            return false;
        default:
            return true;
    }
}

}  // namespace

FetchOutcome attemptPage(const FetchAttempt& attempt, std::string& body,
                         const std::atomic<bool>& abortFlag, Clock::time_point deadline) {
    body.clear();
    FetchOutcome outcome;
    for (int made = 0; made < FETCH_ATTEMPTS && !abortFlag.load(); ++made) {
        if (made > 0 && !waitUntil(std::min(Clock::now() + retryPause(made), deadline), abortFlag))
            break;
        if (Clock::now() >= deadline) {
            outcome.failure = FetchFailure::Timeout;
            break;
        }
        outcome = attempt(body, deadline);
        if (!body.empty() || !worthRetrying(outcome)) break;
    }
    if (body.empty() && outcome.failure == FetchFailure::None && !abortFlag.load())
        outcome.failure = FetchFailure::EmptyBody;
    return outcome;
}

}  // namespace vexor
