// The survey worker's reports for vexor-cli: the worker thread pushes, the main thread pops and
// acts on them, as the Windows program's window messages are handled by its window.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

#include "survey/survey_events.h"

namespace vexor::cli {

struct SurveyEvent {
    enum class Kind {
        Progress,
        Result,
        SearchEnded,
        HistoryNotStored,
        EngineRefusing,
        SurveyEnded,
        WaitingForPerson,
    } kind;
    int row = 0;
    // examined results for Progress, the rank for Result (-1 aborted), the FailureCause for
    // WaitingForPerson
    int value = 0;
    SearchEnding ending;  // SearchEnded only
};

class SurveyEventQueue : public SurveyEvents {
public:
    // Worker side: never waits for the main thread.
    void progress(int row, int examined) override;
    void result(int row, int rank) override;
    void searchEnded(int row, const SearchEnding& ending) override;
    void waitingForPerson(int row, FailureCause cause) override;
    void historyNotStored() override;
    void engineRefusing() override;
    void surveyEnded() override;

    // Main-thread side: the oldest event, waiting at most timeout for one to arrive.
    std::optional<SurveyEvent> pop(std::chrono::milliseconds timeout);

private:
    void push(const SurveyEvent& event);

    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<SurveyEvent> events_;
};

}  // namespace vexor::cli
