#include "survey/rank_search.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "recording_events.h"

namespace vexor {
namespace {

using ::testing::ElementsAre;
using testing::RecordedEvent;

const char TEMPLATE[] = "http://e.example/find?q=%s&start=%d";

// Links of result page n: http://p<n>-<j>.example/ for j = 1..count, with replacements.
std::vector<std::string> linksOf(int n, int count = 10) {
    std::vector<std::string> links;
    for (int j = 1; j <= count; ++j) links.push_back("http://p" + std::to_string(n) + "-" + std::to_string(j) + ".example/");
    return links;
}

std::string pageWith(const std::vector<std::string>& links) {
    std::string page = "<html><ol>";
    for (const auto& link : links) page += "<li><a href=\"" + link + "\">x</a></li>\n";
    return page + "</ol></html>";
}

// A survey of one keyword against an engine whose pages the test describes by page number.
class RankSearch : public ::testing::Test {
protected:
    RankSearch() {
        engine.queryTemplate = TEMPLATE;
        engine.pageStep = 10;
        engine.pageOffset = 0;
        engine.linkRules = {{LinkSelection::ExactlyTen, 1, "<a href=\""}};
        state.target = "www.mysite.example";
        state.keywords = {"other", "abc"};
    }

    int32_t search(int row = 1) {
        SurveyContext context{state, engine, events, fetcher(), {}, {false, backOff, {}, handOff}};
        outcome = searchRank(context, row);
        return outcome.entry.rank;
    }

    PageFetcher fetcher() {
        return [this](const std::string& address, std::string& body, const std::atomic<bool>& abortFlag) {
            EXPECT_EQ(&abortFlag, &state.abortRequested);
            requests.push_back(address);
            const std::string start = address.substr(address.rfind('=') + 1);
            const int n = std::stoi(start) / 10 + 1;
            body = pageOf(n);
            if (onFetch) onFetch(n);
            return outcomeOf(n);
        };
    }

    std::vector<int> progress() const {
        std::vector<int> values;
        for (const auto& e : events.of(RecordedEvent::Progress)) {
            EXPECT_EQ(e.row, 1);
            values.push_back(e.value);
        }
        return values;
    }

    // How the search ended: (SearchEnd, page).
    std::pair<SearchEnd, int> ending() const {
        const auto ended = events.of(RecordedEvent::Ended);
        EXPECT_EQ(ended.size(), 1u);
        if (ended.empty()) return {SearchEnd::Found, 0};
        return {static_cast<SearchEnd>(ended[0].value), ended[0].page};
    }

