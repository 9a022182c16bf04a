// The browser fetcher with the browser installed here, reading the fake engine's pages with the
// engine as its proxy: the layout whose results a script writes, the consent page a person
// accepts once, and no browser process left behind however a run ends.
#include <signal.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "browser_processes.h"
#include "deadline.h"
#include "engine/learning.h"
#include "engine/page_kind.h"
#include "fake_engine_control.h"
#include "japanese.h"
#include "platform/pipe_child.h"
#include "recording_events.h"
#include "survey/rank_search.h"
#include "temp_folder.h"
#include "tokyo_sample.h"
#include "web/browser_fetcher.h"
#include "web/browser_location.h"

namespace vexor {
namespace {

using namespace std::chrono_literals;
using test::controlRequest;
using test::escapeParam;
using test::listedResults;
using test::TOKYO_UTF8;
using test::TOKYO_UTF8_ESCAPED;

const std::string SCRIPTED = "scripted.engine.test";
const std::string CONSENT = "consent.engine.test";

std::string pageAddress(const std::string& host, int offset) {
    return "http://" + host + "/search?q=" + TOKYO_UTF8_ESCAPED + "&start=" + std::to_string(offset);
}

// Options for a browser that goes through the fake engine and keeps its profile in folder.
BrowserOptions optionsWith(const std::string& profileFolder) {
    BrowserOptions options;
    options.program = findBrowser("");
    options.profileFolder = profileFolder;
    const char* proxy = std::getenv("http_proxy");
    options.proxy = proxy ? proxy : "";
    return options;
}

bool holdsAll(const std::string& body, const std::vector<std::string>& addresses) {
    for (const auto& address : addresses)
        if (body.find(address) == std::string::npos) return false;
    return true;
}

class BrowserFetch : public test::FakeEngineTest {
protected:
    void SetUp() override {
        if (findBrowser("").empty()) GTEST_SKIP() << "no Chromium-family browser on PATH";
        FakeEngineTest::SetUp();
    }

    static void TearDownTestSuite() { shared.reset(); }

    // One browser for the cases that need no profile of their own: a start costs a second.
    static BrowserSession& sharedSession() {
        if (!shared) shared = std::make_unique<BrowserSession>(optionsWith(sharedProfile.path()));
        return *shared;
    }

