// Row tooltips of the result list.
#include "app/win32/row_tips.h"

#include <commctrl.h>

#include "app/list_columns.h"
#include "platform/text.h"

namespace vexor {
namespace {

// Wide enough for a long keyword or failure line; a width makes "\n" break lines.
constexpr int TIP_WIDTH = 600;
constexpr UINT_PTR SUBCLASS_ID = 1;

TOOLINFOW listTool(HWND list) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = list;
    tool.uId = 0;
    return tool;
}

}  // namespace

void RowTips::create(HWND owner, HWND list, const ResultListModel& model) {
    list_ = list;
    model_ = &model;
    tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, nullptr, nullptr);
    if (tips_ == nullptr) return;
    SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, TIP_WIDTH);
    TOOLINFOW tool = listTool(list_);
    tool.uFlags = TTF_SUBCLASS;
    tool.lpszText = const_cast<wchar_t*>(L"");
    GetClientRect(list_, &tool.rect);
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // After the tooltip's own subclass, so the text is set before it sees the same move.
    SetWindowSubclass(list_, listProc, SUBCLASS_ID, reinterpret_cast<DWORD_PTR>(this));
}

void RowTips::fitToList() {
    if (tips_ == nullptr) return;
    TOOLINFOW tool = listTool(list_);
    GetClientRect(list_, &tool.rect);
    SendMessageW(tips_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

// A new row under the pointer takes the tip down, so that it comes back with the new text.
void RowTips::pointerAt(int x, int y) {
    LVHITTESTINFO hit{};
    hit.pt = {x, y};
    const int index = ListView_HitTest(list_, &hit);
    const int row = index >= 0 && (hit.flags & LVHT_ONITEM) ? index : -1;
    if (row == row_) return;
    row_ = row;
    std::wstring text = row >= 0 ? cp932ToWide(rowTipText(*model_, row)) : std::wstring();
    TOOLINFOW tool = listTool(list_);
    tool.lpszText = text.data();
    SendMessageW(tips_, TTM_POP, 0, 0);
    SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

LRESULT CALLBACK RowTips::listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR self) {
    if (message == WM_MOUSEMOVE)
        reinterpret_cast<RowTips*>(self)->pointerAt(static_cast<short>(LOWORD(lParam)),
                                                    static_cast<short>(HIWORD(lParam)));
    if (message == WM_NCDESTROY) RemoveWindowSubclass(list, listProc, id);
    return DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace vexor
