// How the survey worker reports. Called on the worker thread: implementations hand the event to
// the user-interface thread (PostMessage in the Windows program, a queue in vexor-cli) and never
// wait for it.
#pragma once

#include "survey/rank_outcome.h"

namespace vexor {

// Why the search of one keyword ended.
enum class SearchEnd {
    Found,         // the target stood in a link
    ShortPage,     // a results page without its ten links (without any, for a rule that takes
                   // every result): the end of the results
    RepeatedPage,  // more than half the links equal those of the page before
    TenPages,      // page 10 passed without the target
    Failed,        // a page could not be read: SearchEnding::failure says which and why
    Aborted,       // the user asked the survey to stop
};

struct SearchEnding {
    SearchEnd how = SearchEnd::Found;
    int page = 1;           // the page the search ended on, 1..10
    SearchFailure failure;  // when Failed

    friend bool operator==(const SearchEnding&, const SearchEnding&) = default;
};

class SurveyEvents {
public:
    virtual ~SurveyEvents() = default;
    // Before each results page: the number of results already examined (0, 10, ... 90).
    virtual void progress(int row, int examined) = 0;
    // A keyword finished (rank 1..100, 0 not found or failed) or aborted (-1).
    virtual void result(int row, int rank) = 0;
    // How the search of a row ended; before result().
    virtual void searchEnded(int /*row*/, const SearchEnding& /*ending*/) {}
    // The search of row met a consent or captcha page (cause) and waits for a person to complete
    // it in the browser window; the next report of the row is the progress of the same page
    // again, or how its search ended.
    virtual void waitingForPerson(int /*row*/, FailureCause /*cause*/) {}
    // A record could not be stored in the history; reported once a run, before that row's
    // result(). The rank is still reported.
    virtual void historyNotStored() {}
    // The engine refused several keywords in a row; after the last one's result the worker
    // stops, leaving the keywords not reached for the next start.
    virtual void engineRefusing() {}
    // The worker is about to end: after the last keyword or at an abort; the last event.
    virtual void surveyEnded() {}
};

}  // namespace vexor