    const std::atomic<bool> never{false};
    static inline testing::TempFolder sharedProfile;
    static inline std::unique_ptr<BrowserSession> shared;
};

TEST_F(BrowserFetch, ScriptWrittenResultsAreInTheRenderedPage) {
    const auto results = listedResults(TOKYO_UTF8, SCRIPTED);
    for (const int page : {1, 2}) {
        SCOPED_TRACE(page);
        const std::string address = pageAddress(SCRIPTED, 10 * (page - 1));
        std::string body;
        const FetchOutcome outcome = sharedSession().fetch(address, body, never);
        EXPECT_EQ(outcome.failure, FetchFailure::None);
        EXPECT_EQ(outcome.status, 200);
        EXPECT_EQ(outcome.finalAddress, address);
        const std::vector<std::string> shown(results.begin() + 10 * (page - 1), results.begin() + 10 * page);
        EXPECT_TRUE(holdsAll(body, shown)) << body;
        EXPECT_EQ(body.find("<noscript>"), std::string::npos);
    }
    // Nothing but the pages (and their icon) reached the engine. The browser still opens two
    // tunnels that no switch turns off (its account list, its updater); they end in the TLS
    // handshake, since the browser does not trust the engine's test certificates.
    for (const auto& request : test::loggedRequests()) {
        const bool page = request.host == SCRIPTED &&
                          (request.path.rfind("/search?", 0) == 0 || request.path == "/favicon.ico");
        const bool tunnel = request.method == "CONNECT" &&
                            (request.host == "accounts.google.com" || request.host == "update.googleapis.com");
        EXPECT_TRUE(page || tunnel) << request.method << " " << request.target;
    }
}

TEST_F(BrowserFetch, ScriptedEngineIsLearntAndRankedThroughTheBrowserAndFailsDirectly) {
    const auto results = listedResults(TOKYO_UTF8, SCRIPTED);
    EngineFields fields;
    fields.keyword = testing::cp932(u8"東京");
    fields.page2Url = pageAddress(SCRIPTED, 10);
    fields.page3Url = pageAddress(SCRIPTED, 20);
    fields.firstResultUrl = results.at(0);
    fields.tenthResultUrl = results.at(9);
    const PageFetcher viaBrowser = [](const std::string& address, std::string& body, const std::atomic<bool>& abort) {
        return sharedSession().fetch(address, body, abort);
    };
    EngineDefinition engine;
    const auto learnt = learnFromSample(engine, fields, viaBrowser, [] { return SystemTime{2026, 12, 1, 7, 9}; });
    ASSERT_EQ(learnt.outcome, LearnOutcome::Learnt);

    ASSERT_EQ(controlRequest("/place?engine=" + SCRIPTED + "&keyword=" + escapeParam(TOKYO_UTF8) +
                             "&rank=14&target=www.mysite.example"),
              "ok\n");
    struct Case {
        const char* name;
        PageFetcher fetch;
        RankEntry expected;
    };
    const Case cases[] = {
        {"through the browser", viaBrowser, RankEntry(14)},
        {"directly", fetchPage, RankEntry(0, SearchFailure{1, FailureCause::ScriptRequired, 200})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SurveyState state;
        state.target = "www.mysite.example";
        state.keywords = {testing::cp932(u8"東京")};
        testing::RecordingEvents events;
        SurveyContext context{state, engine, events, c.fetch, localNow};
        EXPECT_EQ(searchRank(context, 0).entry, c.expected);
    }
}

TEST_F(BrowserFetch, AConsentGivenOnceIsKeptForTheNextRun) {
    testing::TempFolder profile;
    testing::BrowserProcesses processes(profile.native().string());
    const std::string address = pageAddress(CONSENT, 0);
    const std::string first = listedResults(TOKYO_UTF8, CONSENT).at(0);
    {
        BrowserSession session(optionsWith(profile.path()));
        std::string body;
        ASSERT_EQ(session.fetch(address, body, never).failure, FetchFailure::None);
        EXPECT_EQ(pageKindOf(body, EngineDefinition{}), PageKind::Consent) << body;
        EXPECT_EQ(body.find(first), std::string::npos);
        // A person presses the button in the window; the same address then gives the results.
        ASSERT_TRUE(session.evaluate("document.querySelector('button.accept').click()", never));
        ASSERT_EQ(session.fetch(address, body, never).failure, FetchFailure::None);
        EXPECT_NE(body.find(first), std::string::npos) << body;
        EXPECT_GT(processes.count(), 0);
    }
    EXPECT_EQ(testing::countAfterEnding(processes), 0);
    BrowserSession nextRun(optionsWith(profile.path()));
    std::string body;
    ASSERT_EQ(nextRun.fetch(address, body, never).failure, FetchFailure::None);
    EXPECT_NE(body.find(first), std::string::npos) << body;
}

TEST_F(BrowserFetch, AProxyOfAFetchIsUsedThroughATabOfItsOwn) {
    testing::TempFolder profile;
    BrowserOptions options = optionsWith(profile.path());
    const std::string engine = options.proxy;
    options.proxy = "http://127.0.0.1:9";  // nothing listens there
    BrowserSession session(options);
    struct Case {
        std::string proxy;
        FetchFailure failure;
    };
    const Case cases[] = {
        {engine, FetchFailure::None},
        {"", FetchFailure::Network},  // the options' proxy
        {engine, FetchFailure::None},  // its tab again
    };
    const std::string first = listedResults(TOKYO_UTF8, SCRIPTED).at(0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.proxy);
        std::string body;
        EXPECT_EQ(session.fetch(pageAddress(SCRIPTED, 0), body, never, c.proxy).failure, c.failure);
        EXPECT_EQ(body.find(first) != std::string::npos, c.failure == FetchFailure::None);
    }
    EXPECT_EQ(session.state(), BrowserState::Running);
}

TEST_F(BrowserFetch, AnAbortEndsTheFetchAndTheRunLeavesNoBrowser) {
    testing::TempFolder profile;
    testing::BrowserProcesses processes(profile.native().string());
    {
        BrowserSession session(optionsWith(profile.path()));
        std::atomic<bool> abortFlag{false};
        std::thread raiser([&abortFlag] {
            // Raised while the slow page (8 s) is coming.
            testing::waitUntil([] { return !test::loggedRequests("slow.fault.test").empty(); });
            abortFlag = true;
        });
        std::string body;
        const FetchOutcome outcome = session.fetch("http://slow.fault.test/", body, abortFlag);
        raiser.join();
        EXPECT_EQ(outcome.failure, FetchFailure::None);
        EXPECT_EQ(body, "");
        EXPECT_GT(processes.count(), 0);
    }
    EXPECT_EQ(testing::countAfterEnding(processes), 0);
}

TEST_F(BrowserFetch, AFailedStartSaysWhyAndLeavesNothing) {
    struct Case {
        const char* program;
        BrowserState state;
    };
    const Case cases[] = {
        {"", BrowserState::NoProgram},
        {"/nonexistent/chromium", BrowserState::StartFailed},
        {"/bin/true", BrowserState::StartFailed},  // ends at once
        {"/bin/cat", BrowserState::StartFailed},   // no browser: refuses the arguments
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        testing::TempFolder profile;
        testing::BrowserProcesses processes(profile.native().string());
        BrowserOptions options = optionsWith(profile.path());
        options.program = c.program;
        BrowserSession session(options);
        std::string body;
        EXPECT_EQ(session.fetch(pageAddress(SCRIPTED, 0), body, never).failure, FetchFailure::Network);
        EXPECT_EQ(session.state(), c.state);
        EXPECT_NE(session.problem(), "");
        EXPECT_EQ(testing::countAfterEnding(processes), 0);
    }
}

TEST_F(BrowserFetch, KillingTheProgramThatHoldsTheBrowserEndsTheBrowser) {
    testing::TempFolder profile;
    testing::BrowserProcesses processes(profile.native().string());
    const BrowserOptions options = optionsWith(profile.path());
    std::string error;
    PipeChild holder =
        PipeChild::start(BROWSER_HOLDER, {options.program, options.profileFolder, options.proxy, pageAddress(SCRIPTED, 0)},
                         error);
    ASSERT_TRUE(holder.running()) << error;
    std::string said;
    while (said.size() < 5 && holder.read(said, 30000ms) == PipeChild::Read::Data) {
    }
    ASSERT_EQ(said, "ready");
    EXPECT_GT(processes.count(), 1);  // the holder and its browser
    ASSERT_EQ(::kill(static_cast<pid_t>(holder.processId()), SIGKILL), 0);
    EXPECT_EQ(testing::countAfterEnding(processes), 0);
}

}  // namespace
}  // namespace vexor
