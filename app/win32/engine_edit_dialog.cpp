// Dialog procedure of the engine edit dialog: a short switch that hands each command to the
// portable edit dialog logic.
#include "app/win32/engine_edit_dialog.h"

#include "app/edit_dialog.h"
#include "app/texts.h"
#include "platform/text.h"
#include "resources/resource_ids.h"

namespace vexor {
namespace {

struct EditDialog {
    AppState& state;
    AppServices& services;
    Win32Ui& ui;
    EditMode mode;
};

// Returns FALSE: the keyword field has been given the focus here. The resource's caption is the
// edit mode's; a new engine's dialog says that it creates one.
INT_PTR onInitDialog(EditDialog& dialog, HWND hwnd) {
    dialog.ui.attachEditDialog(hwnd);
    if (dialog.mode == EditMode::New)
        SetWindowTextW(hwnd, cp932ToWide(texts::NEW_DIALOG_TITLE).c_str());
    openEditDialog(dialog.state, dialog.services, dialog.mode);
    SetFocus(GetDlgItem(hwnd, IDC_KEYWORD));
    return FALSE;
}

void onCommand(EditDialog& dialog, HWND hwnd, int id) {
    switch (id) {
        case IDC_LEARN: learnInEditDialog(dialog.state, dialog.services); break;
        case IDOK:
            if (saveEditDialog(dialog.state, dialog.services)) PostMessageW(hwnd, WM_CLOSE, 0, 0);
            break;
        case IDCANCEL:
            cancelEditDialog(dialog.state);
            PostMessageW(hwnd, WM_CLOSE, 0, 0);
            break;
        default: break;
    }
}

// Handled here rather than by the default procedure, which would turn the close box into a
// cancel: closing by the caption keeps what the dialog put into the current engine.
void onClose(HWND hwnd) { EndDialog(hwnd, 1); }

INT_PTR CALLBACK editDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    auto* dialog = reinterpret_cast<EditDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (dialog == nullptr) return FALSE;
    switch (message) {
        case WM_INITDIALOG: return onInitDialog(*dialog, hwnd);
        case WM_COMMAND: onCommand(*dialog, hwnd, LOWORD(wParam)); return TRUE;
        case WM_CLOSE: onClose(hwnd); return TRUE;
        default: return FALSE;
    }
}

}  // namespace

void runEngineEditDialog(HINSTANCE instance, AppState& state, AppServices& services, Win32Ui& ui,
                         EditMode mode) {
    EditDialog dialog{state, services, ui, mode};
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ENGINE_EDIT), ui.mainWindow(), editDialogProc,
                    reinterpret_cast<LPARAM>(&dialog));
    ui.attachEditDialog(nullptr);
}

}  // namespace vexor
