// Dialog procedure of the main window. Each message is handed to a small function; commands,
// settings, the start-up load and the status texts are the portable shell logic's. The window
// is modeless with a message loop of its own, so that its accelerator keys reach it.
#include "app/win32/main_window.h"

#include "app/command_dispatch.h"
#include "app/engine_menu.h"
#include "app/settings.h"
#include "app/survey_commands.h"
#include "app/survey_display.h"
#include "app/survey_failures.h"
#include "app/texts.h"
#include "app/win32/menu_commands.h"
#include "app/win32/window_messages.h"
#include "resources/resource_ids.h"

namespace vexor {
namespace {

// The smallest outer size that keeps the menu, a few rows of the list and the status bar.
constexpr int MIN_WINDOW_WIDTH = 360;
constexpr int MIN_WINDOW_HEIGHT = 240;

// A maximised or minimised window keeps the rectangle it had before, which is what the
// settings keep.
void recordWindowRect(MainWindow& window, HWND hwnd) {
    RECT rect{};
    if (IsZoomed(hwnd) || IsIconic(hwnd) || !GetWindowRect(hwnd, &rect)) return;
    window.state.windowRect = {rect.left, rect.top, rect.right, rect.bottom};
}

void placeFromSettings(MainWindow& window, HWND hwnd) {
    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    loadSettingsPlacement(window.state, desktop.right, desktop.bottom);
    const WindowRect& r = window.state.windowRect;
    MoveWindow(hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void showMenuStates(MainWindow& window, HWND hwnd, bool surveyRunning) {
    showCommandStates(GetMenu(hwnd), window.ui.engineMenuCount(), surveyRunning,
                      !window.state.survey.historyDirectory.empty());
    showFetchChoice(GetMenu(hwnd), loadNetworkSettings(window.state.workspace));
}

// After a command or the start-up load, which may have opened a survey; a running survey's
// menus are left to its start and its end.
void showIdleMenuStates(MainWindow& window, HWND hwnd) {
    if (!window.state.survey.surveyRunning) showMenuStates(window, hwnd, false);
}

void onInitDialog(MainWindow& window, HWND hwnd) {
    window.ui.attachMainWindow(hwnd);
    window.events.attach(hwnd);
    window.ui.setWindowTitle(texts::APP_TITLE);
    window.ui.setUpStatusBar();
    placeFromSettings(window, hwnd);
    window.ui.insertEngineSubmenu();
    buildEngineMenu(window.state, window.ui);
    window.ui.setUpResultList(window.state.columnWidths);
    window.ui.fitResultListToClientArea();
    loadSettingsPaths(window.state);
    showMenuStates(window, hwnd, false);
    PostMessageW(hwnd, WM_STARTUP_LOAD, 0, 0);
}

void onSize(MainWindow& window, HWND hwnd) {
    recordWindowRect(window, hwnd);
    window.ui.fitResultListToClientArea();
}

void onClose(MainWindow& window, HWND hwnd) {
    if (!confirmClose(window.state, window.ui)) return;
    window.state.columnWidths = window.ui.columnWidths();
    saveSettings(window.state);
    DestroyWindow(hwnd);
}

void showRunning(MainWindow& window) {
    window.ui.setStatusText(runningStatusText(window.run, window.state.failedKeywords, RunClock::now()));
}

void onSurveyStarted(MainWindow& window, HWND hwnd) {
    window.run = beginRun(window.state.survey.runRows, RunClock::now());
    window.ui.restartFollowing();
    showMenuStates(window, hwnd, true);
    showRunning(window);
}

void onCommand(MainWindow& window, HWND hwnd, int id) {
    const auto command = commandOf(id, window.state.engineMenu.engineCount());
    if (!command) return;
    switch (dispatchCommand(window.state, window.services, *command)) {
        case CommandOutcome::CloseWindow: PostMessageW(hwnd, WM_CLOSE, 0, 0); break;
        case CommandOutcome::SurveyStarted: onSurveyStarted(window, hwnd); break;
        case CommandOutcome::Done: showIdleMenuStates(window, hwnd); break;
    }
}

// The result list asks its parent for what it shows.
INT_PTR onNotify(MainWindow& window, HWND hwnd, NMHDR& header) {
    LRESULT result = 0;
    if (!window.ui.handleNotify(header, result)) return FALSE;
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

// The start-up load's messages (an engine or a survey file that does not load, the warning of
// a survey file) stand over the main window: the window, its list and its status bar are painted
// before the first of them, which otherwise comes up over an empty frame.
void onStartupLoad(MainWindow& window, HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const bool startNow = startupLoad(window.state, window.services);
    showIdleMenuStates(window, hwnd);
    if (startNow)
        PostMessageW(hwnd, WM_COMMAND, IDM_START_SURVEY, 0);
}

void onSurveyProgress(MainWindow& window, int row, int examined) {
    showSurveyProgress(window.ui, row, examined);
    window.ui.followProgress(row);
    showRunning(window);
}

void onSurveyResult(MainWindow& window, int row, int rank) {
    showSurveyResult(window.ui, row, rank);
    noteResult(window.run, rank);
    showRunning(window);
}

void onSurveyFailure(MainWindow& window, int row, LPARAM failure) {
    SearchFailure shown = unpackSurveyFailure(failure);
    shown.proxy = window.events.takeFailureProxy(row);
    showSurveyFailure(window.state, window.ui, row, shown);
    showRunning(window);
}

// The status line and the menus first: the message that follows waits for the user.
void onSurveyEnded(MainWindow& window, HWND hwnd) {
    const RunEnd end = runEndOf(window.run, window.state.survey.engineRefused);
    window.ui.setStatusText(endStatusText(window.run, end, window.state.failedKeywords));
    showMenuStates(window, hwnd, false);
    reportSurveyEnd(window.state, window.ui);
}

void onMinMaxInfo(MINMAXINFO& limits) {
    limits.ptMinTrackSize.x = MIN_WINDOW_WIDTH;
    limits.ptMinTrackSize.y = MIN_WINDOW_HEIGHT;
}

INT_PTR CALLBACK mainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    auto* window = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (window == nullptr) return FALSE;
    const int row = static_cast<int>(wParam);
    const int number = static_cast<int>(lParam);
    switch (message) {
        case WM_INITDIALOG: onInitDialog(*window, hwnd); return TRUE;
        case WM_MOVE: recordWindowRect(*window, hwnd); return TRUE;
        case WM_SIZE: onSize(*window, hwnd); return FALSE;
        case WM_GETMINMAXINFO: onMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam)); return TRUE;
        case WM_CLOSE: onClose(*window, hwnd); return TRUE;
        case WM_DESTROY: PostQuitMessage(0); return TRUE;
        case WM_COMMAND: onCommand(*window, hwnd, LOWORD(wParam)); return TRUE;
        case WM_NOTIFY: return onNotify(*window, hwnd, *reinterpret_cast<NMHDR*>(lParam));
        case WM_STARTUP_LOAD: onStartupLoad(*window, hwnd); return TRUE;
        case WM_SURVEY_PROGRESS: onSurveyProgress(*window, row, number); return TRUE;
        case WM_SURVEY_RESULT: onSurveyResult(*window, row, number); return TRUE;
        case WM_SURVEY_FAILURE: onSurveyFailure(*window, row, lParam); return TRUE;
        case WM_SURVEY_ENDED: onSurveyEnded(*window, hwnd); return TRUE;
        case WM_SURVEY_HISTORY_NOT_STORED: showHistoryNotStored(window->state.survey, window->ui); return TRUE;
        default: return FALSE;
    }
}

}  // namespace

void runMainWindow(HINSTANCE instance, MainWindow& window) {
    HWND hwnd = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MAIN_WINDOW), nullptr,
                                   mainWindowProc, reinterpret_cast<LPARAM>(&window));
    if (hwnd == nullptr) return;
    HACCEL keys = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_MAIN_ACCELERATORS));
    ShowWindow(hwnd, SW_SHOW);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (keys != nullptr && TranslateAcceleratorW(hwnd, keys, &message)) continue;
        if (IsDialogMessageW(hwnd, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace vexor
