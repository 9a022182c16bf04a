// How long the Windows program's result list takes to open a big survey with five generations of
// history, and to show a survey's progress and results, measured on the real list view of
// dialog 101 (run by hand under Wine on a display: tests/e2e/with-xvfb cmake/wine-run ...).
//   usage: vexor_result_list_bench.exe [KEYWORDS] [REPEATS]     (defaults: 5000 and 3)
// Each figure includes painting the window afterwards.
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/survey_commands.h"
#include "app/survey_display.h"
#include "app/win32/win32_ui.h"
#include "fake_ui.h"
#include "platform/files.h"
#include "survey/history.h"
#include "survey/survey_state.h"
#include "test_workspace.h"

namespace vexor {
namespace {

using Stopwatch = std::chrono::steady_clock;

Win32Ui* benchUi = nullptr;

// Answers the result list's notifications as the main window does.
INT_PTR CALLBACK benchProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
    LRESULT result = 0;
    if (message != WM_NOTIFY || benchUi == nullptr ||
        !benchUi->handleNotify(*reinterpret_cast<NMHDR*>(lParam), result))
        return FALSE;
    SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
}

// Handles everything queued, paints what is invalid.
void settle(HWND window) {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    UpdateWindow(window);
    GdiFlush();
}

double millisecondsSince(Stopwatch::time_point start) {
    return std::chrono::duration<double, std::milli>(Stopwatch::now() - start).count();
}

void writeFile(const std::string& path, const std::string& bytes) {
    if (!replaceFileContent(path, bytes)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

// A survey of count keywords and five finished generations with changing ranks.
std::string writeSurvey(const testing::TestWorkspace& files, int count) {
    std::string survey = "www.bench.example\r\n";
    for (int i = 0; i < count; ++i) survey += "keyword " + std::to_string(i) + "\r\n";
    writeFile(files.at("bench.txt"), survey);
    const std::string folder = files.joined("www.bench.example");
    makeDirectory(folder);
    for (int generation = 0; generation < HISTORY_GENERATIONS; ++generation) {
        SystemTime at{2024, 5, 0, static_cast<uint16_t>(10 - generation), 9, 0, 0, 0};
        std::string content = generationHeader(at, "nuq") + "\r\n";
        for (int i = 0; i < count; ++i)
            content += historyRecord(at, "keyword " + std::to_string(i), (i * 7 + generation * 3) % 101);
        writeFile(historyFilePath(folder, generation), content);
    }
    return "bench.txt";
}

}  // namespace
}  // namespace vexor

int main(int argc, char** argv) {
    using namespace vexor;
    const int keywords = argc > 1 ? std::atoi(argv[1]) : 5000;
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 3;

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    testing::TestWorkspace files;
    Win32Ui ui(files.workspace());
    benchUi = &ui;
    HWND window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(101), nullptr,
                                     benchProc, 0);
    if (window == nullptr) {
        std::fprintf(stderr, "no window (no display?)\n");
        return 1;
    }
    ui.attachMainWindow(window);
    ui.setUpResultList();
    MoveWindow(window, 0, 0, 800, 600, TRUE);
    ui.fitResultListToClientArea();
    ShowWindow(window, SW_SHOW);
    settle(window);

    const std::string survey = writeSurvey(files, keywords);
    testing::FakeUi messages;
    for (int run = 1; run <= repeats; ++run) {
        SurveyState state;
        const auto start = Stopwatch::now();
        if (!openSurveyFile(state, files.workspace(), survey, messages, ui)) {
            std::fprintf(stderr, "open failed\n");
            return 1;
        }
        settle(window);
        std::printf("open %d keywords x 5 generations: %.0f ms (run %d)\n", keywords,
                    millisecondsSince(start), run);
    }

    // A survey's reports as the main window handles them: ten progress texts and the result for
    // every keyword, each followed by a repaint as between two posted messages.
    const auto start = Stopwatch::now();
    for (int row = 0; row < keywords; ++row) {
        for (int examined = 0; examined < 100; examined += 10) {
            showSurveyProgress(ui, row, examined);
            settle(window);
        }
        showSurveyResult(ui, row, row % 101);
        settle(window);
    }
    std::printf("survey updates, %d keywords x 11 reports: %.0f ms\n", keywords,
                millisecondsSince(start));
    DestroyWindow(window);
    return 0;
}
