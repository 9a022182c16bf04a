// Survey events for tests: recorded under a lock, since the worker reports from its own thread.
#pragma once

#include <mutex>
#include <vector>

#include "survey/survey_events.h"

namespace vexor::testing {

struct RecordedEvent {
    // Stored: historyNotStored(); Waiting: waitingForPerson()
    enum Kind { Progress, Result, Ended, Stored, Refusing, SurveyEnded, Waiting } kind;
    int row;
    int value;  // examined results, rank, the SearchEnd value, or the FailureCause waited on
    int page;   // for Ended only
    SearchFailure failure = {};  // for Ended only

    friend bool operator==(const RecordedEvent&, const RecordedEvent&) = default;
};

class RecordingEvents : public SurveyEvents {
public:
    void progress(int row, int examined) override { add({RecordedEvent::Progress, row, examined, 0}); }
    void result(int row, int rank) override { add({RecordedEvent::Result, row, rank, 0}); }
    void searchEnded(int row, const SearchEnding& ending) override {
        add({RecordedEvent::Ended, row, static_cast<int>(ending.how), ending.page, ending.failure});
    }
    void waitingForPerson(int row, FailureCause cause) override {
        add({RecordedEvent::Waiting, row, static_cast<int>(cause), 0});
    }
    void historyNotStored() override { add({RecordedEvent::Stored, -1, 0, 0}); }
    void engineRefusing() override { add({RecordedEvent::Refusing, -1, 0, 0}); }
    void surveyEnded() override { add({RecordedEvent::SurveyEnded, -1, 0, 0}); }

    std::vector<RecordedEvent> events() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return events_;
    }
    void clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.clear();
    }
    // The events of one kind, in order.
    std::vector<RecordedEvent> of(RecordedEvent::Kind kind) const {
        std::vector<RecordedEvent> picked;
        for (const auto& e : events())
            if (e.kind == kind) picked.push_back(e);
        return picked;
    }

private:
    void add(const RecordedEvent& e) {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(e);
    }
    mutable std::mutex mutex_;
    std::vector<RecordedEvent> events_;
};

}  // namespace vexor::testing
