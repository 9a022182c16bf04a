// The program's private window messages. The survey worker posts the first two and the last two
// to the main window (row in wParam, the number in lParam); the window posts the third to itself
// at the end of its initialisation.
#pragma once

#include <windows.h>

#include "survey/survey_events.h"

namespace vexor {

inline constexpr UINT WM_SURVEY_PROGRESS = WM_APP + 1;  // lParam: results already examined
inline constexpr UINT WM_SURVEY_RESULT = WM_APP + 2;    // lParam: rank, 0 not found, -1 aborted
inline constexpr UINT WM_STARTUP_LOAD = WM_APP + 3;     // wParam and lParam 0
// After the WM_SURVEY_RESULT (rank 0) of a keyword whose first results page could not be read;
// lParam: why, as packFirstPageFailure packs it.
inline constexpr UINT WM_SURVEY_FAILURE = WM_APP + 4;
inline constexpr UINT WM_SURVEY_ENDED = WM_APP + 5;  // the worker's last message; wParam, lParam 0

// How a search that failed on page 1 ended, in the 32 bits of an lParam: the SearchEnd, the
// fetch's failure and its HTTP status.
inline LPARAM packFirstPageFailure(const SearchEnding& ending) {
    return static_cast<LPARAM>(static_cast<unsigned>(ending.how) << 24 |
                               static_cast<unsigned>(ending.fetch.failure) << 16 |
                               (static_cast<unsigned>(ending.fetch.status) & 0xFFFF));
}

inline SearchEnding unpackFirstPageFailure(LPARAM packed) {
    const auto bits = static_cast<unsigned>(packed);
    return {static_cast<SearchEnd>(bits >> 24 & 0xFF),
            1,
            {static_cast<FetchFailure>(bits >> 16 & 0xFF), static_cast<int>(bits & 0xFFFF)}};
}

// A record of the run could not be stored in the history (once a run); wParam and lParam 0.
inline constexpr UINT WM_SURVEY_HISTORY_NOT_STORED = WM_APP + 6;

}  // namespace vexor
