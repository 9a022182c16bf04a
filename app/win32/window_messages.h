// The program's private window messages. The survey worker posts the first two to the main
// window (row in wParam, the number in lParam); the window posts the third to itself at the end
// of its initialisation.
#pragma once

#include <windows.h>

namespace vexor {

inline constexpr UINT WM_SURVEY_PROGRESS = WM_APP + 1;  // lParam: results already examined
inline constexpr UINT WM_SURVEY_RESULT = WM_APP + 2;    // lParam: rank, 0 not found, -1 aborted
inline constexpr UINT WM_STARTUP_LOAD = WM_APP + 3;     // wParam and lParam 0
inline constexpr UINT WM_SURVEY_HISTORY_NOT_STORED = WM_APP + 4;  // wParam and lParam 0

}  // namespace vexor
