// The page fetcher against the fake engine: the request it sends, its retries, its deadline, and
// what it returns when a server misbehaves or the caller aborts.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "fake_engine_control.h"
#include "web/fetch_attempts.h"
#include "web/page_fetcher.h"

namespace vexor {
namespace {

using test::controlRequest;
using test::FakeEngineTest;
using test::loggedRequests;

const std::string PLAIN_PAGE = "http://plain.engine.test/search?q=a&start=0";

// The fake engine's filler bytes for big and slow bodies: 64 bytes repeated.
const std::string PATTERN = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-\n";

std::string patternBytes(size_t size) {
    std::string out;
    while (out.size() < size) out += PATTERN;
    out.resize(size);
    return out;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string fetch(const std::string& address) {
    const std::atomic<bool> never{false};
    std::string body = "left over";
    fetchPage(address, body, never);
    return body;
}

// Fetches address while another thread raises the abort flag after delay; the seconds the
// fetch took go to elapsed.
std::string fetchAbortedAfter(const std::string& address, std::chrono::milliseconds delay,
                              double& elapsed) {
    std::atomic<bool> abort{false};
    std::string body;
    const auto start = std::chrono::steady_clock::now();
    std::thread aborter([&] {
        std::this_thread::sleep_for(delay);
        abort = true;
    });
    fetchPage(address, body, abort);
    elapsed = secondsSince(start);
    aborter.join();
    return body;
}

struct Fetched {
    std::string body;
    FetchOutcome outcome;
};

// Fetches address with a keep-alive fetcher whose pages end at deadline.
Fetched fetchWithin(const std::string& address, std::chrono::milliseconds deadline) {
    const std::atomic<bool> never{false};
    Fetched fetched{"left over", {}};
    fetched.outcome = keepAliveFetcher(USER_AGENT, deadline)(address, fetched.body, never);
    return fetched;
}

Fetched fetchOutcome(const std::string& address) {
    return fetchWithin(address, std::chrono::milliseconds(PAGE_DEADLINE_MS));
}

using PageFetcherTest = FakeEngineTest;

TEST_F(PageFetcherTest, RetriesWhileTheBodyIsEmpty) {
    EXPECT_EQ(fetch("http://empty.fault.test/search?q=a&start=0"), "");
    const auto asked = loggedRequests("empty.fault.test");
    ASSERT_EQ(asked.size(), static_cast<size_t>(FETCH_ATTEMPTS));
    // Never in a burst: each request comes at least its pause after the one before (a little
    // less only by how late the engine read the one before).
    for (size_t i = 1; i < asked.size(); ++i) {
        const double pause = std::chrono::duration<double>(retryPause(static_cast<int>(i))).count();
        EXPECT_GE(asked[i].time - asked[i - 1].time, pause - 0.05) << "before request " << i + 1;
    }

    const std::string body = fetch("http://empty2.fault.test/search?q=a&start=0");
    EXPECT_NE(body.find("http://www.site001-k97.example/p1.html"), std::string::npos);
    EXPECT_EQ(loggedRequests("empty2.fault.test").size(), 3u);

    // A connection reset is an empty attempt too.
    EXPECT_NE(fetch("http://reset2.fault.test/search?q=a&start=0"), "");
    EXPECT_EQ(loggedRequests("reset2.fault.test").size(), 3u);
}

TEST_F(PageFetcherTest, AsksPlainHttpOnPort80ForPathAndQueryWithoutCaches) {
    const std::string body =
        fetch("http://user@Plain.Engine.Test:8080/search?q=abc&start=10&hl=ja");
    EXPECT_NE(body.find("http://www.site011-k294.example/p11.html"), std::string::npos);

    const auto requests = loggedRequests();
    ASSERT_EQ(requests.size(), 1u);
    const auto& r = requests[0];
    EXPECT_EQ(r.method, "GET");
    EXPECT_EQ(r.host, "plain.engine.test");
    EXPECT_TRUE(r.port.empty() || r.port == "80") << r.target;
    EXPECT_EQ(r.path, "/search?q=abc&start=10&hl=ja");
    EXPECT_EQ(r.target.rfind("http://", 0), 0u) << "not sent to the proxy as plain HTTP: " << r.target;
    EXPECT_EQ(r.userAgent, USER_AGENT);
    EXPECT_EQ(r.acceptEncoding, "");
#ifndef _WIN32
    // WinINet's reload flags keep its own cache out and add no headers; libcurl has no cache,
    // so these headers are what keeps a proxy's cache out.
    EXPECT_EQ(r.pragma, "no-cache");
    EXPECT_EQ(r.cacheControl, "no-cache");
#endif
}

TEST_F(PageFetcherTest, SendsARawShiftJisKeywordByteForByte) {
    // The keyword Tokyo in code page 932, unescaped, as an engine that takes Shift-JIS gets it.
    const std::string path = "/cgi-bin/search.cgi?kw=\x93\x8c\x8b\x9e&first=1";
    const std::string body = fetch("http://sjis.engine.test" + path);
    const auto requests = loggedRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].path, path);
    EXPECT_NE(body.find("\x93\x8c\x8b\x9e"), std::string::npos);  // the engine read the keyword
}

TEST_F(PageFetcherTest, AnAddressWithoutHostGivesAnEmptyBodyWithoutTraffic) {
    for (const char* address : {"", "plain.engine.test/search?q=a", "http://", "http:///x"}) {
        EXPECT_EQ(fetch(address), "") << address;
    }
    EXPECT_TRUE(loggedRequests().empty());
}

TEST_F(PageFetcherTest, ReturnsTheBodyByteForByteWhateverTheStatus) {
    std::string withNuls;
    for (int i = 0; i < 1000; ++i) withNuls += static_cast<char>(i % 251);
    EXPECT_EQ(fetch("http://nul.fault.test/"), withNuls);

    const std::string notFound = fetch("http://e404.fault.test/missing.html");
    EXPECT_NE(notFound.find("<h1>Not Found</h1>"), std::string::npos);
    EXPECT_NE(fetch("http://e500.fault.test/").find("<h1>Internal Server Error</h1>"),
              std::string::npos);
    EXPECT_EQ(loggedRequests("e404.fault.test").size(), 1u);
}

TEST_F(PageFetcherTest, FollowsARedirect) {
    const std::string body = fetch("http://moved.fault.test/search?q=a&start=0");
    EXPECT_NE(body.find("http://www.site001-k97.example/p1.html"), std::string::npos);
    const auto requests = loggedRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].host, "plain.engine.test");
    EXPECT_EQ(requests[1].path, "/search?q=a&start=0");
}

