// The attempts of one page fetch as both fetchers make them: how many, the pauses between them,
// and what ends them.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>

#include "web/page_fetcher.h"

namespace vexor {

// One attempt: the GET of the page's address and of each redirect it leads to, into body (empty
// when the attempt failed); a Timeout once deadline passes before the page is whole.
using FetchAttempt =
    std::function<FetchOutcome(std::string& body, std::chrono::steady_clock::time_point deadline)>;

// The pause before the next attempt after attemptsMade attempts: a quarter of a second after the
// first, doubling with each attempt up to four seconds, so that a failing server is never asked
// in a burst.
inline constexpr std::chrono::milliseconds FIRST_RETRY_PAUSE{250};
inline constexpr std::chrono::milliseconds LONGEST_RETRY_PAUSE{4000};
std::chrono::milliseconds retryPause(int attemptsMade);

// Attempts that cost the network time-out (the server took the request and then said nothing)
// before the fetch gives up: the first and one more.
inline constexpr int STALLED_ATTEMPTS = 2;

// Where the attempts take the time from and how they wait; tests pass a scripted clock.
struct AttemptClock {
    std::function<std::chrono::steady_clock::time_point()> now;
    // Waits until the time; false when the abort flag ended the wait.
    std::function<bool(std::chrono::steady_clock::time_point, const std::atomic<bool>&)> waitUntil;
};

// The steady clock and the abortable wait.
AttemptClock realAttemptClock();

// Makes attempts, with a retryPause before each one after the first, until one brings a body,
// the answer is an error status (400 and above), a failure that the same request would meet again
// comes (certificate, refused redirect, bad address, timeout), FETCH_ATTEMPTS have been made,
// STALLED_ATTEMPTS have each failed only after the network time-out, or the abort flag rises.
// No attempt is started when the pause before it would end past the deadline. The outcome is the
// last attempt's, with EmptyBody when it failed in no other way.
FetchOutcome attemptPage(const FetchAttempt& attempt, std::string& body,
                         const std::atomic<bool>& abortFlag,
                         std::chrono::steady_clock::time_point deadline,
                         const AttemptClock& clock = realAttemptClock());

}  // namespace vexor
