// The wait between two fetches.
#include "web/paced_fetcher.h"

#include <memory>
#include <mutex>
#include <optional>
#include <random>

#include "web/abortable_wait.h"

namespace vexor {
namespace {

using Clock = std::chrono::steady_clock;

// Shared by the copies of one paced fetcher: the survey worker gets a copy of the one the
// learn command uses.
struct Pacing {
    std::mutex mutex;
    std::optional<Clock::time_point> lastEnd;
    std::mt19937_64 random{std::random_device{}()};
};

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