TEST_F(PageFetcherTest, CutsAnOversizedBodyAtTheCap) {
    const std::string body = fetch("http://big.fault.test/");
    EXPECT_EQ(body.size(), static_cast<size_t>(BODY_CAP));
    EXPECT_TRUE(body == patternBytes(body.size())) << "the kept part is not the body's start";
    EXPECT_EQ(loggedRequests("big.fault.test").size(), 1u);
}

TEST_F(PageFetcherTest, AStalledReadEndsTheAttemptAtTheTimeOutWithNothingKept) {
    // The first answer stops after 100 of its 1000 bytes; the retry gets a results page. The
    // server would hold the stalled connection for a minute.
    const auto start = std::chrono::steady_clock::now();
    const std::string body = fetch("http://stallbody1.fault.test/search?q=a&start=0");
    EXPECT_LT(secondsSince(start), 15.0) << "the stall was not ended by the network time-out";
    EXPECT_NE(body.find("<html>"), std::string::npos);
    EXPECT_EQ(body.find(PATTERN), std::string::npos) << "the stalled part was kept";
    EXPECT_EQ(loggedRequests("stallbody1.fault.test").size(), 2u);
}

TEST_F(PageFetcherTest, AbortDuringASlowBodyKeepsThePartRead) {
    double elapsed = 0;
    const std::string body =
        fetchAbortedAfter("http://slow.fault.test/", std::chrono::milliseconds(1500), elapsed);
    EXPECT_FALSE(body.empty());
    EXPECT_LT(body.size(), 4000u);
    EXPECT_TRUE(body == patternBytes(body.size()));
    EXPECT_LT(elapsed, 7.0);
    EXPECT_EQ(loggedRequests("slow.fault.test").size(), 1u);
}

TEST_F(PageFetcherTest, AbortEndsAFetchFromAStalledServer) {
    double elapsed = 0;
    const std::string body =
        fetchAbortedAfter("http://stall.fault.test/", std::chrono::milliseconds(500), elapsed);
    EXPECT_EQ(body, "");
    EXPECT_LT(elapsed, 7.0) << "the abort was not noticed within the network time-outs";
    EXPECT_EQ(loggedRequests("stall.fault.test").size(), 1u);
}

