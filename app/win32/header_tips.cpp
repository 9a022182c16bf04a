// Column header tooltips of the result list.
#include "app/win32/header_tips.h"

#include <commctrl.h>

#include "platform/text.h"

namespace vexor {
namespace {

// Wide enough for a header and its start time on two lines; a width makes "\n" break lines.
constexpr int TIP_WIDTH = 400;

TOOLINFOW toolOf(HWND header, int column) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = header;
    tool.uId = static_cast<UINT_PTR>(column);
    return tool;
}

}  // namespace

void HeaderTips::create(HWND owner, HWND header, int columns) {
    header_ = header;
    columns_ = columns;
    tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, nullptr, nullptr);
    if (tips_ == nullptr) return;
    SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, TIP_WIDTH);
    for (int column = 0; column < columns_; ++column) {
        TOOLINFOW tool = toolOf(header_, column);
        tool.uFlags = TTF_SUBCLASS;
        tool.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    followColumns();
}

void HeaderTips::setText(int column, const std::string& text) {
    if (tips_ == nullptr || column < 0 || column >= columns_) return;
    std::wstring wide = cp932ToWide(text);
    TOOLINFOW tool = toolOf(header_, column);
    tool.lpszText = wide.data();
    SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void HeaderTips::followColumns() {
    if (tips_ == nullptr) return;
    for (int column = 0; column < columns_; ++column) {
        TOOLINFOW tool = toolOf(header_, column);
        SendMessageW(header_, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&tool.rect));
        SendMessageW(tips_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

}  // namespace vexor
