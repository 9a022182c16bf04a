// The wait between two fetches that PageDelay asks for: how long it is, that the first fetch
// does not wait, that an abort ends it, and that no delay means no wait at all.
#include "web/paced_fetcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace vexor {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double secondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// A fetcher that notes when each fetch began and ended.
struct Timeline {
    std::vector<Clock::time_point> starts;
    std::vector<Clock::time_point> ends;

    PageFetcher fetcher() {
        return [this](const std::string&, std::string& body, const std::atomic<bool>&) {
            starts.push_back(Clock::now());
            std::this_thread::sleep_for(10ms);
            body = "page";
            ends.push_back(Clock::now());
            return FetchOutcome{FetchFailure::None, 200};
        };
    }
};

TEST(PacedFetcher, WaitsTheDelayPlusUpToAsMuchAgainBetweenTwoFetches) {
    Timeline timeline;
    const PageFetcher paced = pacedFetcher(timeline.fetcher(), 150ms);
    const PageFetcher copy = paced;  // the survey worker's copy keeps the same pace
    const std::atomic<bool> never{false};
    std::string body;
    const auto start = Clock::now();
    EXPECT_EQ(paced("a", body, never), (FetchOutcome{FetchFailure::None, 200}));
    EXPECT_EQ(body, "page");
    for (int i = 0; i < 4; ++i) copy("b", body, never);
    ASSERT_EQ(timeline.starts.size(), 5u);
    EXPECT_LT(secondsBetween(start, timeline.starts[0]), 0.1) << "the first fetch waited";
    for (std::size_t i = 1; i < timeline.starts.size(); ++i) {
        const double gap = secondsBetween(timeline.ends[i - 1], timeline.starts[i]);
        EXPECT_GE(gap, 0.150) << i;
        EXPECT_LT(gap, 0.300 + 0.2) << i;  // at most twice the delay, with room for a busy machine
    }
}

TEST(PacedFetcher, AnAbortEndsTheWaitAndFetchesNothing) {
    Timeline timeline;
    const PageFetcher paced = pacedFetcher(timeline.fetcher(), 5000ms);
    std::atomic<bool> abort{false};
    std::string body;
    paced("a", body, abort);
    std::thread aborter([&abort] {
        std::this_thread::sleep_for(100ms);
        abort = true;
    });
    const auto start = Clock::now();
    body = "left over";
    EXPECT_EQ(paced("b", body, abort), FetchOutcome{});
    aborter.join();
    EXPECT_LT(secondsBetween(start, Clock::now()), 2.0);
    EXPECT_EQ(body, "");
    EXPECT_EQ(timeline.starts.size(), 1u);
}

TEST(PacedFetcher, NoDelayMeansNoWait) {
    for (const auto delay : {0ms, -20ms}) {
        Timeline timeline;
        const PageFetcher paced = pacedFetcher(timeline.fetcher(), delay);
        const std::atomic<bool> never{false};
        std::string body;
        for (int i = 0; i < 5; ++i) paced("a", body, never);
        ASSERT_EQ(timeline.starts.size(), 5u);
        for (std::size_t i = 1; i < timeline.starts.size(); ++i)
            EXPECT_LT(secondsBetween(timeline.ends[i - 1], timeline.starts[i]), 0.05);
    }
}

}  // namespace
}  // namespace vexor
