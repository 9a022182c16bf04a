// A tooltip over the result list that shows the row under the pointer whole (rowTipText: the
// keyword and every run's text), which narrow columns cut off. It watches the list's pointer
// moves through a subclass; owns its tooltip window until the owner window goes.
#pragma once

#include <windows.h>

#include "app/result_list_model.h"

namespace vexor {

class RowTips {
public:
    // model must outlive the list; the object must stay where it is while the list lives.
    void create(HWND owner, HWND list, const ResultListModel& model);
    // After the list's size changes: the tool covers its client area again.
    void fitToList();

private:
    static LRESULT CALLBACK listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
    void pointerAt(int x, int y);

    HWND tips_ = nullptr;
    HWND list_ = nullptr;
    const ResultListModel* model_ = nullptr;
    int row_ = -1;  // the row the tip shows, -1 for none
};

}  // namespace vexor
