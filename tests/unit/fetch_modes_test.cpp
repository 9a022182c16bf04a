// How a run fetches: the fetching service's address and answer, the fetchers the settings give
// or the reason they give none, and how a proxy that failed is named.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/network_fetcher.h"
#include "app/survey_failures.h"
#include "app/text_format.h"
#include "app/texts.h"
#include "test_workspace.h"
#include "web/service_fetcher.h"

namespace vexor {
namespace {

TEST(ServiceFetcher, TheAddressGoesInEscapedWhereverTheTemplateMarksIt) {
    struct Case {
        const char* addressTemplate;
        std::string address;
        const char* asked;
    };
    const Case cases[] = {
        {"http://svc.test/fetch?key=K&url={url}", "https://e.test/s?q=a b&p=2",
         "http://svc.test/fetch?key=K&url=https%3A%2F%2Fe.test%2Fs%3Fq%3Da%20b%26p%3D2"},
        {"{url}", "http://e.test/~a-b_c.d%41+", "http%3A%2F%2Fe.test%2F~a-b_c.d%2541%2B"},
        {"http://svc.test/{url}/again/{url}", "x\x93\x8C\xFF", "http://svc.test/x%93%8C%FF/again/x%93%8C%FF"},
        {"http://svc.test/url=", "http://e.test/", "http://svc.test/url="},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(serviceAddress(c.addressTemplate, c.address), c.asked) << c.addressTemplate;
        EXPECT_EQ(holdsUrlMark(c.addressTemplate), std::string(c.addressTemplate).find('{') != std::string::npos);
    }
}

TEST(ServiceFetcher, TheAnswerIsThePageOfTheQueryAddressNeverOfTheService) {
    struct Case {
        FetchOutcome answer;
        const char* body;
        std::string finalAddress;
    };
    const std::string address = "https://e.test/s?q=a";
    const Case cases[] = {
        {{FetchFailure::None, 200, -1, "http://svc.test/fetch?key=SECRET&url=x"}, "<html>page</html>", address},
        {{FetchFailure::None, 401, -1, "http://svc.test/fetch?key=SECRET&url=x"}, "unknown key", address},
        {{FetchFailure::None, 429, 30, "http://svc.test/fetch?key=SECRET&url=x"}, "", address},
        {{FetchFailure::Network, 0, -1, ""}, "", ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> asked;
        const PageFetcher fetch = serviceFetcher(
            "http://svc.test/fetch?key=SECRET&url={url}",
            [&](const std::string& serviceAddress, std::string& body, const std::atomic<bool>&) {
                asked.push_back(serviceAddress);
                body = c.body;
                return c.answer;
            });
        std::string body;
        const std::atomic<bool> abort{false};
        const FetchOutcome got = fetch(address, body, abort);
        EXPECT_EQ(asked, std::vector<std::string>{"http://svc.test/fetch?key=SECRET&url=https%3A%2F%2Fe.test%2Fs%3Fq%3Da"});
        EXPECT_EQ(body, c.body);
        EXPECT_EQ(got, (FetchOutcome{c.answer.failure, c.answer.status, c.answer.retryAfterSeconds, c.finalAddress}));
    }
}

TEST(RunFetchers, SettingsThatGiveNoFetcherSayWhyWithoutTheServiceAddress) {
    struct Case {
        std::optional<FetchMode> mode;
        const char* fetchValue;
        const char* serviceTemplate;
        std::string refusal;
        const char* browser = "";
    };
    const Case cases[] = {
        {std::nullopt, "chrome", "", formatWithText(texts::FMT_FETCH_UNKNOWN, "chrome")},
        {FetchMode::Service, "service", "", texts::TEXT_SERVICE_MISSING},
        {FetchMode::Service, "service", "https://svc.example/get?key=SECRET&u=", texts::TEXT_SERVICE_NO_URL},
        {FetchMode::Direct, "", "https://svc.example/get?key=SECRET&u=", ""},
        {FetchMode::Service, "service", "https://svc.example/get?key=SECRET&u={url}", ""},
        // A browser is started only by the first fetch, so a named one need not exist here.
        {FetchMode::Browser, "browser", "", "", "browsers/not-started"},
    };
    const testing::TestWorkspace files;
    for (const Case& c : cases) {
        NetworkSettings settings;
        settings.browser = c.browser;
        settings.fetchMode = c.mode;
        settings.fetchValue = c.fetchValue;
        settings.serviceTemplate = c.serviceTemplate;
        settings.proxies = {"http://u:pw@p1.test:8080", "p2.test:3128"};
        const RunFetchers run = runFetchers(settings, files.workspace());
        EXPECT_EQ(run.refusal, c.refusal) << c.fetchValue;
        EXPECT_EQ(run.refusal.find("SECRET"), std::string::npos);
        EXPECT_EQ(static_cast<bool>(run.fetch), c.refusal.empty());
        std::vector<std::string> proxies;
        for (const ProxyRoute& route : run.proxies) proxies.push_back(route.proxy);
        EXPECT_EQ(proxies, c.refusal.empty() ? settings.proxies : std::vector<std::string>{});
    }
}

TEST(RunFetchers, AFailureThroughAProxyNamesItWithoutItsPassword) {
    const std::pair<SearchFailure, std::string> cases[] = {
        {{1, FailureCause::Network, 0, "127.0.0.1:9"},
         std::string(texts::TEXT_FAILED_NETWORK) + formatWithText(texts::FMT_FAILED_PROXY, "127.0.0.1:9")},
        {{3, FailureCause::Timeout, 0, "http://user:pw@p.test:8080"},
         std::string(texts::TEXT_FAILED_TIMEOUT) + formatWithNumber(texts::FMT_FAILED_ON_PAGE, 3) +
             formatWithText(texts::FMT_FAILED_PROXY, "http://p.test:8080")},
        {{1, FailureCause::Network, 0, ""}, texts::TEXT_FAILED_NETWORK},
    };
    for (const auto& [failure, text] : cases) EXPECT_EQ(failureText(failure), text) << failure.proxy;
}

}  // namespace
}  // namespace vexor
