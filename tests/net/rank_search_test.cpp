// The rank search against the fake engine, with an engine learnt from its plain layout.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/learn_links.h"
#include "engine/learn_query.h"
#include "fake_engine_control.h"
#include "recording_events.h"
#include "survey/rank_search.h"
#include "web/fetch_attempts.h"
#include "web/page_fetcher.h"

namespace vexor {
namespace {

using test::controlRequest;
using testing::RecordedEvent;

const std::string HOST = "plain.engine.test";

class LiveRankSearch : public test::FakeEngineTest {
protected:
    void SetUp() override {
        FakeEngineTest::SetUp();
        engine.keyword = "abc";
        engine.page2Url = "http://" + HOST + "/search?q=abc&start=10&hl=ja";
        engine.page3Url = "http://" + HOST + "/search?q=abc&start=20&hl=ja";
        engine.firstResultUrl = "http://www.site001-k294.example/p1.html";
        engine.tenthResultUrl = "http://www.site010-k294.example/p10.html";
        ASSERT_TRUE(learnQueryTemplate(engine));
        ASSERT_TRUE(learnLinkRules(engine, fetchPage).learnt);
        ASSERT_EQ(controlRequest("/reset"), "ok\n");
        state.keywords = {"abc"};
        state.target = "www.mysite.example";
    }

    // Places target at rank among count results of abc on the plain engine.
    void place(int rank, int count = 300, const std::string& target = "www.mysite.example") {
        ASSERT_EQ(controlRequest("/place?keyword=abc&engine=" + HOST + "&rank=" + std::to_string(rank) +
                                 "&target=" + target + "&count=" + std::to_string(count)),
                  "ok\n");
    }

    int32_t search() {
        SurveyContext context{state, engine, events, fetchPage, localNow};
        return searchRank(context, 0).entry.rank;
    }

    std::size_t requests() const { return test::loggedRequests(HOST).size(); }

    std::vector<int> progress() const {
        std::vector<int> values;
        for (const auto& e : events.of(RecordedEvent::Progress)) values.push_back(e.value);
        return values;
    }

    std::pair<SearchEnd, int> ending() const {
        const auto ended = events.of(RecordedEvent::Ended);
        if (ended.size() != 1) return {SearchEnd::Aborted, -1};
        return {static_cast<SearchEnd>(ended[0].value), ended[0].page};
    }

    EngineDefinition engine;
    SurveyState state;
    testing::RecordingEvents events;
};

TEST_F(LiveRankSearch, RankFourOnPageOneAfterOneRequest) {
    place(4);
    EXPECT_EQ(search(), 4);
    const auto logged = test::loggedRequests(HOST);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].path, "/search?q=abc&start=0&hl=ja");
    EXPECT_EQ(progress(), std::vector<int>{0});
    EXPECT_EQ(ending(), std::pair(SearchEnd::Found, 1));
    EXPECT_EQ(state.historyTables[0].at("abc"), 4);
}

TEST_F(LiveRankSearch, RankTwentyOneOnPageThree) {
    place(21);
    EXPECT_EQ(search(), 21);
    EXPECT_EQ(requests(), 3u);
    EXPECT_EQ(progress(), (std::vector<int>{0, 10, 20}));
}

TEST_F(LiveRankSearch, NotFoundAfterExactlyTenRequests) {
    place(0);
    EXPECT_EQ(search(), 0);
    const auto logged = test::loggedRequests(HOST);
    ASSERT_EQ(logged.size(), 10u);
    EXPECT_EQ(logged[9].path, "/search?q=abc&start=90&hl=ja");
    EXPECT_EQ(progress(), (std::vector<int>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90}));
    EXPECT_EQ(ending(), std::pair(SearchEnd::TenPages, 10));
    EXPECT_EQ(state.historyTables[0].at("abc"), 0);
}

TEST_F(LiveRankSearch, AShortPageEndsTheSearch) {
    place(0, 15);
    EXPECT_EQ(search(), 0);
    EXPECT_EQ(requests(), 2u);
    EXPECT_EQ(ending(), std::pair(SearchEnd::ShortPage, 2));
}

TEST_F(LiveRankSearch, ARepeatedPageEndsTheSearch) {
    // Twenty results: the request for page 3 shows page 2 again.
    place(0, 20);
    EXPECT_EQ(search(), 0);
    EXPECT_EQ(requests(), 3u);
    EXPECT_EQ(ending(), std::pair(SearchEnd::RepeatedPage, 3));
}

TEST_F(LiveRankSearch, AnUnreadablePageFailsTheKeyword) {
    ASSERT_EQ(controlRequest("/fault?mode=empty&engine=" + HOST + "&page=2"), "ok\n");
    place(15);
    EXPECT_EQ(search(), 0);
    EXPECT_EQ(ending(), std::pair(SearchEnd::Failed, 2));
    EXPECT_EQ(state.historyTables[0].at("abc"), RankEntry(0, SearchFailure{2, FailureCause::EmptyPage, 200}));
}

TEST_F(LiveRankSearch, AStalledFirstPageIsAskedTwiceATimeOutApartThenFailsTheKeyword) {
    ASSERT_EQ(controlRequest("/fault?mode=stall&engine=" + HOST + "&page=1"), "ok\n");
    place(4);
    EXPECT_EQ(search(), 0);
    EXPECT_EQ(ending(), std::pair(SearchEnd::Failed, 1));
    EXPECT_EQ(state.historyTables[0].at("abc"), RankEntry(0, SearchFailure{1, FailureCause::Network, 0}));
    const auto logged = test::loggedRequests(HOST);
    ASSERT_EQ(logged.size(), static_cast<size_t>(STALLED_ATTEMPTS));
    for (size_t i = 1; i < logged.size(); ++i) {
        EXPECT_EQ(logged[i].path, logged[0].path);
        EXPECT_GE(logged[i].time - logged[i - 1].time, NETWORK_TIMEOUT_MS / 1000.0) << "asked again before the time-out";
    }
}

TEST_F(LiveRankSearch, TheTargetsHostInOtherLetterCaseMatches) {
    place(4, 300, "WWW.MYSITE.EXAMPLE");
    EXPECT_EQ(search(), 4);
    EXPECT_EQ(requests(), 1u);
}

TEST_F(LiveRankSearch, AKeywordAlreadyInTableZeroKeepsItsRank) {
    state.historyTables[0]["abc"] = 55;
    place(4);
    EXPECT_EQ(search(), 4);
    EXPECT_EQ(state.historyTables[0].at("abc"), 55);
}

}  // namespace
}  // namespace vexor
