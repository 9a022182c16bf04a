// How the survey worker reports. Called on the worker thread: implementations hand the event to
// the user-interface thread (PostMessage in the Windows program, a queue in vexor-cli) and never
// wait for it.
#pragma once

namespace vexor {

// Why the search of one keyword ended; the Windows program ignores it, vexor-cli warns on it.
enum class SearchEnd {
    Found,         // the target stood in a link
    EmptyPage,     // the page came back empty after every attempt
    NoTenLinks,    // the page had a body but no rule yielded an accepted set of ten links
    RepeatedPage,  // more than half the links equal those of the page before
    TenPages,      // page 10 passed without the target
    Aborted,       // the user asked the survey to stop
};

class SurveyEvents {
public:
    virtual ~SurveyEvents() = default;
    // Before each results page: the number of results already examined (0, 10, ... 90).
    virtual void progress(int row, int examined) = 0;
    // A keyword finished (rank 1..100, 0 not found) or aborted (-1).
    virtual void result(int row, int rank) = 0;
    // How the search of a row ended and on which page (1..10); before result().
    virtual void searchEnded(int /*row*/, SearchEnd /*how*/, int /*page*/) {}
    // A record could not be stored in the history; reported once a run, before that row's
    // result(). The rank is still reported.
    virtual void historyNotStored() {}
};

}  // namespace vexor
