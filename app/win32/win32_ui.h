// The four user interface roles over the real windows: message boxes, the main window's result
// list, its chrome (title, engine sub-menu, common file dialogs, the shell) and the engine edit
// dialog's form. Lives on the user-interface thread; owns no window, only remembers the handles
// it is given.
#pragma once

#include <windows.h>

#include "app/engine_form.h"
#include "app/list_columns.h"
#include "app/messages.h"
#include "app/result_list.h"
#include "app/result_list_model.h"
#include "app/window_chrome.h"
#include "app/workspace.h"
#include "app/win32/header_tips.h"
#include "app/win32/row_tips.h"

namespace vexor {

class Win32Ui : public Messages, public ResultList, public WindowChrome, public EngineForm {
public:
    // The file dialogs start in the workspace (survey files) and its engine folder.
    explicit Win32Ui(Workspace workspace) : workspace_(std::move(workspace)) {}

    // At the main window's initialisation: remembers the window and its result list.
    void attachMainWindow(HWND window);
    // Creates the empty engine sub-menu and inserts it, followed by a separator, before the
    // item "new engine file" of the menu bar.
    void insertEngineSubmenu();
    // Adds grid lines and full-row selection, inserts the six columns with widths and puts
    // tips on their headers and on the rows.
    void setUpResultList(const ColumnWidths& widths = DEFAULT_COLUMN_WIDTHS);
    // The column widths as the user has left them.
    ColumnWidths columnWidths() const;
    // Creates the status bar at the bottom of the main window.
    void setUpStatusBar();
    void setStatusText(const std::string& text);
    // Moves the result list to the client area's origin with the client area's size, less the
    // status bar's height at the bottom.
    void fitResultListToClientArea();
    // Scrolls the list to row, the keyword in progress, unless the user has scrolled the row
    // followed last out of sight; restartFollowing at the start of a run.
    void followProgress(int row);
    void restartFollowing() { followedRow_ = -1; }
    // The main window's WM_NOTIFY: answers the result list's requests for cell texts, typed
    // search and custom draw (the list holds no texts of its own), and moves the header
    // tips along when a column's width changes. False for any other notification and for the
    // header's (which the list handles too); otherwise result is the message's result.
    bool handleNotify(NMHDR& header, LRESULT& result);

    // The engine edit dialog while it is open, nullptr once it has closed.
    void attachEditDialog(HWND dialog) { editDialog_ = dialog; }

    HWND mainWindow() const { return mainWindow_; }
    int engineMenuCount() const { return engineCount_; }

    void showMessage(Owner owner, const std::string& text, Icon icon) override;
    bool askYesNo(Owner owner, const std::string& text, Icon icon) override;
    void clearRows() override;
    void appendRow(const std::string& keyword) override;
    void setCell(int row, int column, const std::string& text) override;
    void setColumnCaption(int column, const std::string& text) override;
    void setColumnTip(int column, const std::string& text) override;
    const ResultListModel& shownRows() const override { return rows_; }
    void beginBulkUpdate() override;
    void endBulkUpdate() override;
    void setWindowTitle(const std::string& text) override;
    void setEngineMenuItems(const std::vector<std::string>& names) override;
    void markEngineMenuItem(int index) override;
    std::optional<std::string> askOpenFile(Owner owner, FileKind kind,
                                           const std::string& proposedPath) override;
    std::optional<std::string> askSaveEngineFile(Owner owner) override;
    std::optional<std::string> askSaveCsvFile(Owner owner, const std::string& proposedName) override;
    EngineFields readEngineFields() override;
    void showEngineFields(const EngineFields& fields) override;
    void setEngineStatus(const std::string& text) override;
    void openAddress(const std::string& address) override;

private:
    HWND ownerWindow(Owner owner) const;

    Workspace workspace_;
    HWND mainWindow_ = nullptr;
    HWND resultList_ = nullptr;
    HWND statusBar_ = nullptr;
    HeaderTips headerTips_;
    RowTips rowTips_;
    int followedRow_ = -1;
    ResultListModel rows_;  // what the owner-data list view shows
    int bulkDepth_ = 0;     // inside a bulk update the list view is told only at its end
    bool clearedInBulk_ = false;
    HWND editDialog_ = nullptr;
    HMENU engineSubmenu_ = nullptr;
    int engineCount_ = 0;
};

}  // namespace vexor
