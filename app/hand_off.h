// A person stepping in when the engine answers with a consent or captcha page: the survey worker
// waits at a HandOffDesk while the user-interface thread asks the person (a box in the Windows
// program, a prompt in vexor-cli), then continues with the same page, fails the keyword or stops
// the survey as they answer.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "app/result_list.h"
#include "app/workspace.h"
#include "survey/survey_context.h"
#include "survey/survey_state.h"

namespace vexor {

// Where the survey worker waits for a person's answer and the user-interface thread leaves it.
// One worker waits at a time.
class HandOffDesk {
public:
    // Worker side: waits until answer() or until abortFlag is set (looked at every 20 ms), and
    // takes the answer: true to fetch the page again. An answer left before the wait began is
    // taken at once; an abort drops one left unseen.
    bool await(const std::atomic<bool>& abortFlag);
    // User-interface side.
    void answer(bool fetchAgain);

private:
    std::mutex mutex_;
    std::condition_variable answered_;
    std::optional<bool> answer_;
};

// The hand-off of a run whose worker waits at desk; desk outlives the worker.
HandOff handOffAt(HandOffDesk& desk);

// Whether a run of this workspace asks a person to complete consent and captcha pages: only when
// the pages come through a browser window the person can see ([NETWORK] Fetch=browser and
// BrowserWindow=1), since what they complete there (a cookie, a solved captcha) counts only for
// that browser.
bool personCanStepIn(const Workspace& workspace);

// What the person answers.
enum class StepIn {
    Continue,    // they completed the page: the same page is fetched again
    GiveUp,      // the keyword fails with the page's cause and the survey goes on
    StopSurvey,  // the survey is aborted, as its abort command does
};

// The question's lines: the keyword, what came instead of the results, and what to do (the
// Windows program's buttons, or the terminal's keys).
enum class StepInFrontEnd { Window, Terminal };
std::string stepInQuestion(const std::string& keyword, FailureCause cause, StepInFrontEnd frontEnd);

// What the user-interface thread does with waitingForPerson(row, cause): shows that the row
// waits in its cell, asks (ask gets the question and returns the answer), and leaves the answer
// at desk, or for StopSurvey aborts the survey, which ends the worker's wait and joins it.
void askPersonToStepIn(SurveyState& state, HandOffDesk& desk, ResultList& list, int row, FailureCause cause,
                       StepInFrontEnd frontEnd, const std::function<StepIn(const std::string& question)>& ask);

}  // namespace vexor
