// The page fetcher over TLS against the fake engine's HTTPS side (a CONNECT tunnel through the
// proxy, a certificate of the test authority), its redirects between the schemes, and the
// outcome it reports: why a body is missing and which HTTP status came.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "fake_engine_control.h"
#include "web/page_fetcher.h"

namespace vexor {
namespace {

using test::FakeEngineTest;
using test::LoggedRequest;
using test::loggedRequests;

struct Fetched {
    std::string body;
    FetchOutcome outcome;
};

Fetched fetch(const std::string& address) {
    const std::atomic<bool> never{false};
    Fetched fetched{"left over", {}};
    fetched.outcome = fetchPage(address, fetched.body, never);
    return fetched;
}

std::vector<LoggedRequest> requestsOf(const std::string& method) {
    std::vector<LoggedRequest> picked;
    for (auto& r : loggedRequests())
        if (r.method == method) picked.push_back(r);
    return picked;
}

const std::string RESULT_11 = "http://www.site011-k294.example/p11.html";  // of keyword abc

using HttpsFetch = FakeEngineTest;

// The fake engine answers "https" requests only inside a CONNECT tunnel, with the certificate of
// its test CA; a tunnel opened by an earlier test may be used again (WinINet keeps connections
// across internet handles), so only a first visit to a host and port is sure to log its CONNECT.
TEST_F(HttpsFetch, GoesThroughTheProxyWithConnectAndVerifiesTheCertificate) {
    const std::string address = "https://plain.engine.test/search?q=abc&start=10&hl=ja";
    const Fetched got = fetch(address);
    EXPECT_NE(got.body.find(RESULT_11), std::string::npos);
    EXPECT_EQ(got.outcome, (FetchOutcome{FetchFailure::None, 200, -1, address}));

    for (const auto& tunnel : requestsOf("CONNECT")) EXPECT_EQ(tunnel.target, "plain.engine.test:443");
    const auto gets = requestsOf("GET");
    ASSERT_EQ(gets.size(), 1u);
    EXPECT_EQ(gets[0].scheme, "https");
    EXPECT_EQ(gets[0].host, "plain.engine.test");
    EXPECT_EQ(gets[0].path, "/search?q=abc&start=10&hl=ja");
    EXPECT_EQ(gets[0].userAgent, USER_AGENT);
}

TEST_F(HttpsFetch, KeepsThePortTheAddressNames) {
    const Fetched got = fetch("https://Plain.Engine.Test:8443/search?q=abc&start=10");
    EXPECT_NE(got.body.find(RESULT_11), std::string::npos);
    const auto tunnels = requestsOf("CONNECT");
    ASSERT_EQ(tunnels.size(), 1u);  // no other test uses this port
    EXPECT_EQ(tunnels[0].host, "plain.engine.test");
    EXPECT_EQ(tunnels[0].port, "8443");
    EXPECT_EQ(requestsOf("GET").at(0).scheme, "https");
}

TEST_F(HttpsFetch, OtherSchemesAreStillPlainHttpOnPort80) {
    const Fetched got = fetch("ftp://plain.engine.test:2121/search?q=abc&start=10");
    EXPECT_NE(got.body.find(RESULT_11), std::string::npos);
    const auto requests = loggedRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].scheme, "http");
    EXPECT_TRUE(requests[0].port.empty() || requests[0].port == "80") << requests[0].target;
}

TEST_F(HttpsFetch, FollowsARedirectFromHttpToHttps) {
    const Fetched got = fetch("http://tohttps.fault.test/search?q=abc&start=10");
    EXPECT_NE(got.body.find(RESULT_11), std::string::npos);
    EXPECT_EQ(got.outcome, (FetchOutcome{FetchFailure::None, 200, -1,
                                         "https://plain.engine.test/search?q=abc&start=10"}));
    const auto gets = requestsOf("GET");
    ASSERT_EQ(gets.size(), 2u);
    EXPECT_EQ(gets[0].host, "tohttps.fault.test");
    EXPECT_EQ(gets[0].scheme, "http");
    EXPECT_EQ(gets[1].host, "plain.engine.test");
    EXPECT_EQ(gets[1].scheme, "https");
    EXPECT_EQ(gets[1].path, "/search?q=abc&start=10");
}

