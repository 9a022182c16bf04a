// The worker's wait for a person and the shell's question.
#include "app/hand_off.h"

#include <chrono>

#include "app/settings.h"
#include "app/text_format.h"
#include "app/texts.h"
#include "survey/survey_control.h"

namespace vexor {
namespace {

constexpr int CURRENT_RUN_COLUMN = 1;
constexpr std::chrono::milliseconds ABORT_CHECK{20};

}  // namespace

bool HandOffDesk::await(const std::atomic<bool>& abortFlag) {
    std::unique_lock<std::mutex> lock(mutex_);
    // The abort flag is set without a notification: it is looked at between short waits.
    while (!answer_ && !abortFlag) answered_.wait_for(lock, ABORT_CHECK);
    const bool fetchAgain = answer_.value_or(false) && !abortFlag;
    answer_.reset();
    return fetchAgain;
}

void HandOffDesk::answer(bool fetchAgain) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        answer_ = fetchAgain;
    }
    answered_.notify_one();
}

HandOff handOffAt(HandOffDesk& desk) {
    return [&desk](int, FailureCause, const std::atomic<bool>& abortFlag) { return desk.await(abortFlag); };
}

bool personCanStepIn(const Workspace& workspace) {
    const NetworkSettings settings = loadNetworkSettings(workspace);
    return settings.fetchMode == FetchMode::Browser && settings.browserWindow;
}

std::string stepInQuestion(const std::string& keyword, FailureCause cause, StepInFrontEnd frontEnd) {
    const char* page = cause == FailureCause::Captcha ? texts::TEXT_PAGE_CAPTCHA : texts::TEXT_PAGE_CONSENT;
    return formatWithText(texts::FMT_STEP_IN_KEYWORD, keyword) + "\n" + formatWithText(texts::FMT_STEP_IN_PAGE, page) +
           "\n" + (frontEnd == StepInFrontEnd::Window ? texts::MSG_STEP_IN_WINDOW : texts::MSG_STEP_IN_TERMINAL);
}

void askPersonToStepIn(SurveyState& state, HandOffDesk& desk, ResultList& list, int row, FailureCause cause,
                       StepInFrontEnd frontEnd, const std::function<StepIn(const std::string& question)>& ask) {
    std::string keyword;
    if (row >= 0 && static_cast<std::size_t>(row) < state.keywords.size()) {
        keyword = state.keywords[static_cast<std::size_t>(row)];
        list.setCell(row, CURRENT_RUN_COLUMN, texts::TEXT_WAITING_FOR_PERSON);
    }
    switch (ask(stepInQuestion(keyword, cause, frontEnd))) {
        case StepIn::Continue: desk.answer(true); break;
        case StepIn::GiveUp: desk.answer(false); break;
        case StepIn::StopSurvey: abortSurvey(state); break;
    }
}

}  // namespace vexor
