// Tooltips over the result list's column headers: each column shows the text given for it (its
// caption whole, when its run began) wherever its header item stands after the user has dragged
// a column edge. Owns its tooltip window until the owner window goes.
#pragma once

#include <windows.h>

#include <string>

namespace vexor {

class HeaderTips {
public:
    // A tooltip window owned by owner with one tool per column of header, each without text.
    void create(HWND owner, HWND header, int columns);
    void setText(int column, const std::string& text);
    // Moves each column's tool onto its header item; after the widths change.
    void followColumns();

    HWND window() const { return tips_; }

private:
    HWND tips_ = nullptr;
    HWND header_ = nullptr;
    int columns_ = 0;
};

}  // namespace vexor
