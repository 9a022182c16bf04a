// Drawing the owner-data result list from its model.
#include "app/win32/result_list_draw.h"

#include <algorithm>
#include <cwctype>
#include <string>

#include "app/rank_colours.h"
#include "platform/text.h"

namespace vexor {
namespace {

COLORREF colourRef(const Rgb& rgb) { return RGB(rgb.red, rgb.green, rgb.blue); }

bool keywordMatches(const std::wstring& keyword, const wchar_t* typed, bool partial) {
    std::size_t i = 0;
    for (; typed[i] != L'\0'; ++i)
        if (i >= keyword.size() || std::towlower(keyword[i]) != std::towlower(typed[i])) return false;
    return partial || i == keyword.size();
}

// As much of text as the buffer holds, ended by a NUL.
void copyInto(const std::wstring& text, wchar_t* buffer, int size) {
    if (buffer == nullptr || size <= 0) return;
    const std::size_t length = std::min<std::size_t>(text.size(), size - 1);
    text.copy(buffer, length);
    buffer[length] = L'\0';
}

}  // namespace

void serveCellText(NMLVDISPINFOW& request, const ResultListModel& model) {
    LVITEMW& item = request.item;
    if (!(item.mask & LVIF_TEXT)) return;
    copyInto(cp932ToWide(model.cell(item.iItem, item.iSubItem)), item.pszText, item.cchTextMax);
}


int findTypedRow(const NMLVFINDITEMW& request, const ResultListModel& model) {
    const LVFINDINFOW& find = request.lvfi;
    const int rows = model.rowCount();
    if (!(find.flags & (LVFI_STRING | LVFI_PARTIAL)) || find.psz == nullptr || rows == 0) return -1;
    const bool partial = (find.flags & LVFI_PARTIAL) != 0;
    const int start = request.iStart >= 0 && request.iStart < rows ? request.iStart : 0;
    const int count = (find.flags & LVFI_WRAP) ? rows : rows - start;
    for (int i = 0; i < count; ++i) {
        const int row = (start + i) % rows;
        if (keywordMatches(cp932ToWide(model.cell(row, 0)), find.psz, partial)) return row;
    }
    return -1;
}

LRESULT drawResultCell(NMLVCUSTOMDRAW& draw, const ResultListModel& model) {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT: return CDRF_NOTIFYSUBITEMDRAW;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM: break;
        default: return CDRF_DODEFAULT;
    }
    const int row = static_cast<int>(draw.nmcd.dwItemSpec);
    const bool selected =
        ListView_GetItemState(draw.nmcd.hdr.hwndFrom, row, LVIS_SELECTED) & LVIS_SELECTED;
    const auto colours = selected ? std::nullopt : changeColours(model.cellChange(row, draw.iSubItem));
    // Colours set for one cell stay for the next unless reset to the list's own.
    draw.clrText = colours ? colourRef(colours->text) : CLR_DEFAULT;
    draw.clrTextBk = colours ? colourRef(colours->fill) : CLR_DEFAULT;
    return CDRF_NEWFONT;
}

}  // namespace vexor
