// The logic of the engine edit dialog. The dialog edits the current engine in place and keeps
// the state before it opened in state.backupEngine. The front end's dialog procedure calls:
//   initialisation      -> openEditDialog(mode)
//   "学習" (1011)        -> learnInEditDialog
//   "保存" (1, Enter)    -> saveEditDialog; close the dialog only when it returns true
//   "キャンセル" (2, Esc) -> cancelEditDialog, then close
//   close box / system menu -> close at once, nothing called (the engine keeps what the dialog
//                              put into it; nothing is restored)
#pragma once

#include "app/app_state.h"

namespace vexor {

// Remembers the mode, copies the current engine to the backup and resets it. In edit mode it
// reads currentEnginePath; when that succeeds the fields and the status label show the file.
// Otherwise the fields stay empty and the label reads "未学習".
void openEditDialog(AppState& state, AppServices& services, EditMode mode);

// The learn button: learns into the current engine from the fields with the fetcher a run
// makes now (fetchersForRun; one that cannot be made is said over the dialog and nothing is
// learnt); the learn command shows its own messages and refreshes the status label.
void learnInEditDialog(AppState& state, AppServices& services);

// "保存": takes the fields into the current engine; an unlearnt engine is saved only after a
// Yes to the question; in new mode the Save As dialog names the file, which becomes
// currentEnginePath (cancelled: nothing written; the engine folder is made before it opens).
// Writes the engine and reads it back, so the current engine equals what is stored. An
// unlearnt engine saved to a new file while another engine was current leaves that one current
// (its engine and path from when the dialog opened), unless the new file is that engine's own.
// A write that fails says so and returns false, leaving the engine and currentEnginePath as
// they were. True when the dialog should close.
bool saveEditDialog(AppState& state, AppServices& services);

// "キャンセル": the current engine becomes exactly what it was before the dialog opened.
void cancelEditDialog(AppState& state);

}  // namespace vexor
