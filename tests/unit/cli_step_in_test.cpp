// The person at vexor-cli's terminal: the worker's wait goes through the event queue to the main
// thread, which clears the status line, asks and hands the typed answer back.
#include <gtest/gtest.h>

#include <thread>

#include "app/texts.h"
#include "app/visible_text.h"
#include "cli/progress_display.h"
#include "cli/step_in_prompt.h"
#include "cli/survey_event_queue.h"
#include "cli/terminal_messages.h"

namespace vexor::cli {
namespace {

using namespace std::chrono_literals;

TEST(CliStepIn, ATypedLineGivesTheAnswer) {
    const std::tuple<std::optional<std::string>, bool, StepIn> cases[] = {
        {"", false, StepIn::Continue},
        {"ok", false, StepIn::Continue},
        {"q", false, StepIn::GiveUp},
        {" Q\t", false, StepIn::GiveUp},
        {"quit", false, StepIn::Continue},
        {std::nullopt, false, StepIn::GiveUp},  // the end of the input
        {std::nullopt, true, StepIn::StopSurvey},
        {"q", true, StepIn::StopSurvey},
    };
    for (const auto& [line, interrupted, expected] : cases)
        EXPECT_EQ(stepInAnswerOf(line, interrupted), expected) << line.value_or("<none>") << interrupted;
}

TEST(CliStepIn, TheWorkersWaitIsAnsweredOnTheMainThreadBelowTheStatusLine) {
    for (const std::string typed : {"", "q"}) {
        SCOPED_TRACE(typed);
        std::string err;
        const Console console{[](const std::string&) {}, [&err](const std::string& t) { err += t; }, true, true,
                              [&typed] { return std::optional<std::string>(typed); }};
        SurveyState state;
        state.keywords = {"kw"};
        TableList list;
        list.appendRow("kw");
        ProgressDisplay display(console, state.keywords);
        SurveyEventQueue queue;
        HandOffDesk desk;
        std::optional<bool> fetchAgain;
        std::thread worker([&] {
            queue.waitingForPerson(0, FailureCause::Captcha);
            fetchAgain = desk.await(state.abortRequested);
        });
        display.progress(0, 10);
        const auto event = queue.pop(30s);
        ASSERT_TRUE(event.has_value());
        EXPECT_EQ(event->kind, SurveyEvent::Kind::WaitingForPerson);
        EXPECT_EQ(static_cast<FailureCause>(event->value), FailureCause::Captcha);
        display.waitingForPerson(event->row);
        askPersonToStepIn(state, desk, list, event->row, FailureCause::Captcha, StepInFrontEnd::Terminal,
                          [&](const std::string& question) { return promptStepIn(console, question); });
        worker.join();
        EXPECT_EQ(fetchAgain, typed.empty());
        // The status line is wiped before the waiting line, and the question follows it.
        const std::string status = "\r[1/1] kw  results read: 10";
        EXPECT_EQ(err, status + "\r" + std::string(status.size() - 1, ' ') + "\r[1/1] kw  waiting for you\n" +
                           visibleLines(stepInQuestion("kw", FailureCause::Captcha, StepInFrontEnd::Terminal)) +
                           "\n> ");
    }
}

}  // namespace
}  // namespace vexor::cli
