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

// The pause before the next attempt after attemptsMade attempts: it grows with each attempt.
inline constexpr int RETRY_PAUSE_STEP_MS = 50;
inline std::chrono::milliseconds retryPause(int attemptsMade) {
    return std::chrono::milliseconds(RETRY_PAUSE_STEP_MS * attemptsMade);
}

// Makes attempts, a pause before each one after the first, until one brings a body, the answer
// is an error status (400 and above), a failure that the same request would meet again comes
// (certificate, refused redirect, bad address, timeout), FETCH_ATTEMPTS have been made, the abort
// flag rises or the deadline passes (a Timeout). The outcome is the last attempt's, with
// EmptyBody when it failed in no other way.
FetchOutcome attemptPage(const FetchAttempt& attempt, std::string& body,
                         const std::atomic<bool>& abortFlag,
                         std::chrono::steady_clock::time_point deadline);

}  // namespace vexor
