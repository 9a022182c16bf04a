// The main window: dialog 101, shown until it closes, with its keys (accelerator table 104).
#pragma once

#include <windows.h>

#include "app/app_state.h"
#include "app/run_status.h"
#include "app/win32/posted_survey_events.h"
#include "app/win32/win32_ui.h"

namespace vexor {

// What the main window's dialog procedure works with; all of it outlives the window.
struct MainWindow {
    AppState& state;
    AppServices& services;
    Win32Ui& ui;
    PostedSurveyEvents& events;
    RunProgress run = {};  // the survey run started last, as its reports count it
};

// Shows the main window without owner, runs its messages and keys, and returns when it has
// closed.
void runMainWindow(HINSTANCE instance, MainWindow& window);

}  // namespace vexor
