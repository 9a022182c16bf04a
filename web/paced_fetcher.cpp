// The wait between two fetches.
#include "web/paced_fetcher.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <thread>

namespace vexor {
namespace {

using Clock = std::chrono::steady_clock;

// How often a wait looks at the abort flag.
constexpr std::chrono::milliseconds ABORT_CHECK{20};

// Shared by the copies of one paced fetcher: the survey worker gets a copy of the one the
// learn command uses.
struct Pacing {
    std::mutex mutex;
    std::optional<Clock::time_point> lastEnd;
    std::mt19937_64 random{std::random_device{}()};
};

// Sleeps until deadline; false when the abort flag ended the wait.
bool waitUntil(Clock::time_point deadline, const std::atomic<bool>& abortFlag) {
    for (;;) {
        if (abortFlag.load()) return false;
        const auto now = Clock::now();
        if (now >= deadline) return true;
        std::this_thread::sleep_for(std::min<Clock::duration>(deadline - now, ABORT_CHECK));
    }
}

}  // namespace

PageFetcher pacedFetcher(PageFetcher inner, std::chrono::milliseconds delay) {
    if (delay.count() <= 0) return inner;
    auto pacing = std::make_shared<Pacing>();
    return [inner = std::move(inner), delay, pacing](const std::string& address, std::string& body,
                                                     const std::atomic<bool>& abortFlag) {
        std::optional<Clock::time_point> deadline;
        {
            std::lock_guard<std::mutex> lock(pacing->mutex);
            if (pacing->lastEnd) {
                std::uniform_int_distribution<long long> extra(0, delay.count());
                deadline = *pacing->lastEnd + delay + std::chrono::milliseconds(extra(pacing->random));
            }
        }
        if (deadline && !waitUntil(*deadline, abortFlag)) {
            body.clear();
            return FetchOutcome{};
        }
        const FetchOutcome outcome = inner(address, body, abortFlag);
        std::lock_guard<std::mutex> lock(pacing->mutex);
        pacing->lastEnd = Clock::now();
        return outcome;
    };
}

}  // namespace vexor
