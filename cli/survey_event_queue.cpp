// A thread-safe queue of survey events.
#include "cli/survey_event_queue.h"

namespace vexor::cli {

void SurveyEventQueue::progress(int row, int examined) {
    push({SurveyEvent::Kind::Progress, row, examined, {}});
}

void SurveyEventQueue::result(int row, int rank) { push({SurveyEvent::Kind::Result, row, rank, {}}); }

void SurveyEventQueue::searchEnded(int row, const SearchEnding& ending) {
    push({SurveyEvent::Kind::SearchEnded, row, 0, ending});
}

void SurveyEventQueue::waitingForPerson(int row, FailureCause cause) {
    push({SurveyEvent::Kind::WaitingForPerson, row, static_cast<int>(cause), {}});
}

void SurveyEventQueue::historyNotStored() { push({SurveyEvent::Kind::HistoryNotStored, 0, 0, {}}); }

void SurveyEventQueue::engineRefusing() { push({SurveyEvent::Kind::EngineRefusing, 0, 0, {}}); }

void SurveyEventQueue::surveyEnded() { push({SurveyEvent::Kind::SurveyEnded, 0, 0, {}}); }

void SurveyEventQueue::push(const SurveyEvent& event) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(event);
    }
    arrived_.notify_one();
}

std::optional<SurveyEvent> SurveyEventQueue::pop(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!arrived_.wait_for(lock, timeout, [this] { return !events_.empty(); }))
        return std::nullopt;
    SurveyEvent event = events_.front();
    events_.pop_front();
    return event;
}

}  // namespace vexor::cli
