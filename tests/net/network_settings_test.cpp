// [NETWORK] UserAgent and PageDelay of vexor.ini, read as both front ends read them, change what
// the fake engine sees of a search: the user agent of every request and the time between the
// pages; without them the requests are the fixed ones, with no wait between pages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/network_fetcher.h"
#include "app/settings.h"
#include "fake_engine_control.h"
#include "live_search.h"
#include "test_workspace.h"

namespace vexor {
namespace {

using test::controlRequest;

constexpr char TARGET[] = "www.mysite.example";
constexpr double PAGE_DELAY = 0.4;  // seconds, as PageDelay=400 below

class NetworkSettingsTest : public test::FakeEngineTest {
protected:
    // Surveys abc, placed on page 4 of the plain engine, with the fetcher the settings of the
    // workspace give; the engine's log of it.
    std::vector<test::LoggedRequest> survey() {
        EXPECT_EQ(controlRequest("/place?keyword=abc&rank=31&target=" + std::string(TARGET)), "ok\n");
        EngineDefinition engine;
        engine.queryTemplate = "https://plain.engine.test/search?q=%s&start=%d&hl=ja";
        engine.pageStep = 10;
        engine.linkRules = {{LinkSelection::ExactlyTen, 1, "<h3 class=\"r\"><a href=\""}};
        const PageFetcher fetch = networkFetcher(loadNetworkSettings(files.workspace()));
        EXPECT_EQ(test::searchLive(engine, "abc", TARGET, fetch).rank, 31);
        std::vector<test::LoggedRequest> gets;
        for (auto& r : test::loggedRequests("plain.engine.test"))
            if (r.method == "GET") gets.push_back(r);
        EXPECT_EQ(gets.size(), 4u);
        return gets;
    }

    testing::TestWorkspace files;
};

TEST_F(NetworkSettingsTest, UserAgentAndPageDelayChangeWhatTheEngineSees) {
    testing::writeBytes(files.native("vexor.ini"),
                        "[WINDOW]\r\nleft=0\r\n[NETWORK]\r\nUserAgent=Mozilla/5.0 (vexor test)\r\n"
                        "PageDelay=400\r\n");
    const auto requests = survey();
    for (std::size_t i = 0; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].userAgent, "Mozilla/5.0 (vexor test)");
        if (i == 0) continue;
        const double gap = requests[i].time - requests[i - 1].time;
        EXPECT_GE(gap, PAGE_DELAY) << "page " << i + 1;
        EXPECT_LT(gap, 2 * PAGE_DELAY + 1.0) << "page " << i + 1;  // the random part is at most the delay
    }
}

TEST_F(NetworkSettingsTest, WithoutThemTheRequestIsTheFixedOne) {
    testing::writeBytes(files.native("vexor.ini"), "[ENGINE]\r\nlast=engine\\nuq.eng\r\n");
    const auto requests = survey();
    for (std::size_t i = 0; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].userAgent, USER_AGENT);
        if (i > 0) {
            EXPECT_LT(requests[i].time - requests[i - 1].time, PAGE_DELAY) << "page " << i + 1;
        }
    }
}

}  // namespace
}  // namespace vexor
