// Dialog procedure of the main window. Each message is handed to a small function; commands,
// settings and the start-up load are the portable shell logic's.
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

void recordWindowRect(MainWindow& window, HWND hwnd) {
    RECT rect{};
    if (!GetWindowRect(hwnd, &rect)) return;
    window.state.windowRect = {rect.left, rect.top, rect.right, rect.bottom};
}

void placeFromSettings(MainWindow& window, HWND hwnd) {
    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    loadSettingsPlacement(window.state, desktop.right, desktop.bottom);
    const WindowRect& r = window.state.windowRect;
    MoveWindow(hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void onInitDialog(MainWindow& window, HWND hwnd) {
    window.ui.attachMainWindow(hwnd);
    window.events.attach(hwnd);
    window.ui.setWindowTitle(texts::APP_TITLE);
    placeFromSettings(window, hwnd);
    window.ui.insertEngineSubmenu();
    buildEngineMenu(window.state, window.ui);
    window.ui.setUpResultList();
    loadSettingsPaths(window.state);
    PostMessageW(hwnd, WM_STARTUP_LOAD, 0, 0);
}

void onSize(MainWindow& window, HWND hwnd) {
    recordWindowRect(window, hwnd);
    window.ui.fitResultListToClientArea();
}

void onClose(MainWindow& window, HWND hwnd) {
    saveSettings(window.state);
    EndDialog(hwnd, 1);
}

void onCommand(MainWindow& window, HWND hwnd, int id) {
    const auto command = commandOf(id, window.state.engineMenu.engineCount());
    if (command &&
        dispatchCommand(window.state, window.services, *command) == CommandOutcome::CloseWindow)
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
}

// The result list asks its parent for what it shows.
INT_PTR onNotify(MainWindow& window, HWND hwnd, NMHDR& header) {
    LRESULT result = 0;
    if (!window.ui.handleNotify(header, result)) return FALSE;
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

void onStartupLoad(MainWindow& window, HWND hwnd) {
    if (startupLoad(window.state, window.services))
        PostMessageW(hwnd, WM_COMMAND, IDM_START_SURVEY, 0);
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
        case WM_CLOSE: onClose(*window, hwnd); return TRUE;
        case WM_COMMAND: onCommand(*window, hwnd, LOWORD(wParam)); return TRUE;
        case WM_NOTIFY: return onNotify(*window, hwnd, *reinterpret_cast<NMHDR*>(lParam));
        case WM_STARTUP_LOAD: onStartupLoad(*window, hwnd); return TRUE;
        case WM_SURVEY_PROGRESS: showSurveyProgress(window->ui, row, number); return TRUE;
        case WM_SURVEY_RESULT: showSurveyResult(window->ui, row, number); return TRUE;
        case WM_SURVEY_FAILURE:
            showSurveyFailure(window->state, window->ui, row, unpackSurveyFailure(lParam));
            return TRUE;
        case WM_SURVEY_ENDED: reportSurveyEnd(window->state, window->ui); return TRUE;
        case WM_SURVEY_HISTORY_NOT_STORED: showHistoryNotStored(window->state.survey, window->ui); return TRUE;
        default: return FALSE;
    }
}

}  // namespace

void runMainWindow(HINSTANCE instance, MainWindow& window) {
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN_WINDOW), nullptr, mainWindowProc,
                    reinterpret_cast<LPARAM>(&window));
}

}  // namespace vexor
