// The main window's commands: the busy guard, the dispatch of a command and the start-up load.
// The front end maps its own menu and key ids to a Command in one short switch and does what
// the result asks; the logic itself is portable.
#pragma once

#include "app/app_state.h"
#include "app/settings.h"

namespace vexor {

struct Command {
    enum class Kind {
        OpenSurvey,    // 調査定義ファイルを開く(&O)
        StartSurvey,   // 調査開始(&B)
        AbortSurvey,   // 調査中止(&E)
        WriteReport,   // レポート作成(&R)
        RetryFailed,   // 失敗した語を再調査(&F)
        ExportCsv,     // CSV 出力(&C)…
        Exit,          // 終了(&X)
        Cancel,        // the Esc key: aborts a running survey, else nothing
        NewEngine,     // エンジンファイルの新規作成(&N)
        EditEngine,    // エンジンファイルの編集(&E)
        ImportEngine,  // エンジンファイルのインポート(&I)
        Help,          // マニュアル(&H)
        ColourLegend,  // 色の凡例(&L)
        SelectEngine,  // an item of the engine sub-menu
        ChooseFetch,   // ページを直接取得 / ブラウザで取得 / 取得サービスで取得
        BrowserWindow, // ブラウザのウィンドウを表示
    };
    Kind kind;
    int engineIndex = -1;  // SelectEngine only: the item's index
    FetchMode fetchMode = FetchMode::Direct;  // ChooseFetch only: the mode chosen
};

// The users' manual, beside vexor.exe in the program's folder (its images in the folder "manual").
inline constexpr char MANUAL_FILE_NAME[] = "manual.html";

// The help command: opens the manual of state.programFolder with the shell when the file is
// there; otherwise says where it was looked for and where it comes from, and opens nothing.
void openManual(const AppState& state, AppServices& services);

// While a survey runs: shows "調査中です" (main window, warning) and returns true.
// Otherwise returns false and shows nothing.
bool busyGuard(const AppState& state, Messages& messages);

// The commands that change the survey or the current engine, which the worker reads unlocked:
// busyGuard refuses them while a survey runs.
bool isGuarded(Command::Kind kind);

// Whether a menu offers the command: the guarded ones only while no survey runs, the abort only
// while one does, the CSV export only while a survey is open (and none runs), every other one
// always.
bool commandEnabled(Command::Kind kind, bool surveyRunning, bool surveyOpen);

// What the window must do after a command.
enum class CommandOutcome {
    Done,
    CloseWindow,    // close the window (which asks first while a survey runs)
    SurveyStarted,  // a survey worker was started
};

// The fetch choice: writes the mode to [NETWORK] Fetch, except the service while [NETWORK]
// Service is empty, which is explained instead and changes nothing.
void chooseFetchMode(const AppState& state, Messages& messages, FetchMode mode);

// The browser window item: [NETWORK] BrowserWindow turned over (0 to 1, anything else to 0).
void toggleBrowserWindow(const AppState& state);

// Carries out one command: the guarded ones (open survey, start, retry, report, CSV export,
// engine items, new, edit, import, the fetch choice and the browser window) only when busyGuard
// lets them; abort, exit, Esc, help and the legend
// always. Esc aborts a running survey as the abort command does and does nothing otherwise. An
// engine index beyond the items does nothing.
CommandOutcome dispatchCommand(AppState& state, AppServices& services, Command command);

// Whether the window may close now: while a survey runs, asks (Yes/No over the main window) and
// is true only for Yes; otherwise true without a question. The window's close handler calls
// saveSettings after it.
bool confirmClose(const AppState& state, Messages& messages);

// The start-up load: loads currentEnginePath when set, then opens the command-line survey file
// or else [SEARCH] last. True when the window must start the survey at once (a survey file was
// named on the command line).
bool startupLoad(AppState& state, AppServices& services);

// The start command with the state's current engine and the fetchers a run makes now
// (fetchersForRun; one that cannot be made is said over the main window and nothing starts);
// with failedOnly, the retry of the keywords that failed in the current generation. True when
// a worker was started.
bool startCurrentSurvey(AppState& state, AppServices& services, bool failedOnly = false);

}  // namespace vexor