TEST_F(PageFetcherTest, AnAbortRaisedBeforehandSendsNothing) {
    const std::atomic<bool> raised{true};
    std::string body = "left over";
    fetchPage("http://plain.engine.test/search?q=a&start=0", body, raised);
    EXPECT_EQ(body, "");
    EXPECT_TRUE(loggedRequests().empty());
}

TEST_F(PageFetcherTest, ReadsRetryAfterAndLeavesErrorStatusesToTheCaller) {
    const struct {
        const char* rule;  // of /fault, for plain.engine.test; "" for none
        int status;
        int retryAfter;
    } cases[] = {
        {"mode=e429&retry=120", 429, 120},
        {"mode=e503&retry=0", 503, 0},
        {"mode=e503", 503, -1},
        {"", 200, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        ASSERT_EQ(controlRequest("/reset"), "ok\n");
        if (*c.rule) {
            ASSERT_EQ(controlRequest(std::string("/fault?engine=plain.engine.test&") + c.rule), "ok\n");
        }
        const Fetched got = fetchOutcome(PLAIN_PAGE);
        EXPECT_EQ(got.outcome.status, c.status);
        EXPECT_EQ(got.outcome.retryAfterSeconds, c.retryAfter);
        EXPECT_EQ(got.outcome.failure, FetchFailure::None);
        EXPECT_FALSE(got.body.empty());
        EXPECT_EQ(loggedRequests().size(), 1u) << "an error status was asked for again";
    }
}

TEST_F(PageFetcherTest, NamesTheAddressTheLastResponseCameFrom) {
    EXPECT_EQ(fetchOutcome("http://moved.fault.test/search?q=a&start=0").outcome.finalAddress,
              PLAIN_PAGE);
    EXPECT_EQ(fetchOutcome(PLAIN_PAGE).outcome.finalAddress, PLAIN_PAGE);
    const Fetched refused = fetchOutcome("https://untrusted.tls.test/search?q=a&start=0");
    EXPECT_EQ(refused.outcome.failure, FetchFailure::Certificate);
    EXPECT_EQ(refused.outcome.finalAddress, "") << "no response came";
}

TEST_F(PageFetcherTest, ARedirectWithoutLocationIsAFailureNotAPage) {
    ASSERT_EQ(controlRequest("/fault?mode=noloc&engine=plain.engine.test"), "ok\n");
    const Fetched got = fetchOutcome(PLAIN_PAGE);
    EXPECT_EQ(got.body, "");
    EXPECT_EQ(got.outcome, (FetchOutcome{FetchFailure::Redirect, 302, -1, PLAIN_PAGE}));
    EXPECT_EQ(loggedRequests().size(), 1u);
}

TEST_F(PageFetcherTest, ATrickleEndsAsATimeoutAtThePageDeadlineWithNothingKept) {
    // A piece every second keeps every network time-out quiet; only the deadline ends it.
    for (const char* mode : {"tricklehead", "tricklebody"}) {
        SCOPED_TRACE(mode);
        ASSERT_EQ(controlRequest("/reset"), "ok\n");
        ASSERT_EQ(controlRequest(std::string("/fault?engine=plain.engine.test&interval=1&mode=") + mode),
                  "ok\n");
        const Fetched got = fetchWithin(PLAIN_PAGE, std::chrono::milliseconds(3000));
        EXPECT_EQ(got.outcome.failure, FetchFailure::Timeout);
        EXPECT_EQ(got.body, "");
        EXPECT_EQ(loggedRequests().size(), 1u) << "a timed-out page was asked for again";
    }
}

TEST_F(PageFetcherTest, AStalledServerCostsThePageDeadlineNotTwentyTimeOuts) {
    // One attempt ends at the 5 s network time-out, the next one at the deadline.
    const Fetched got = fetchWithin("http://stall.fault.test/", std::chrono::milliseconds(7000));
    EXPECT_EQ(got.outcome.failure, FetchFailure::Timeout);
    EXPECT_EQ(got.body, "");
    EXPECT_LE(loggedRequests("stall.fault.test").size(), 2u);
}

}  // namespace
}  // namespace vexor
