// What the owner-data result list asks of its parent: cell texts, the row a typed prefix finds,
// and the colours of each cell (custom draw), all answered from the list's model.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "app/result_list_model.h"

namespace vexor {

// LVN_GETDISPINFO: the cell's text into the list's buffer.
void serveCellText(NMLVDISPINFOW& request, const ResultListModel& model);

// LVN_ODFINDITEM: the first row from the request's start (wrapping when asked) whose keyword
// begins with (or, without LVFI_PARTIAL, is) the typed text, ignoring case; -1 when none does.
int findTypedRow(const NMLVFINDITEMW& request, const ResultListModel& model);

// NM_CUSTOMDRAW: asks for every cell and paints rank cells in the colour of their change;
// selected rows keep the selection's colours. Returns the custom draw answer.
LRESULT drawResultCell(NMLVCUSTOMDRAW& draw, const ResultListModel& model);

}  // namespace vexor
