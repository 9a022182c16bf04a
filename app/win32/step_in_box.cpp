// Dialog procedure of the step-in box: its texts in, the button pressed out; what the answer
// does is the shell's (app/hand_off.h).
#include "app/win32/step_in_box.h"

#include "app/texts.h"
#include "platform/text.h"
#include "resources/resource_ids.h"

namespace vexor {
namespace {

// EndDialog's result: the answer plus one, so that 0 and -1 (no box) stay apart from them.
INT_PTR endingOf(StepIn answer) { return static_cast<INT_PTR>(answer) + 1; }

void setText(HWND hwnd, int id, const char* cp932) { SetDlgItemTextW(hwnd, id, cp932ToWide(cp932).c_str()); }

INT_PTR onInitDialog(HWND hwnd, const std::string& question) {
    SetWindowTextW(hwnd, cp932ToWide(texts::TEXT_STEP_IN_TITLE).c_str());
    setText(hwnd, IDC_STEP_IN_TEXT, question.c_str());
    setText(hwnd, IDOK, texts::TEXT_STEP_IN_CONTINUE);
    setText(hwnd, IDC_STEP_IN_GIVE_UP, texts::TEXT_STEP_IN_GIVE_UP);
    return TRUE;  // the default button, 続行, takes the focus
}

void onCommand(HWND hwnd, int id) {
    switch (id) {
        case IDOK: EndDialog(hwnd, endingOf(StepIn::Continue)); break;
        case IDC_STEP_IN_GIVE_UP: EndDialog(hwnd, endingOf(StepIn::GiveUp)); break;
        case IDCANCEL: EndDialog(hwnd, endingOf(StepIn::StopSurvey)); break;  // Esc
        default: break;
    }
}

INT_PTR CALLBACK stepInBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: return onInitDialog(hwnd, *reinterpret_cast<const std::string*>(lParam));
        case WM_COMMAND: onCommand(hwnd, LOWORD(wParam)); return TRUE;
        // Handled here: the default procedure would turn the close box into Esc.
        case WM_CLOSE: EndDialog(hwnd, endingOf(StepIn::GiveUp)); return TRUE;
        default: return FALSE;
    }
}

}  // namespace

StepIn runStepInBox(HINSTANCE instance, HWND owner, const std::string& question) {
    const INT_PTR ending = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_STEP_IN), owner, stepInBoxProc,
                                           reinterpret_cast<LPARAM>(&question));
    if (ending == endingOf(StepIn::Continue)) return StepIn::Continue;
    if (ending == endingOf(StepIn::StopSurvey)) return StepIn::StopSurvey;
    return StepIn::GiveUp;
}

}  // namespace vexor
