// The program's private window messages. The survey worker posts all but the third to the main
// window (row in wParam, the number in lParam); the window posts the third to itself at the end
// of its initialisation.
#pragma once

#include <windows.h>

#include "survey/survey_events.h"

namespace vexor {

inline constexpr UINT WM_SURVEY_PROGRESS = WM_APP + 1;  // lParam: results already examined
inline constexpr UINT WM_SURVEY_RESULT = WM_APP + 2;    // lParam: rank, 0 not found, -1 aborted
inline constexpr UINT WM_STARTUP_LOAD = WM_APP + 3;     // wParam and lParam 0
// After the WM_SURVEY_RESULT (rank 0) of a keyword whose search failed; lParam: which page and
// why, as packSurveyFailure packs it.
inline constexpr UINT WM_SURVEY_FAILURE = WM_APP + 4;
inline constexpr UINT WM_SURVEY_ENDED = WM_APP + 5;  // the worker's last message; wParam, lParam 0

// A failure in the 32 bits of an lParam: its cause, its page and the HTTP status.
inline LPARAM packSurveyFailure(const SearchFailure& failure) {
    return static_cast<LPARAM>(static_cast<unsigned>(failure.cause) << 24 |
                               (static_cast<unsigned>(failure.page) & 0xFF) << 16 |
                               (static_cast<unsigned>(failure.status) & 0xFFFF));
}

inline SearchFailure unpackSurveyFailure(LPARAM packed) {
    const auto bits = static_cast<unsigned>(packed);
    return {static_cast<int>(bits >> 16 & 0xFF), static_cast<FailureCause>(bits >> 24 & 0xFF),
            static_cast<int>(bits & 0xFFFF)};
}

// A record of the run could not be stored in the history (once a run); wParam and lParam 0.
inline constexpr UINT WM_SURVEY_HISTORY_NOT_STORED = WM_APP + 6;

// The worker waits for a person to complete a consent or captcha page in the browser window;
// wParam the row, lParam the FailureCause.
inline constexpr UINT WM_SURVEY_WAITING = WM_APP + 7;

}  // namespace vexor
