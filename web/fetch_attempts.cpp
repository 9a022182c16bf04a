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

std::chrono::milliseconds retryPause(int attemptsMade) {
    std::chrono::milliseconds pause = FIRST_RETRY_PAUSE;
    for (int made = 1; made < attemptsMade && pause < LONGEST_RETRY_PAUSE; ++made) pause *= 2;
    return std::min(pause, LONGEST_RETRY_PAUSE);
}

AttemptClock realAttemptClock() {
    return {[] { return Clock::now(); },
            [](Clock::time_point until, const std::atomic<bool>& abortFlag) { return waitUntil(until, abortFlag); }};
}

FetchOutcome attemptPage(const FetchAttempt& attempt, std::string& body,
                         const std::atomic<bool>& abortFlag, Clock::time_point deadline,
                         const AttemptClock& clock) {
    body.clear();
    FetchOutcome outcome;
    int stalled = 0;
    for (int made = 0; made < FETCH_ATTEMPTS && !abortFlag.load(); ++made) {
        if (made > 0) {
            const Clock::time_point next = clock.now() + retryPause(made);
            if (next >= deadline || !clock.waitUntil(next, abortFlag)) break;
        }
        const Clock::time_point began = clock.now();
        outcome = attempt(body, deadline);
        if (!body.empty() || !worthRetrying(outcome)) break;
        if (clock.now() - began >= std::chrono::milliseconds(NETWORK_TIMEOUT_MS) &&
            ++stalled >= STALLED_ATTEMPTS)
            break;
    }
    if (body.empty() && outcome.failure == FetchFailure::None && !abortFlag.load())
        outcome.failure = FetchFailure::EmptyBody;
    return outcome;
}

}  // namespace vexor
