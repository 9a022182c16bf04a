// The wait itself: short sleeps, so that an abort is noticed within one of them.
#include "web/abortable_wait.h"

#include <algorithm>
#include <thread>

namespace vexor {
namespace {

// How often a wait looks at the abort flag.
constexpr std::chrono::milliseconds ABORT_CHECK{20};

}  // namespace

bool waitUntil(std::chrono::steady_clock::time_point deadline, const std::atomic<bool>& abortFlag) {
    using Clock = std::chrono::steady_clock;
    for (;;) {
        if (abortFlag.load()) return false;
        const auto now = Clock::now();
        if (now >= deadline) return true;
        std::this_thread::sleep_for(std::min<Clock::duration>(deadline - now, ABORT_CHECK));
    }
}

}  // namespace vexor
