// How the survey worker reports. Called on the worker thread: implementations hand the event to
// the user-interface thread (PostMessage in the Windows program, a queue in vexor-cli) and never
// wait for it.
#pragma once

#include "web/page_fetcher.h"

namespace vexor {

// Why the search of one keyword ended.
enum class SearchEnd {
    Found,         // the target stood in a link
    EmptyPage,     // the server answered with an empty body every attempt
    FetchFailed,   // no body came: the fetch's failure says why (network, certificate, ...)
    HttpError,     // the server answered with an error status (400 and up) and no ten links
    NoTenLinks,    // the page had a body but no rule yielded an accepted set of ten links
    RepeatedPage,  // more than half the links equal those of the page before
    TenPages,      // page 10 passed without the target
    Aborted,       // the user asked the survey to stop
};

struct SearchEnding {
    SearchEnd how = SearchEnd::Found;
    int page = 1;        // the page the search ended on, 1..10
    FetchOutcome fetch;  // what the fetch of that page reported (none for an abort before it)

    friend bool operator==(const SearchEnding&, const SearchEnding&) = default;
};

// Whether the search ended because its first results page could not be read: the keyword's
// rank of 0 then says nothing about the site, and the engine may need to be learnt again.
inline bool firstPageFailed(const SearchEnding& ending) {
    if (ending.page != 1) return false;
    switch (ending.how) {
        case SearchEnd::EmptyPage:
        case SearchEnd::FetchFailed:
        case SearchEnd::HttpError:
        case SearchEnd::NoTenLinks:
            return true;
        default:
            return false;
    }
}

class SurveyEvents {
public:
    virtual ~SurveyEvents() = default;
    // Before each results page: the number of results already examined (0, 10, ... 90).
    virtual void progress(int row, int examined) = 0;
    // A keyword finished (rank 1..100, 0 not found) or aborted (-1).
    virtual void result(int row, int rank) = 0;
    // How the search of a row ended; before result().
    virtual void searchEnded(int /*row*/, const SearchEnding& /*ending*/) {}
    // A record could not be stored in the history; reported once a run, before that row's
    // result(). The rank is still reported.
    virtual void historyNotStored() {}
    // The worker is about to end: after the last keyword or at an abort; the last event.
    virtual void surveyEnded() {}
};

}  // namespace vexor
