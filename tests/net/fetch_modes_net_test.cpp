// The fetching service and proxies against the fake engine: the service's answer is the page
// its url parameter gets (a wrong key is a failure, never a rank), and a run's keywords take the
// proxies in turn, a dead one failing its keyword with its name.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/network_fetcher.h"
#include "app/survey_commands.h"
#include "fake_engine_control.h"
#include "fake_ui.h"
#include "live_search.h"
#include "plain_engine.h"
#include "recording_events.h"
#include "survey/survey_control.h"
#include "test_workspace.h"

namespace vexor {
namespace {

using test::controlRequest;
using test::loggedRequests;
using testing::RecordedEvent;

constexpr char TARGET[] = "www.target-site.example";
constexpr char DEAD_PROXY[] = "http://127.0.0.1:9";  // the discard port: nothing listens there

EngineDefinition secureEngine() {
    EngineDefinition engine = testing::plainEngine();
    engine.queryTemplate = "https://plain.engine.test/search?q=%s&start=%d&hl=ja";
    return engine;
}

using FetchModesNet = test::FakeEngineTest;

TEST_F(FetchModesNet, TheServiceAnswersWithThePageOfTheQueryAddress) {
    struct Case {
        const char* serviceTemplate;
        int rank;
        int status;  // of the failure, 0 when ranked
    };
    const Case cases[] = {
        {"http://service.test/fetch?key=fake-service-key-7&url={url}", 13, 0},
        {"https://service.test/fetch?url={url}&key=fake-service-key-7", 13, 0},
        {"http://service.test/fetch?key=stolen-guess&url={url}", 0, 401},
    };
    for (const Case& c : cases) {
        controlRequest("/reset");
        ASSERT_EQ(controlRequest("/place?keyword=abc&rank=13"), "ok\n");  // pages 1 and 2
        NetworkSettings settings;
        settings.fetchMode = FetchMode::Service;
        settings.serviceTemplate = c.serviceTemplate;
        const RunFetchers run = runFetchers(settings, testing::TestWorkspace().workspace());
        ASSERT_EQ(run.refusal, "");
        const test::LiveSearch search = test::searchLive(secureEngine(), "abc", TARGET, run.fetch);
        EXPECT_EQ(search.rank, c.rank) << c.serviceTemplate;
        EXPECT_EQ(search.recorded.failed(), c.status != 0);
        if (c.status != 0) {
            EXPECT_EQ(search.ending.failure, (SearchFailure{1, FailureCause::HttpStatus, c.status}));
        }
        // Every page went to the service; the engine saw them only as the service's own fetches.
        std::size_t serviceGets = 0;
        for (const auto& request : loggedRequests("service.test")) serviceGets += request.method == "GET";
        const auto pages = loggedRequests("plain.engine.test");
        EXPECT_EQ(pages.size(), c.status ? 0u : 2u);
        EXPECT_EQ(serviceGets, c.status ? 1u : pages.size());
        for (const auto& page : pages) EXPECT_EQ(page.target.rfind("https://plain.engine.test/search?q=abc&start=", 0), 0u);
    }
}

TEST_F(FetchModesNet, KeywordsTakeTheProxiesInTurnAndADeadOneIsNamed) {
    const char* engineAddress = std::getenv("VEXOR_FAKE_ENGINE");
    ASSERT_NE(engineAddress, nullptr);
    testing::TestWorkspace files;
    testing::writeBytes(files.native("survey.txt"), std::string(TARGET) + "\r\none\r\ntwo\r\nthree\r\n");
    testing::writeBytes(files.native("vexor.ini"), "[NETWORK]\r\nProxy=" + std::string(engineAddress) + " " +
                                                       DEAD_PROXY + "\r\n");
    for (const char* keyword : {"one", "two", "three"})
        ASSERT_EQ(controlRequest("/place?keyword=" + std::string(keyword) + "&rank=4"), "ok\n");

    RunFetchers run = runFetchers(loadNetworkSettings(files.workspace()), files.workspace());
    ASSERT_EQ(run.proxies.size(), 2u);
    SurveyState state;
    state.surveyPath = "survey.txt";
    testing::FakeUi ui;
    testing::RecordingEvents events;
    const EngineDefinition engine = secureEngine();
    const std::string enginePath = "engine\\plain.eng";
    const SurveyStart start{engine, enginePath, events, run.fetch, localNow, false, {}, run.proxies};
    ASSERT_TRUE(startSurvey(state, files.workspace(), start, ui, ui));
    waitForSurvey(state);

    std::vector<std::pair<int, SearchFailure>> endings;
    for (const auto& e : events.of(RecordedEvent::Ended)) endings.emplace_back(e.row, e.failure);
    const SearchFailure none{};
    EXPECT_EQ(endings, (std::vector<std::pair<int, SearchFailure>>{
                           {0, none}, {1, {1, FailureCause::Network, 0, DEAD_PROXY}}, {2, none}}));
    std::vector<std::pair<int, int>> ranks;
    for (const auto& e : events.of(RecordedEvent::Result)) ranks.emplace_back(e.row, e.value);
    EXPECT_EQ(ranks, (std::vector<std::pair<int, int>>{{0, 4}, {1, 0}, {2, 4}}));
    std::vector<std::string> asked;
    for (const auto& request : loggedRequests("plain.engine.test"))
        if (request.method == "GET") asked.push_back(request.path);
    EXPECT_EQ(asked, (std::vector<std::string>{"/search?q=one&start=0&hl=ja", "/search?q=three&start=0&hl=ja"}));
}

}  // namespace
}  // namespace vexor
