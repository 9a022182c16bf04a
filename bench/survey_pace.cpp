// The pace of a long survey and what it holds open, measured by hand (never by ctest): KEYWORDS
// keywords (default 2000, at most 5040) searched one after the other through the fetcher both
// front ends use, against the fake engine's plain layout. The keywords are "pace" and the
// digits 0 to 6 in each order: their bytes add up alike, so the engine's default placement puts
// the target at rank 59 for each, six pages a keyword, and every tenth of the run does the same
// work. For each tenth it prints the keywords and pages a second, the process's
// open handles (file descriptors on POSIX) and the connections the engine has accepted and
// holds open, so that a pace that falls or handles that pile up show as the run goes on.
// Usage: tests/net/with-fake-engine [cmake/wine-run] build/<preset>/bench/survey_pace[.exe] [KEYWORDS]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/network_fetcher.h"
#include "open_handles.h"
#include "pace_keywords.h"
#include "plain_engine.h"
#include "survey/rank_search.h"

namespace vexor {
namespace {

using Clock = std::chrono::steady_clock;

class CountingEvents : public SurveyEvents {
public:
    void progress(int, int) override { ++pages; }
    void result(int, int) override {}
    long pages = 0;
};

std::string engineConnections() {
    const std::atomic<bool> never{false};
    std::string body;
    fetchPage("http://control.test/connections", body, never);
    if (!body.empty() && body.back() == '\n') body.pop_back();
    for (char& c : body)
        if (c == '\t') c = '/';
    return body;
}

int run(int keywords) {
    EngineDefinition engine = testing::plainEngine();
    SurveyState state;
    state.target = "www.target-site.example";
    state.keywords = paceKeywords(keywords);
    keywords = static_cast<int>(state.keywords.size());
    CountingEvents events;
    SurveyContext context{state, engine, events, networkFetcher(NetworkSettings{}), localNow};

    std::printf("keywords        kw/s  pages/s  handles  engine connections accepted/open\n");
    std::printf("start                         %7d  %s\n", testing::openHandleCount(),
                engineConnections().c_str());
    const int block = std::max(1, keywords / 10);
    long failed = 0;
    for (int from = 0; from < keywords; from += block) {
        const int to = std::min(keywords, from + block);
        const long pagesBefore = events.pages;
        const auto start = Clock::now();
        for (int row = from; row < to; ++row)
            if (searchRank(context, row).entry.failure) ++failed;
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        std::printf("%5d-%-5d  %7.1f  %7.1f  %7d  %s\n", from + 1, to, (to - from) / seconds,
                    (events.pages - pagesBefore) / seconds, testing::openHandleCount(),
                    engineConnections().c_str());
    }
    std::printf("failed keywords: %ld\n", failed);
    return failed == 0 ? 0 : 1;
}

}  // namespace
}  // namespace vexor

int main(int argc, char** argv) {
    if (!std::getenv("VEXOR_FAKE_ENGINE")) {
        std::fprintf(stderr, "run this program through tests/net/with-fake-engine\n");
        return 2;
    }
    return vexor::run(argc > 1 ? std::atoi(argv[1]) : 2000);
}
