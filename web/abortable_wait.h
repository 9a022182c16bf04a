// Waiting that a caller's abort flag can end at once.
#pragma once

#include <atomic>
#include <chrono>

namespace vexor {

// Sleeps until deadline; false when the abort flag ended the wait (or was raised beforehand).
bool waitUntil(std::chrono::steady_clock::time_point deadline, const std::atomic<bool>& abortFlag);

}  // namespace vexor
