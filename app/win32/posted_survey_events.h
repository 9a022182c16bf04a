// Survey events as window messages: the worker thread posts each event to the main window and
// goes on at once; the window's message loop turns them into texts of the result list.
#pragma once

#include <windows.h>

#include <map>
#include <mutex>
#include <string>

#include "survey/survey_events.h"

namespace vexor {

class PostedSurveyEvents : public SurveyEvents {
public:
    // Set at the main window's initialisation, before any survey can start (starting the
    // worker thread makes the handle visible to it).
    void attach(HWND window) { window_ = window; }

    void progress(int row, int examined) override;
    void result(int row, int rank) override;
    void searchEnded(int row, const SearchEnding& ending) override;
    void historyNotStored() override;
    void surveyEnded() override;

    // The proxy through which row's failed page could not be got, "" when none: the posted
    // failure has no room for it, so the window takes it here as it shows the failure.
    std::string takeFailureProxy(int row);

private:
    HWND window_ = nullptr;
    // The failure of the row being searched, posted after its result so that the failure, not
    // "-", stays in its cell. Touched by the worker thread only.
    int failedRow_ = -1;
    LPARAM failure_ = 0;
    std::mutex proxiesLock_;
    std::map<int, std::string> failureProxies_;  // by row
};

}  // namespace vexor