    SurveyState state;
    EngineDefinition engine;
    testing::RecordingEvents events;
    std::function<std::string(int)> pageOf = [](int n) { return pageWith(linksOf(n)); };
    std::function<void(int)> onFetch;
    std::function<FetchOutcome(int)> outcomeOf = [](int) { return FetchOutcome{FetchFailure::None, 200}; };
    std::vector<std::string> requests;
    BackOff backOff{2, std::chrono::milliseconds(1), std::chrono::milliseconds(50)};
    HandOff handOff;
    RankOutcome outcome;
};

TEST_F(RankSearch, FoundInPlaceFourOfPageOne) {
    pageOf = [](int n) {
        auto links = linksOf(n);
        if (n == 1) links[3] = "http://www.mysite.example/top.html";
        return pageWith(links);
    };
    EXPECT_EQ(search(), 4);
    EXPECT_THAT(requests, ElementsAre("http://e.example/find?q=abc&start=0"));
    EXPECT_THAT(progress(), ElementsAre(0));
    EXPECT_EQ(ending(), std::pair(SearchEnd::Found, 1));
    EXPECT_EQ(outcome.address, "http://www.mysite.example/top.html");
    EXPECT_EQ(state.historyTables[0].at("abc"), 4);
    EXPECT_EQ(state.historyTables[0].count("other"), 0u);
}

TEST_F(RankSearch, FoundInPlaceOneOfPageThreeInsideARedirectLink) {
    pageOf = [](int n) {
        auto links = linksOf(n);
        if (n == 3) links[0] = "http://e.example/url?u=http://www.mysite.example/&sig=1";
        return pageWith(links);
    };
    EXPECT_EQ(search(), 21);
    EXPECT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[2], "http://e.example/find?q=abc&start=20");
    EXPECT_THAT(progress(), ElementsAre(0, 10, 20));
    EXPECT_EQ(state.historyTables[0].at("abc"), 21);
}

TEST_F(RankSearch, NotFoundInTenFullPages) {
    EXPECT_EQ(search(), 0);
    EXPECT_EQ(requests.size(), 10u);
    EXPECT_EQ(requests.back(), "http://e.example/find?q=abc&start=90");
    EXPECT_THAT(progress(), ElementsAre(0, 10, 20, 30, 40, 50, 60, 70, 80, 90));
    EXPECT_EQ(ending(), std::pair(SearchEnd::TenPages, 10));
    EXPECT_EQ(state.historyTables[0].at("abc"), 0);
}

TEST_F(RankSearch, TheTargetsHostIsMatchedWithoutLetterCaseItsPathWithIt) {
    pageOf = [](int n) {
        auto links = linksOf(n);
        if (n == 1) links[0] = "http://www.mysite.example/Top.html";
        if (n == 2) links[1] = "http://WWW.MySite.EXAMPLE/top.html";
        return pageWith(links);
    };
    state.target = "www.mysite.example/top.html";
    EXPECT_EQ(search(), 12);
}

TEST_F(RankSearch, TheTargetIsFoundInTheAddressARedirectCarriesEscaped) {
    pageOf = [](int n) {
        auto links = linksOf(n);
        if (n == 1) links[6] = "/url?q=http://www%2Emysite%2Eexample/&amp;sa=U";
        return pageWith(links);
    };
    EXPECT_EQ(search(), 7);
}

// An engine whose rule takes every result of a page, however many it holds.
class RankSearchEveryResult : public RankSearch {
protected:
    RankSearchEveryResult() { engine.extendedRules = {{LinkSelection::EveryLink, "<a href=\"", "absolute", ""}}; }
};

TEST_F(RankSearchEveryResult, RanksCountTheResultsOfThePagesBefore) {
    pageOf = [](int n) {
        auto links = linksOf(n, n == 1 ? 8 : 9);
        if (n == 2) links[2] = "http://www.mysite.example/";
        return pageWith(links);
    };
    EXPECT_EQ(search(), 11);
    EXPECT_THAT(progress(), ElementsAre(0, 8));
    EXPECT_EQ(ending(), std::pair(SearchEnd::Found, 2));
}

TEST_F(RankSearchEveryResult, AShortPageGoesOnAndAPageWithoutLinksEnds) {
    pageOf = [](int n) { return n <= 2 ? pageWith(linksOf(n, 4)) : "<p>no results</p>"; };
    EXPECT_EQ(search(), 0);
    EXPECT_EQ(requests.size(), 3u);
    EXPECT_THAT(progress(), ElementsAre(0, 4, 8));
    EXPECT_EQ(ending(), std::pair(SearchEnd::ShortPage, 3));
}

TEST_F(RankSearchEveryResult, ARepeatedLastPageEndsTheSearch) {
    pageOf = [](int n) { return pageWith(linksOf(std::min(n, 2), 7)); };
    EXPECT_EQ(search(), 0);
    EXPECT_EQ(requests.size(), 3u);
    EXPECT_EQ(ending(), std::pair(SearchEnd::RepeatedPage, 3));
}

TEST_F(RankSearchEveryResult, NoRankBeyondAHundred) {
    // Thirty results a page: the target stands 102nd.
    pageOf = [](int n) {
        auto links = linksOf(n, 30);
        if (n == 4) links[11] = "http://www.mysite.example/";
        return pageWith(links);
    };
    EXPECT_EQ(search(), 0);
    EXPECT_EQ(requests.size(), 4u);
    EXPECT_THAT(progress(), ElementsAre(0, 30, 60, 90));
    EXPECT_EQ(ending(), std::pair(SearchEnd::TenPages, 4));
    EXPECT_EQ(state.historyTables[0].at("abc"), 0);
}

TEST_F(RankSearchEveryResult, LinksOfAnotherKindAreNoResults) {
    pageOf = [](int n) {
        auto links = linksOf(n, 5);
        links.insert(links.begin() + 1, "/aclk?adurl=http://www.mysite.example/");
        if (n == 1) links[4] = "http://www.mysite.example/";
        return pageWith(links);
    };
    EXPECT_EQ(search(), 4);
}

TEST_F(RankSearch, APageWithoutTenLinksEndsTheSearch) {
    pageOf = [](int n) { return pageWith(linksOf(n, n == 2 ? 9 : 10)); };
    EXPECT_EQ(search(), 0);
    EXPECT_EQ(requests.size(), 2u);
    EXPECT_EQ(ending(), std::pair(SearchEnd::ShortPage, 2));
    EXPECT_EQ(state.historyTables[0].at("abc"), 0);
}

TEST_F(RankSearch, RanksCountTheLinksTheRuleSelects) {
    pageOf = [](int n) {
        auto links = linksOf(n, 11);
        links[10] = "http://www.mysite.example/";
        return pageWith(links);
    };
    engine.linkRules = {{LinkSelection::LastTen, 1, "<a href=\""}};
    EXPECT_EQ(search(), 10);
}

TEST_F(RankSearch, APageThatCannotBeReadFailsTheKeywordOnPageOneOrLater) {
    struct Case {
        std::string page;
        FetchOutcome fetched;
        FailureCause cause;
    };
    const std::string tenLinks = pageWith(linksOf(1));
    const Case cases[] = {
        {"", {FetchFailure::EmptyBody, 200}, FailureCause::EmptyPage},
        {"", {}, FailureCause::EmptyPage},  // a fetcher that names no cause
        {"", {FetchFailure::Certificate, 0}, FailureCause::Certificate},
        {"", {FetchFailure::Network, 0}, FailureCause::Network},
        {"", {FetchFailure::Timeout, 0}, FailureCause::Timeout},
        {"", {FetchFailure::Redirect, 302}, FailureCause::Redirect},
        {"<h1>Forbidden</h1>", {FetchFailure::None, 403}, FailureCause::HttpStatus},
        {"", {FetchFailure::EmptyBody, 429}, FailureCause::HttpStatus},
        // A failing status fails the page even when its body holds ten links.
        {tenLinks, {FetchFailure::None, 404}, FailureCause::HttpStatus},
        {tenLinks, {FetchFailure::None, 999}, FailureCause::HttpStatus},
        {tenLinks, {FetchFailure::None, 301}, FailureCause::HttpStatus},
        // A page from another host or path than the query's, without results.
        {"<p>Before you go on</p>", {FetchFailure::None, 200, -1, "https://consent.example/save?x=1"},
         FailureCause::RedirectAway},
    };
    for (const int failingPage : {1, 3})
        for (const auto& c : cases) {
            SCOPED_TRACE(std::to_string(failingPage) + " " + c.page + " " +
                         std::to_string(static_cast<int>(c.fetched.failure)) + " " +
                         std::to_string(c.fetched.status));
            events.clear();
            state.historyTables[0].clear();
            requests.clear();
            pageOf = [&](int n) { return n == failingPage ? c.page : pageWith(linksOf(n)); };
            outcomeOf = [&](int n) { return n == failingPage ? c.fetched : FetchOutcome{FetchFailure::None, 200}; };
            EXPECT_EQ(search(), 0);
            // A 429 or 503 is asked for again twice before it fails the keyword.
            const bool waitedOut = c.fetched.status == 429 || c.fetched.status == 503;
            EXPECT_EQ(requests.size(), static_cast<std::size_t>(failingPage + (waitedOut ? 2 : 0)));
            const SearchFailure expected{failingPage, c.cause, c.fetched.status};
            EXPECT_EQ(ending(), std::pair(SearchEnd::Failed, failingPage));
            ASSERT_TRUE(outcome.entry.failed());
            EXPECT_EQ(*outcome.entry.failure, expected);
            EXPECT_EQ(events.of(RecordedEvent::Ended)[0].failure, expected);
            EXPECT_EQ(state.historyTables[0].at("abc"), outcome.entry);
        }
}

TEST_F(RankSearch, AFirstPageWithoutLinksFailsALaterOneEndsTheResults) {
    pageOf = [](int n) { return n == 1 ? std::string("<p>a page without results</p>") : pageWith(linksOf(n)); };
    EXPECT_EQ(search(), 0);
    EXPECT_EQ(*outcome.entry.failure, (SearchFailure{1, FailureCause::NoLinks, 200}));

    events.clear();
    requests.clear();
    state.historyTables[0].clear();
    pageOf = [](int n) { return n == 4 ? std::string("<p>no more results</p>") : pageWith(linksOf(n)); };
    EXPECT_EQ(search(), 0);
    EXPECT_FALSE(outcome.entry.failed());
    EXPECT_EQ(ending(), std::pair(SearchEnd::ShortPage, 4));
    // The same page redirected within the engine (another scheme, letter case, a port) is none
    // of the engine's business either way.
    events.clear();
    requests.clear();
    state.historyTables[0].clear();
    outcomeOf = [](int n) {
        return FetchOutcome{FetchFailure::None, 200, -1,
                            "https://E.example:443/find?q=abc&start=" + std::to_string((n - 1) * 10)};
    };
    EXPECT_EQ(search(), 0);
    EXPECT_EQ(ending(), std::pair(SearchEnd::ShortPage, 4));
}

TEST_F(RankSearch, ThrottledPagesAreWaitedOutAndAskedAgain) {
    // Page 2 answers 429 twice, then its results; the target stands on it.
    int throttled = 0;
    pageOf = [](int n) {
        auto links = linksOf(n);
        if (n == 2) links[4] = "http://www.mysite.example/";
        return pageWith(links);
    };
    outcomeOf = [&throttled](int n) {
        if (n == 2 && throttled < 2) return FetchOutcome{FetchFailure::None, throttled++ == 0 ? 429 : 503, 0, ""};
        return FetchOutcome{FetchFailure::None, 200};
    };
    EXPECT_EQ(search(), 15);
    EXPECT_EQ(requests.size(), 4u);

    // An engine that keeps refusing fails the keyword after the retries; an abort ends the wait.
    events.clear();
    requests.clear();
    state.historyTables[0].clear();
    outcomeOf = [](int) { return FetchOutcome{FetchFailure::None, 429, 3600, ""}; };
    EXPECT_EQ(search(), 0);
    EXPECT_EQ(requests.size(), 3u);
    EXPECT_EQ(*outcome.entry.failure, (SearchFailure{1, FailureCause::HttpStatus, 429}));

    events.clear();
    requests.clear();
    backOff.pause = std::chrono::hours(1);
    backOff.longest = std::chrono::hours(1);
    outcomeOf = [](int) { return FetchOutcome{FetchFailure::None, 503}; };
    std::thread stopper([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        state.abortRequested = true;
    });
    EXPECT_EQ(search(), 0);
    stopper.join();
    EXPECT_EQ(requests.size(), 1u);
    EXPECT_EQ(ending(), std::pair(SearchEnd::Aborted, 1));
}

TEST_F(RankSearch, APersonCompletesABlockPageAndTheSamePageIsReadAgain) {
    const std::string consent = "<form method=\"post\" action=\"/consent/save\"><button>Accept all</button></form>";
    const std::string captcha = "<p>Our systems have detected unusual traffic</p>";
    struct Case {
        std::string blockPage;      // what page 2 is, the first blockedFetches times
        FailureCause cause;
        int blockedFetches;
        std::vector<bool> answers;  // the person's, in turn; past the end: give up
        bool abortWhileAsked;
        int32_t rank;               // the target stands on page 2, place 5: 15
        SearchEnd how;
        int asked;
        int page2Fetches;
    };
    const Case cases[] = {
        {consent, FailureCause::Consent, 1, {true}, false, 15, SearchEnd::Found, 1, 2},
        {captcha, FailureCause::Captcha, 2, {true, true}, false, 15, SearchEnd::Found, 2, 3},
        {captcha, FailureCause::Captcha, 2, {true, false}, false, 0, SearchEnd::Failed, 2, 2},
        {consent, FailureCause::Consent, 1, {}, false, 0, SearchEnd::Failed, 1, 1},
        {consent, FailureCause::Consent, 1, {}, true, 0, SearchEnd::Aborted, 1, 1},
        // A page that asks for JavaScript is no person's to complete.
        {"<noscript>Please turn on JavaScript</noscript>", FailureCause::ScriptRequired, 1, {true}, false, 0,
         SearchEnd::Failed, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.blockPage + " answers " + std::to_string(c.answers.size()));
        events.clear();
        state.historyTables[0].clear();
        state.abortRequested = false;
        requests.clear();
        int blocked = 0;
        pageOf = [&](int n) {
            if (n == 2 && blocked < c.blockedFetches) {
                ++blocked;
                return c.blockPage;
            }
            auto links = linksOf(n);
            if (n == 2) links[4] = "http://www.mysite.example/";
            return pageWith(links);
        };
        std::vector<std::pair<int, FailureCause>> asked;
        handOff = [&](int row, FailureCause cause, const std::atomic<bool>& abortFlag) {
            EXPECT_EQ(&abortFlag, &state.abortRequested);
            // The display hears of the wait before the person is asked.
            EXPECT_EQ(events.of(RecordedEvent::Waiting).size(), asked.size() + 1);
            asked.emplace_back(row, cause);
            if (c.abortWhileAsked) state.abortRequested = true;
            const std::size_t turn = asked.size() - 1;
            return turn < c.answers.size() && c.answers[turn];
        };
        EXPECT_EQ(search(), c.rank);
        EXPECT_EQ(ending(), std::pair(c.how, 2));
        EXPECT_EQ(asked, (std::vector<std::pair<int, FailureCause>>(c.asked, {1, c.cause})));
        for (const auto& waiting : events.of(RecordedEvent::Waiting))
            EXPECT_EQ(waiting, (RecordedEvent{RecordedEvent::Waiting, 1, static_cast<int>(c.cause), 0}));
        // The same address each time, and progress shown again for it.
        std::vector<int> shown{0};
        shown.insert(shown.end(), c.page2Fetches, 10);
        EXPECT_EQ(progress(), shown);
        ASSERT_EQ(requests.size(), static_cast<std::size_t>(1 + c.page2Fetches));
        for (std::size_t i = 2; i < requests.size(); ++i) EXPECT_EQ(requests[i], requests[1]);
        if (c.how == SearchEnd::Failed) {
            EXPECT_EQ(*outcome.entry.failure, (SearchFailure{2, c.cause, 200}));
        }
    }
}

TEST_F(RankSearch, ARepeatedPageEndsTheSearch) {
    // The engine answers every page after its third with the third.
    pageOf = [](int n) { return pageWith(linksOf(std::min(n, 3))); };
    EXPECT_EQ(search(), 0);
    EXPECT_EQ(requests.size(), 4u);
    EXPECT_EQ(ending(), std::pair(SearchEnd::RepeatedPage, 4));
}

TEST_F(RankSearch, MoreThanHalfOfTheLinksMustRepeat) {
    const auto sharing = [](int shared) {
        return [shared](int n) {
            auto links = linksOf(n);
            if (n == 2)
                for (int j = 0; j < shared; ++j) links[j] = linksOf(1)[j];
            return pageWith(links);
        };
    };
    pageOf = sharing(5);
    EXPECT_EQ(search(), 0);
    EXPECT_EQ(requests.size(), 10u);

    state.historyTables[0].clear();
    requests.clear();
    pageOf = sharing(6);
    EXPECT_EQ(search(), 0);
    EXPECT_EQ(requests.size(), 2u);
}

TEST_F(RankSearch, RepeatsAreCountedAsEqualPairs) {
    // Page 2 holds one link of page 1 six times: six equal pairs.
    pageOf = [](int n) {
        auto links = linksOf(n);
        if (n == 2) std::fill(links.begin(), links.begin() + 6, linksOf(1)[0]);
        return pageWith(links);
    };
    EXPECT_EQ(search(), 0);
    EXPECT_EQ(requests.size(), 2u);
}

TEST_F(RankSearch, AKeywordAlreadyInTableZeroKeepsItsRank) {
    state.historyTables[0]["abc"] = 55;
    pageOf = [](int n) {
        auto links = linksOf(n);
        if (n == 1) links[3] = "http://www.mysite.example/";
        return pageWith(links);
    };
    EXPECT_EQ(search(), 4);
    EXPECT_EQ(state.historyTables[0].at("abc"), 55);
}

TEST_F(RankSearch, AbortBeforeTheFetchEndsWithoutARequest) {
    state.abortRequested = true;
    EXPECT_EQ(search(), 0);
    EXPECT_TRUE(requests.empty());
    EXPECT_THAT(progress(), ElementsAre(0));
    EXPECT_EQ(ending(), std::pair(SearchEnd::Aborted, 1));
}

TEST_F(RankSearch, AbortDuringAFetchIgnoresThatPage) {
    pageOf = [](int n) {
        auto links = linksOf(n);
        links[0] = "http://www.mysite.example/";
        return pageWith(links);
    };
    onFetch = [this](int n) {
        if (n == 1) state.abortRequested = true;
    };
    EXPECT_EQ(search(), 0);
    EXPECT_EQ(requests.size(), 1u);
    EXPECT_EQ(ending(), std::pair(SearchEnd::Aborted, 1));
    EXPECT_EQ(state.historyTables[0].at("abc"), 0);
}

}  // namespace
}  // namespace vexor
