// The attempts of one page on a scripted clock: how many a failing server gets, the pauses
// between them, and what ends them early (a body, an error status, a stalled server, the
// deadline, an abort).
#include "web/fetch_attempts.h"

#include <gtest/gtest.h>

#include <vector>

namespace vexor {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// What a scripted server does on every attempt.
struct Script {
    const char* name;
    std::chrono::milliseconds takes;  // how long each attempt lasts
    FetchOutcome answer;              // of an attempt that brings no body
    int bodyOnAttempt;                // the attempt that brings a body; 0: none does
    std::chrono::milliseconds deadline;
    int abortInPause;                 // the pause (1-based) that an abort ends; 0: none
    // Expected:
    std::vector<std::chrono::milliseconds> pauses;
    FetchFailure failure;
};

const Script SCRIPTS[] = {
    {"an empty answer at once", 10ms, {FetchFailure::None, 200}, 0, 30s, 0,
     {250ms, 500ms, 1000ms, 2000ms, 4000ms}, FetchFailure::EmptyBody},
    {"a reset connection", 10ms, {FetchFailure::Network, 0}, 0, 30s, 0,
     {250ms, 500ms, 1000ms, 2000ms, 4000ms}, FetchFailure::Network},
    {"a body on the third attempt", 10ms, {FetchFailure::None, 200}, 3, 30s, 0,
     {250ms, 500ms}, FetchFailure::None},
    {"a stalled server", 5000ms, {FetchFailure::Network, 0}, 0, 30s, 0, {250ms}, FetchFailure::Network},
    {"an error status", 10ms, {FetchFailure::None, 503}, 0, 30s, 0, {}, FetchFailure::EmptyBody},
    {"a pause that would end past the deadline", 10ms, {FetchFailure::Network, 0}, 0, 3s, 0,
     {250ms, 500ms, 1000ms}, FetchFailure::Network},
    {"an abort during the second pause", 10ms, {FetchFailure::Network, 0}, 0, 30s, 2,
     {250ms, 500ms}, FetchFailure::Network},
};

TEST(FetchAttempts, FollowTheirScript) {
    for (const Script& script : SCRIPTS) {
        SCOPED_TRACE(script.name);
        Clock::time_point now{};
        std::atomic<bool> abort{false};
        std::vector<std::chrono::milliseconds> pauses;
        const AttemptClock clock{
            [&] { return now; },
            [&](Clock::time_point until, const std::atomic<bool>&) {
                pauses.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(until - now));
                now = until;
                if (static_cast<int>(pauses.size()) == script.abortInPause) abort = true;
                return !abort;
            }};
        int attempts = 0;
        const auto attempt = [&](std::string& body, Clock::time_point) {
            now += script.takes;
            if (++attempts == script.bodyOnAttempt) {
                body = "page";
                return FetchOutcome{FetchFailure::None, 200};
            }
            return script.answer;
        };
        std::string body = "left over";
        const FetchOutcome outcome = attemptPage(attempt, body, abort, now + script.deadline, clock);
        EXPECT_EQ(pauses, script.pauses);
        EXPECT_EQ(attempts, script.abortInPause ? script.abortInPause : static_cast<int>(script.pauses.size()) + 1);
        EXPECT_EQ(outcome.failure, script.failure);
        EXPECT_EQ(body, script.bodyOnAttempt ? "page" : "");
    }
}

}  // namespace
}  // namespace vexor
