// The main window's commands: their ids, the busy guard, the dispatch of WM_COMMAND and the
// start-up load. The front end's dialog procedure hands every command id to dispatchCommand
// and does what the result asks; the logic itself is portable.
#pragma once

#include "app/app_state.h"

namespace vexor {

// Menu command ids (menu resource 102). Engine items follow from ENGINE_MENU_FIRST_ID.
inline constexpr int CMD_OPEN_SURVEY = 40005;    // 調査定義ファイルを開く(&O)
inline constexpr int CMD_START_SURVEY = 40010;   // 調査開始(&B)
inline constexpr int CMD_ABORT_SURVEY = 40009;   // 調査中止(&E)
inline constexpr int CMD_EXIT = 40004;           // 終了(&X)
inline constexpr int CMD_CANCEL = 2;             // the Esc key
inline constexpr int CMD_NEW_ENGINE = 40021;     // エンジンファイルの新規作成(&N)
inline constexpr int CMD_EDIT_ENGINE = 40020;    // エンジンファイルの編集(&E)
inline constexpr int CMD_IMPORT_ENGINE = 40025;  // エンジンファイルのインポート(&I)
inline constexpr int CMD_HELP = 40012;           // オンラインヘルプ(&H)

inline constexpr char HELP_ADDRESS[] = "http://vexor.example.org/vexor/help.html";

// While a survey runs: shows "調査中です" (main window, warning) and returns true.
// Otherwise returns false and shows nothing.
bool busyGuard(const AppState& state, Ui& ui);

// What the window must do after a command.
enum class CommandOutcome { Done, CloseWindow };

// Carries out one WM_COMMAND id: the guarded commands (open survey, start, engine items, new,
// edit, import) only when busyGuard lets them; abort, exit, Esc and help always. Unknown ids
// (1, the Enter key, among them) do nothing. CloseWindow: post WM_CLOSE to the window, whose
// handler calls saveSettings.
CommandOutcome dispatchCommand(AppState& state, AppServices& services, int id);

// WM_STARTUP_LOAD: loads currentEnginePath when set, then opens the command-line survey file
// or else [SEARCH] last. True when the window must post itself CMD_START_SURVEY (a survey
// file was named on the command line).
bool startupLoad(AppState& state, AppServices& services);

}  // namespace vexor
