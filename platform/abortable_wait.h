// Waiting that a stop request from another thread ends at once.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace vexor {

// Sleeps until deadline (steady clock), looking at abortFlag every 20 ms; false when the flag
// ended the wait.
inline bool waitUntil(std::chrono::steady_clock::time_point deadline, const std::atomic<bool>& abortFlag) {
    constexpr std::chrono::milliseconds ABORT_CHECK{20};
    for (;;) {
        if (abortFlag.load()) return false;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return true;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(deadline - now, ABORT_CHECK));
    }
}

inline bool waitFor(std::chrono::milliseconds pause, const std::atomic<bool>& abortFlag) {
    return waitUntil(std::chrono::steady_clock::now() + pause, abortFlag);
}

}  // namespace vexor
