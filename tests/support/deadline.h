// Waiting in tests with a deadline: a fault that never lets the awaited thing happen must fail
// the test, not hang the suite.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace vexor::testing {

inline constexpr std::chrono::seconds TEST_DEADLINE{30};

// Polls until done() holds or the deadline passes; true when done() held.
inline bool waitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds deadline = TEST_DEADLINE) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// A scripted fetch that stalls like a dead server until the abort flag rises; past the deadline
// it gives up, so a missing abort shows up as a failed expectation.
inline void stallUntilAborted(const std::atomic<bool>& abortFlag) {
    waitUntil([&abortFlag] { return abortFlag.load(); });
}

}  // namespace vexor::testing
