// The main window: dialog 101, shown modally until it closes.
#pragma once

#include <windows.h>

#include "app/app_state.h"
#include "app/win32/posted_survey_events.h"
#include "app/win32/win32_ui.h"

namespace vexor {

// What the main window's dialog procedure works with; all of it outlives the window.
struct MainWindow {
    AppState& state;
    AppServices& services;
    Win32Ui& ui;
    PostedSurveyEvents& events;
};

// Shows the main window without owner and returns when it has closed.
void runMainWindow(HINSTANCE instance, MainWindow& window);

}  // namespace vexor
