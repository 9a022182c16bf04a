// A person stepping in on a consent page in the Windows program's shell: the worker waits, the
// window (played here by the test thread) asks through the box role and hands the answer over.
#include "app/hand_off.h"

#include <thread>

#include "app/command_dispatch.h"
#include "app/texts.h"
#include "app_test_fixture.h"
#include "deadline.h"
#include "platform/profile_file.h"
#include "survey/survey_control.h"

namespace vexor::testing {
namespace {

const std::string CONSENT = "<form method=\"post\" action=\"/consent/save\"><button>Accept all</button></form>";

// Ten results of engine "a" with the survey's site at place.
std::string resultsWithTargetAt(int place) {
    std::string page = "<ol>";
    for (int i = 1; i <= 10; ++i)
        page += "<li><a href=\"http://" + (i == place ? std::string("www.example.jp") : "r" + std::to_string(i) + ".example") +
                "/\">r</a></li>";
    return page + "</ol>";
}

class AppHandOff : public AppTest {
protected:
    void SetUp() override {
        writeEngine("engine\\a.eng", learntEngine("a"));
        ASSERT_TRUE(replaceFileContent(at("s.txt"), "www.example.jp\r\nfirst\r\nsecond\r\n"));
        state.currentEnginePath = "engine\\a.eng";
        state.lastSurveyPath = "s.txt";
        ASSERT_FALSE(startupLoad(state, services));
        // The first page of "first" is a consent page once, then its results.
        services.fetch = [this](const std::string& address, std::string& body, const std::atomic<bool>&) {
            fetched.push_back(address);
            const bool first = address.find("q=first&") != std::string::npos;
            body = first && consentPages-- > 0 ? CONSENT : resultsWithTargetAt(first ? 3 : 5);
            return FetchOutcome{FetchFailure::None, 200};
        };
        services.askStepIn = [this](const std::string& question) {
            questions.push_back(question);
            cellWhileAsked = ui.rows[0][1];
            return answer;
        };
    }

    // Starts the survey and plays the window's part when the worker waits; true when it waited.
    bool surveyAnswering() {
        EXPECT_EQ(dispatchCommand(state, services, Command{Command::Kind::StartSurvey}), CommandOutcome::SurveyStarted);
        const bool waited = waitUntil([this] { return !events.of(RecordedEvent::Waiting).empty() || !state.survey.surveyRunning; }) &&
                            !events.of(RecordedEvent::Waiting).empty();
        if (waited) {
            const RecordedEvent waiting = events.of(RecordedEvent::Waiting)[0];
            stepInForSurvey(state, services, waiting.row, static_cast<FailureCause>(waiting.value));
        }
        waitForSurvey(state.survey);
        return waited;
    }

    std::vector<int> ranks() const {
        std::vector<int> shown;
        for (const auto& e : events.of(RecordedEvent::Result)) shown.push_back(e.value);
        return shown;
    }

    int consentPages = 1;
    StepIn answer = StepIn::Continue;
    std::vector<std::string> questions;
    std::string cellWhileAsked;
};

TEST_F(AppHandOff, ThePersonsAnswerDecidesTheKeywordAndTheSurveyGoesOnUnlessStopped) {
    struct Case {
        StepIn answer;
        std::vector<int> ranks;  // of the rows reported
        std::optional<FailureCause> firstFails;
        std::vector<std::string> fetchedKeywords;
    };
    const Case cases[] = {
        {StepIn::Continue, {3, 5}, std::nullopt, {"first", "first", "second"}},
        {StepIn::GiveUp, {0, 5}, FailureCause::Consent, {"first", "second"}},
        {StepIn::StopSurvey, {-1}, std::nullopt, {"first"}},
    };
    writeProfileString(state.workspace.settingsFile(), "NETWORK", "Fetch", "browser");
    writeProfileString(state.workspace.settingsFile(), "NETWORK", "BrowserWindow", "1");
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        events.clear();
        fetched.clear();
        questions.clear();
        consentPages = 1;
        answer = c.answer;
        ASSERT_TRUE(surveyAnswering());
        ASSERT_EQ(questions.size(), 1u);
        EXPECT_EQ(questions[0], stepInQuestion("first", FailureCause::Consent, StepInFrontEnd::Window));
        EXPECT_EQ(cellWhileAsked, texts::TEXT_WAITING_FOR_PERSON);
        EXPECT_EQ(ranks(), c.ranks);
        ASSERT_EQ(fetched.size(), c.fetchedKeywords.size());
        for (std::size_t i = 0; i < fetched.size(); ++i)
            EXPECT_NE(fetched[i].find("q=" + c.fetchedKeywords[i] + "&p=1"), std::string::npos) << fetched[i];
        const auto stored = state.survey.historyTables[0].find("first");
        const bool failed = stored != state.survey.historyTables[0].end() && stored->second.failed();
        EXPECT_EQ(failed, c.firstFails.has_value());
        if (failed) {
            EXPECT_EQ(stored->second.failure->cause, *c.firstFails);
        }
        // Every case starts a new generation: the next start rotates.
        ASSERT_TRUE(replaceFileContent(at("www.example.jp\\0.txt"), ""));
        state.survey.historyTables[0].clear();
    }
}

TEST_F(AppHandOff, WithoutABrowserWindowTheConsentPageFailsTheKeywordUnasked) {
    EXPECT_FALSE(surveyAnswering());
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(ranks(), (std::vector<int>{0, 5}));
    EXPECT_EQ(state.survey.historyTables[0].at("first").failure->cause, FailureCause::Consent);
}

TEST(HandOffDesk, TakesAnAnswerLeftBeforeTheWaitAndEndsAtAnAbort) {
    HandOffDesk desk;
    std::atomic<bool> abort{false};
    desk.answer(true);
    EXPECT_TRUE(desk.await(abort));
    desk.answer(false);
    EXPECT_FALSE(desk.await(abort));
    // No answer: only the abort ends the wait, and an answer it left unseen is dropped.
    std::thread stopper([&abort] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        abort = true;
    });
    EXPECT_FALSE(desk.await(abort));
    stopper.join();
    desk.answer(true);
    EXPECT_FALSE(desk.await(abort));
    abort = false;
    std::thread answering([&desk] { desk.answer(true); });
    EXPECT_TRUE(desk.await(abort));
    answering.join();
}

}  // namespace
}  // namespace vexor::testing
