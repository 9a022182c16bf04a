// The main window's commands: the busy guard, the dispatch of a command and the start-up load.
// The front end maps its own menu and key ids to a Command in one short switch and does what
// the result asks; the logic itself is portable.
#pragma once

#include "app/app_state.h"

namespace vexor {

struct Command {
    enum class Kind {
        OpenSurvey,    // 調査定義ファイルを開く(&O)
        StartSurvey,   // 調査開始(&B)
        AbortSurvey,   // 調査中止(&E)
        WriteReport,   // レポート作成(&R)
        RetryFailed,   // 失敗した語を再調査(&F)
        Exit,          // 終了(&X)
        Cancel,        // the Esc key
        NewEngine,     // エンジンファイルの新規作成(&N)
        EditEngine,    // エンジンファイルの編集(&E)
        ImportEngine,  // エンジンファイルのインポート(&I)
        Help,          // オンラインヘルプ(&H)
        SelectEngine,  // an item of the engine sub-menu
    };
    Kind kind;
    int engineIndex = -1;  // SelectEngine only: the item's index
};

inline constexpr char HELP_ADDRESS[] = "http://vexor.example.org/vexor/help.html";

// While a survey runs: shows "調査中です" (main window, warning) and returns true.
// Otherwise returns false and shows nothing.
bool busyGuard(const AppState& state, Messages& messages);

// What the window must do after a command.
enum class CommandOutcome { Done, CloseWindow };

// Carries out one command: the guarded ones (open survey, start, retry, report, engine items,
// new, edit, import) only when busyGuard lets them; abort, exit, Esc and help always. An engine
// index beyond the items does nothing. CloseWindow: close the window, whose handler calls
// saveSettings.
CommandOutcome dispatchCommand(AppState& state, AppServices& services, Command command);

// The start-up load: loads currentEnginePath when set, then opens the command-line survey file
// or else [SEARCH] last. True when the window must start the survey at once (a survey file was
// named on the command line).
bool startupLoad(AppState& state, AppServices& services);

// The start command with the state's current engine; with failedOnly, the retry of the keywords
// that failed in the current generation.
void startCurrentSurvey(AppState& state, AppServices& services, bool failedOnly = false);

}  // namespace vexor