TEST_F(HttpsFetch, RefusesARedirectFromHttpsToHttpWithoutAskingAgain) {
    const std::string address = "https://moved.fault.test/search?q=abc&start=10";
    const Fetched got = fetch(address);
    EXPECT_EQ(got.body, "");
    EXPECT_EQ(got.outcome, (FetchOutcome{FetchFailure::Redirect, 302, -1, address}));
    // The page is never asked for in the clear, and the refusal is final: one attempt.
    for (const auto& r : loggedRequests()) EXPECT_NE(r.host, "plain.engine.test") << r.target;
    EXPECT_EQ(requestsOf("GET").size(), 1u);
}

TEST_F(HttpsFetch, ACertificateThatDoesNotVerifyFailsAndIsNamed) {
    for (const char* host : {"untrusted.tls.test", "wrongname.tls.test"}) {
        SCOPED_TRACE(host);
        ASSERT_EQ(test::controlRequest("/reset"), "ok\n");
        const Fetched got = fetch(std::string("https://") + host + "/search?q=abc&start=10");
        EXPECT_EQ(got.body, "");
        EXPECT_EQ(got.outcome.failure, FetchFailure::Certificate);
        // Nothing is sent inside the tunnel, and the same certificate is not tried again.
        EXPECT_TRUE(requestsOf("GET").empty());
        EXPECT_EQ(requestsOf("CONNECT").size(), 1u);
    }
}

TEST_F(HttpsFetch, ErrorStatusesComeBackWithTheirBodies) {
    for (const char* scheme : {"http", "https"}) {
        for (const auto& [host, status] : {std::pair{"e403.fault.test", 403}, std::pair{"e429.fault.test", 429}}) {
            SCOPED_TRACE(std::string(scheme) + "://" + host);
            const std::string address = std::string(scheme) + "://" + host + "/search?q=abc&start=0";
            const Fetched got = fetch(address);
            EXPECT_NE(got.body.find("</h1>"), std::string::npos);
            EXPECT_EQ(got.outcome, (FetchOutcome{FetchFailure::None, status, -1, address}));
        }
    }
}

TEST_F(HttpsFetch, TellsWhyNoBodyCame) {
    EXPECT_EQ(fetch("https://empty.fault.test/").outcome,
              (FetchOutcome{FetchFailure::EmptyBody, 200, -1, "https://empty.fault.test/"}));
    EXPECT_EQ(requestsOf("GET").size(), static_cast<size_t>(FETCH_ATTEMPTS));
    EXPECT_EQ(fetch("http://reset.fault.test/").outcome.failure, FetchFailure::Network);
    EXPECT_EQ(fetch("https://reset.fault.test/").outcome.failure, FetchFailure::Network);
    EXPECT_EQ(fetch("http://").outcome.failure, FetchFailure::BadAddress);
    EXPECT_EQ(fetch("https:///search").outcome.failure, FetchFailure::BadAddress);
}

TEST_F(HttpsFetch, AKeepAliveFetcherSendsItsUserAgentAndUsesItsTunnelAgain) {
    const PageFetcher fetch = keepAliveFetcher("vexor-test/1.0 (agent)");
    const std::atomic<bool> never{false};
    std::string body;
    EXPECT_EQ(fetch("http://plain.engine.test/search?q=a&start=0", body, never).status, 200);
    for (const char* start : {"0", "10", "20"}) {
        const std::string address = std::string("https://pagenum.engine.test/find?q=a&p=") + start;
        EXPECT_EQ(fetch(address, body, never), (FetchOutcome{FetchFailure::None, 200, -1, address}));
        EXPECT_NE(body.find("www.site"), std::string::npos);
    }
    const auto gets = requestsOf("GET");
    ASSERT_EQ(gets.size(), 4u);
    for (const auto& r : gets) EXPECT_EQ(r.userAgent, "vexor-test/1.0 (agent)") << r.scheme;
    // Three pages, one tunnel (or none, where an earlier one is still open).
    EXPECT_LE(requestsOf("CONNECT").size(), 1u);
}

}  // namespace
}  // namespace vexor
