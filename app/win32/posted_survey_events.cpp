// Survey events posted to the main window.
#include "app/win32/posted_survey_events.h"

#include <utility>

#include "app/win32/window_messages.h"

namespace vexor {

void PostedSurveyEvents::progress(int row, int examined) {
    PostMessageW(window_, WM_SURVEY_PROGRESS, static_cast<WPARAM>(row), examined);
}

// A rank of -1 (aborted) travels sign-extended in lParam.
void PostedSurveyEvents::result(int row, int rank) {
    PostMessageW(window_, WM_SURVEY_RESULT, static_cast<WPARAM>(row), rank);
    if (row == failedRow_) PostMessageW(window_, WM_SURVEY_FAILURE, static_cast<WPARAM>(row), failure_);
    failedRow_ = -1;
}

void PostedSurveyEvents::historyNotStored() {
    PostMessageW(window_, WM_SURVEY_HISTORY_NOT_STORED, 0, 0);
}

void PostedSurveyEvents::searchEnded(int row, const SearchEnding& ending) {
    failedRow_ = ending.how == SearchEnd::Failed ? row : -1;
    failure_ = packSurveyFailure(ending.failure);
    if (failedRow_ >= 0 && !ending.failure.proxy.empty()) {
        const std::lock_guard<std::mutex> lock(proxiesLock_);
        failureProxies_[row] = ending.failure.proxy;
    }
}

std::string PostedSurveyEvents::takeFailureProxy(int row) {
    const std::lock_guard<std::mutex> lock(proxiesLock_);
    const auto found = failureProxies_.find(row);
    if (found == failureProxies_.end()) return {};
    std::string proxy = std::move(found->second);
    failureProxies_.erase(found);
    return proxy;
}

void PostedSurveyEvents::surveyEnded() { PostMessageW(window_, WM_SURVEY_ENDED, 0, 0); }

}  // namespace vexor
