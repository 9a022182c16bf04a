// The cost of reading pages through the browser, measured by hand (never by ctest): a survey of
// KEYWORDS keywords (default 30) against the fake engine's plain layout, once through the
// browser fetcher and once through the direct fetcher. For the browser it prints the time each
// page cost the survey next to the browser's own load time of that page (its navigation entry's
// duration), and the start-up of the browser: what the run's first page cost beyond the others.
// The keywords are those of survey_pace (pace_keywords.h), six pages each. LATENCY_MS (default
// 0) has the engine wait that long before each answer, as an engine across the internet does.
// Usage: tests/net/with-fake-engine build/native/bench/browser_pace [KEYWORDS [LATENCY_MS]]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/network_fetcher.h"
#include "pace_keywords.h"
#include "plain_engine.h"
#include "survey/rank_search.h"
#include "temp_folder.h"
#include "web/browser_fetcher.h"
#include "web/browser_location.h"

namespace vexor {
namespace {

using Clock = std::chrono::steady_clock;

class QuietEvents : public SurveyEvents {
public:
    void progress(int, int) override {}
    void result(int, int) override {}
};

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double mean(const std::vector<double>& values) {
    double sum = 0;
    for (double v : values) sum += v;
    return values.empty() ? 0 : sum / static_cast<double>(values.size());
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Searches every keyword of state through fetch; the failed keywords.
int survey(SurveyState& state, const PageFetcher& fetch) {
    const EngineDefinition engine = testing::plainEngine();
    QuietEvents events;
    SurveyContext context{state, engine, events, fetch, localNow};
    int failed = 0;
    for (int row = 0; row < static_cast<int>(state.keywords.size()); ++row)
        failed += searchRank(context, row).entry.failure.has_value();
    return failed;
}

int run(int keywords, int latencyMs) {
    SurveyState state;
    state.target = "www.target-site.example";
    state.keywords = paceKeywords(keywords);

    const std::string program = findBrowser("");
    if (program.empty()) {
        std::fprintf(stderr, "no browser found\n");
        return 2;
    }
    const PageFetcher direct = networkFetcher(NetworkSettings{});
    std::string answer;
    const std::atomic<bool> never{false};
    direct("http://control.test/latency?ms=" + std::to_string(latencyMs), answer, never);
    if (answer != "ok\n") {
        std::fprintf(stderr, "the engine did not take the latency: %s\n", answer.c_str());
        return 2;
    }
    testing::TempFolder profile;
    auto session = std::make_shared<BrowserSession>(BrowserOptions{program, profile.path(), "", false});
    std::vector<double> pageMs, ownMs;
    const PageFetcher timed = [&](const std::string& address, std::string& body,
                                  const std::atomic<bool>& abortFlag) {
        const auto start = Clock::now();
        const FetchOutcome outcome = session->fetch(address, body, abortFlag);
        pageMs.push_back(millisecondsSince(start));
        const auto own = session->evaluate(
            "performance.getEntriesByType('navigation')[0].duration", abortFlag);
        ownMs.push_back(own ? std::atof(own->c_str()) : 0);
        return outcome;
    };
    const auto browserStart = Clock::now();
    const int browserFailed = survey(state, timed);
    const double browserTotal = millisecondsSince(browserStart);
    session->close();

    std::vector<double> directMs;
    const PageFetcher directTimed = [&](const std::string& address, std::string& body,
                                        const std::atomic<bool>& abortFlag) {
        const auto start = Clock::now();
        const FetchOutcome outcome = direct(address, body, abortFlag);
        directMs.push_back(millisecondsSince(start));
        return outcome;
    };
    const int directFailed = survey(state, directTimed);

    const std::vector<double> later(pageMs.begin() + (pageMs.empty() ? 0 : 1), pageMs.end());
    const std::vector<double> laterOwn(ownMs.begin() + (ownMs.empty() ? 0 : 1), ownMs.end());
    std::printf("keywords %zu, engine latency %d ms, pages %zu through the browser (%d failed), "
                "%zu direct (%d failed)\n",
                state.keywords.size(), latencyMs, pageMs.size(), browserFailed, directMs.size(), directFailed);
    std::printf("browser run             %8.0f ms\n", browserTotal);
    std::printf("first page (start-up)   %8.0f ms, of which start-up about %.0f ms\n",
                pageMs.empty() ? 0 : pageMs.front(), pageMs.empty() ? 0 : pageMs.front() - median(later));
    std::printf("page through browser    %8.1f ms mean, %.1f ms median\n", mean(later), median(later));
    std::printf("browser's own load      %8.1f ms mean, %.1f ms median\n", mean(laterOwn), median(laterOwn));
    std::printf("ratio (mean)            %8.2f\n", mean(laterOwn) > 0 ? mean(later) / mean(laterOwn) : 0);
    std::printf("page direct             %8.1f ms mean, %.1f ms median\n", mean(directMs), median(directMs));
    return browserFailed + directFailed == 0 ? 0 : 1;
}

}  // namespace
}  // namespace vexor

int main(int argc, char** argv) {
    if (!std::getenv("VEXOR_FAKE_ENGINE")) {
        std::fprintf(stderr, "run this program through tests/net/with-fake-engine\n");
        return 2;
    }
    return vexor::run(argc > 1 ? std::atoi(argv[1]) : 30, argc > 2 ? std::atoi(argv[2]) : 0);
}
