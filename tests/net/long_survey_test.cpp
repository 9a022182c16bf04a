// A long survey through the fetcher the front ends use, counting what the process holds open
// before and after it: every handle a page takes (sockets, events, library handles) must be
// given back, whatever the page count, or a survey of thousands of keywords ends with thousands
// of sockets and a pace that falls as they pile up.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "app/survey_commands.h"
#include "fake_engine_control.h"
#include "fake_ui.h"
#include "open_handles.h"
#include "plain_engine.h"
#include "recording_events.h"
#include "survey/survey_control.h"
#include "test_workspace.h"
#include "web/page_fetcher.h"

namespace vexor {
namespace {

using test::loggedRequests;
using testing::plainEngine;

constexpr int KEYWORDS = 300;
// What may come and go beside the survey's own work: the library's worker threads, and the
// connections of the first requests, before the fetcher has judged whether they are reused.
constexpr int HANDLE_MARGIN = 12;

// "page" and the digits 0 to 5 in as many orders: their bytes add up alike, so the fake
// engine's default placement ranks its target 9th for each, one results page a keyword.
std::string surveyFile(int keywords) {
    std::string file = "www.target-site.example\r\n";
    std::string digits = "012345";
    for (int i = 0; i < keywords; ++i) {
        file += "page" + digits + "\r\n";
        std::next_permutation(digits.begin(), digits.end());
    }
    return file;
}

using LongSurvey = test::FakeEngineTest;

TEST_F(LongSurvey, HoldsNoMoreHandlesAtItsEndThanAtItsStart) {
    testing::TestWorkspace files;
    testing::writeBytes(files.native("survey.txt"), surveyFile(KEYWORDS));
    const PageFetcher fetch = keepAliveFetcher(USER_AGENT);
    // The fetcher's session, the library's threads and its judgement of reuse come first.
    const std::atomic<bool> never{false};
    for (int i = 0; i < 4; ++i) {
        std::string body;
        fetch("http://plain.engine.test/search?q=warm&start=0", body, never);
        ASSERT_FALSE(body.empty());
    }
    const int before = testing::openHandleCount();
    ASSERT_GT(before, 0) << "the system does not tell the handle count";

    SurveyState state;
    state.surveyPath = "survey.txt";
    const EngineDefinition engine = plainEngine();
    const std::string enginePath = "engine\\plain.eng";
    testing::RecordingEvents events;
    testing::FakeUi ui;
    ASSERT_TRUE(startSurvey(state, files.workspace(), {engine, enginePath, events, fetch, localNow}, ui, ui));
    waitForSurvey(state);
    const int after = testing::openHandleCount();

    const auto ranks = events.of(testing::RecordedEvent::Result);
    ASSERT_EQ(ranks.size(), static_cast<size_t>(KEYWORDS));
    EXPECT_TRUE(std::all_of(ranks.begin(), ranks.end(), [](const auto& e) { return e.value == 9; }));
    EXPECT_EQ(loggedRequests("plain.engine.test").size(), static_cast<size_t>(KEYWORDS + 4));
    EXPECT_LE(after - before, HANDLE_MARGIN) << "handles at the start " << before << ", at the end " << after;
}

}  // namespace
}  // namespace vexor
