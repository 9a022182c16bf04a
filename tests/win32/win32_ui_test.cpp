// The Win32 layer against the real resources: the texts of the compiled dialogs and menu, the
// engine sub-menu, the result list, the edit dialog's fields and the worker's window messages.
// Needs a display (run under Xvfb).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "app/hand_off.h"
#include "app/rank_colours.h"
#include "app/survey_failures.h"
#include "app/texts.h"
#include "app/win32/menu_commands.h"
#include "app/win32/posted_survey_events.h"
#include "app/win32/step_in_box.h"
#include "app/win32/wide_text.h"
#include "app/win32/win32_ui.h"
#include "app/win32/window_messages.h"
#include "platform/text.h"
#include "resources/resource_ids.h"

namespace vexor {
namespace {

std::string cp932(const char8_t* utf8) {
    const std::u8string text(utf8);
    return utf8ToCp932(std::string(text.begin(), text.end())).value();
}

std::string menuText(HMENU menu, UINT item, UINT by) {
    wchar_t buffer[256] = {};
    GetMenuStringW(menu, item, buffer, 256, by);
    return wideToCp932(buffer).value_or("<not code page 932>");
}

INT_PTR CALLBACK passiveProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

HWND createDialog(int id, HWND owner = nullptr) {
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), owner, passiveProc, 0);
}

// The main window's part in the result list: its notifications go to the Win32Ui given at
// creation, as the program's own dialog procedure hands them over.
INT_PTR CALLBACK notifyingProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    auto* ui = reinterpret_cast<Win32Ui*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    LRESULT result = 0;
    if (message != WM_NOTIFY || ui == nullptr || !ui->handleNotify(*reinterpret_cast<NMHDR*>(lParam), result))
        return FALSE;
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

COLORREF colourRef(const Rgb& rgb) { return RGB(rgb.red, rgb.green, rgb.blue); }

class Win32UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        main_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN_WINDOW),
                                   nullptr, notifyingProc, reinterpret_cast<LPARAM>(&ui_));
        ASSERT_NE(main_, nullptr) << "no display?";
        ui_.attachMainWindow(main_);
        list_ = GetDlgItem(main_, IDC_RESULT_LIST);
    }
    void TearDown() override {
        if (edit_) DestroyWindow(edit_);
        if (main_) DestroyWindow(main_);
    }

    std::string cell(int row, int column) {
        wchar_t buffer[256] = {};
        ListView_GetItemText(list_, row, column, buffer, 256);
        return wideToCp932(buffer).value_or("<not code page 932>");
    }
    std::string caption(int column) {
        wchar_t buffer[256] = {};
        LVCOLUMNW lvColumn{};
        lvColumn.mask = LVCF_TEXT;
        lvColumn.pszText = buffer;
        lvColumn.cchTextMax = 256;
        ListView_GetColumn(list_, column, &lvColumn);
        return wideToCp932(buffer).value_or("<not code page 932>");
    }
    HMENU settingsMenu() { return GetSubMenu(GetMenu(main_), 1); }

    Win32Ui ui_{Workspace{}};
    HWND main_ = nullptr;
    HWND list_ = nullptr;
    HWND edit_ = nullptr;
};

// The resource script is UTF-8; a wrong code page would garble these (表 and ソ-like 0x5C trail
// bytes are the classic victims of a code page 932 script).
TEST_F(Win32UiTest, ResourceTextsArriveIntact) {
    HMENU bar = GetMenu(main_);
    EXPECT_EQ(menuText(bar, 0, MF_BYPOSITION), cp932(u8"ファイル(&F)"));
    EXPECT_EQ(menuText(bar, 1, MF_BYPOSITION), cp932(u8"設定(&S)"));
    EXPECT_EQ(menuText(bar, 2, MF_BYPOSITION), cp932(u8"ヘルプ(&H)"));
    EXPECT_EQ(menuText(bar, IDM_OPEN_SURVEY, MF_BYCOMMAND), cp932(u8"調査定義ファイルを開く(&O)\tCtrl+O"));
    EXPECT_EQ(menuText(bar, IDM_START_SURVEY, MF_BYCOMMAND), cp932(u8"調査開始(&B)\tF5"));
    EXPECT_EQ(menuText(bar, IDM_ABORT_SURVEY, MF_BYCOMMAND), cp932(u8"調査中止(&E)\tEsc"));
    EXPECT_EQ(menuText(bar, IDM_WRITE_REPORT, MF_BYCOMMAND), cp932(u8"レポート作成(&R)"));
    HMENU file = GetSubMenu(bar, 0);
    EXPECT_EQ(GetMenuItemID(file, 3), static_cast<UINT>(IDM_ABORT_SURVEY));
    EXPECT_EQ(GetMenuItemID(file, 4), static_cast<UINT>(IDM_WRITE_REPORT));  // right after it
    EXPECT_EQ(GetMenuItemID(file, 5), static_cast<UINT>(IDM_RETRY_FAILED));
    EXPECT_EQ(menuText(bar, IDM_RETRY_FAILED, MF_BYCOMMAND), cp932(u8"失敗した語を再調査(&F)"));
    EXPECT_EQ(GetMenuItemID(file, 6), static_cast<UINT>(IDM_EXPORT_CSV));
    EXPECT_EQ(menuText(bar, IDM_EXPORT_CSV, MF_BYCOMMAND), cp932(u8"CSV 出力(&C)…"));
    EXPECT_EQ(menuText(bar, IDM_EXIT, MF_BYCOMMAND), cp932(u8"終了(&X)"));
    EXPECT_EQ(menuText(bar, IDM_NEW_ENGINE, MF_BYCOMMAND), cp932(u8"エンジンファイルの新規作成(&N)"));
    EXPECT_EQ(menuText(bar, IDM_EDIT_ENGINE, MF_BYCOMMAND), cp932(u8"エンジンファイルの編集(&E)"));
    EXPECT_EQ(menuText(bar, IDM_IMPORT_ENGINE, MF_BYCOMMAND), cp932(u8"エンジンファイルのインポート(&I)"));
    EXPECT_EQ(menuText(bar, IDM_ONLINE_HELP, MF_BYCOMMAND), cp932(u8"マニュアル(&H)\tF1"));
    EXPECT_EQ(menuText(bar, IDM_COLOUR_LEGEND, MF_BYCOMMAND), cp932(u8"色の凡例(&L)"));
    EXPECT_TRUE(GetWindowLongW(main_, GWL_STYLE) & WS_MAXIMIZEBOX);
    EXPECT_EQ(typedTextToCp932(windowText(main_)), texts::APP_TITLE);

    edit_ = createDialog(IDD_ENGINE_EDIT, main_);
    ASSERT_NE(edit_, nullptr);
    EXPECT_EQ(typedTextToCp932(windowText(edit_)), texts::EDIT_DIALOG_TITLE);
    EXPECT_EQ(typedTextToCp932(windowText(GetDlgItem(edit_, IDC_LEARN_STATUS))), texts::TEXT_NOT_LEARNT);
    EXPECT_EQ(typedTextToCp932(windowText(GetDlgItem(edit_, IDCANCEL))), cp932(u8"キャンセル"));
    EXPECT_EQ(typedTextToCp932(windowText(GetDlgItem(edit_, IDC_LEARN))), cp932(u8"学習"));
}

TEST_F(Win32UiTest, EditDialogTabsThroughTheFieldsTopToBottom) {
    edit_ = createDialog(IDD_ENGINE_EDIT, main_);
    ASSERT_NE(edit_, nullptr);
    const std::vector<int> expected = {IDC_KEYWORD,      IDC_FIRST_RESULT_URL, IDC_TENTH_RESULT_URL,
                                       IDC_PAGE2_URL,    IDC_PAGE3_URL,        IDC_START_MARKER,
                                       IDC_END_MARKER,   IDC_LEARN,            IDOK,
                                       IDCANCEL,         IDC_KEYWORD};
    std::vector<int> order = {IDC_KEYWORD};
    HWND at = GetDlgItem(edit_, IDC_KEYWORD);
    for (std::size_t i = 1; i < expected.size(); ++i) {
        at = GetNextDlgTabItem(edit_, at, FALSE);
        order.push_back(GetDlgCtrlID(at));
    }
    EXPECT_EQ(order, expected);
    // Enter is "save": the default button is IDOK.
    EXPECT_EQ(LOWORD(SendMessageW(edit_, DM_GETDEFID, 0, 0)), IDOK);
}

TEST_F(Win32UiTest, EngineSubmenuStandsBeforeTheEngineFileCommands) {
    ui_.insertEngineSubmenu();
    HMENU settings = settingsMenu();
    ASSERT_EQ(GetMenuItemCount(settings), 10);
    EXPECT_EQ(menuText(settings, 0, MF_BYPOSITION), texts::MENU_ENGINE_SWITCH);
    HMENU engines = GetSubMenu(settings, 0);
    ASSERT_NE(engines, nullptr);
    EXPECT_EQ(GetMenuItemCount(engines), 0);
    EXPECT_EQ(GetMenuState(settings, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(GetMenuItemID(settings, 2), static_cast<UINT>(IDM_NEW_ENGINE));
    EXPECT_EQ(GetMenuItemID(settings, 3), static_cast<UINT>(IDM_EDIT_ENGINE));
    EXPECT_EQ(GetMenuItemID(settings, 4), static_cast<UINT>(IDM_IMPORT_ENGINE));
    // The fetch choices follow the engine file commands.
    EXPECT_EQ(GetMenuState(settings, 5, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(GetMenuItemID(settings, 6), static_cast<UINT>(IDM_FETCH_DIRECT));
    EXPECT_EQ(GetMenuItemID(settings, 9), static_cast<UINT>(IDM_BROWSER_WINDOW));

    const std::string japanese = cp932(u8"表示ソフト");  // 0x5C trail bytes
    ui_.setEngineMenuItems({"a", japanese, "c"});
    ASSERT_EQ(GetMenuItemCount(engines), 3);
    EXPECT_EQ(GetMenuItemID(engines, 0), 3000u);
    EXPECT_EQ(GetMenuItemID(engines, 2), 3002u);
    EXPECT_EQ(menuText(engines, 3001, MF_BYCOMMAND), japanese);

    ui_.markEngineMenuItem(2);
    ui_.markEngineMenuItem(1);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE | MIIM_FTYPE;
    GetMenuItemInfoW(engines, 3001, FALSE, &info);
    EXPECT_TRUE(info.fState & MFS_CHECKED);
    EXPECT_TRUE(info.fType & MFT_RADIOCHECK);
    EXPECT_FALSE(GetMenuState(engines, 3002, MF_BYCOMMAND) & MF_CHECKED);

    // A refresh replaces the items; the ids start again at 3000 and nothing else in the menu moves.
    ui_.setEngineMenuItems({"z"});
    ASSERT_EQ(GetMenuItemCount(engines), 1);
    EXPECT_EQ(GetMenuItemID(engines, 0), 3000u);
    EXPECT_EQ(menuText(engines, 3000, MF_BYCOMMAND), "z");
    EXPECT_EQ(GetMenuItemCount(settings), 10);
    ui_.setEngineMenuItems({});
    EXPECT_EQ(GetMenuItemCount(engines), 0);
    ui_.markEngineMenuItem(0);  // no items: nothing to mark, nothing breaks
}

TEST_F(Win32UiTest, ResultListColumnsRowsAndCells) {
    ui_.setUpResultList();
    const DWORD extended = ListView_GetExtendedListViewStyle(list_);
    EXPECT_TRUE(extended & LVS_EX_GRIDLINES);
    EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
    const int widths[] = {120, 95, 95, 95, 95, 95};
    for (int column = 0; column < 6; ++column)
        EXPECT_EQ(ListView_GetColumnWidth(list_, column), widths[column]) << column;
    EXPECT_EQ(caption(0), texts::CAPTION_KEYWORD);
    EXPECT_EQ(caption(1), texts::CAPTION_RANK);
    EXPECT_EQ(caption(5), texts::CAPTION_HISTORY);

    const std::string keyword = cp932(u8"表計算 ソフト");
    ui_.appendRow(keyword);
    ui_.appendRow("second");
    ui_.appendRow(keyword);  // a repeated keyword is a row of its own
    ASSERT_EQ(ListView_GetItemCount(list_), 3);
    EXPECT_EQ(cell(0, 0), keyword);
    EXPECT_EQ(cell(1, 0), "second");
    EXPECT_EQ(cell(2, 1), "-");
    EXPECT_EQ(cell(1, 2), "");

    ui_.setCell(1, 1, texts::TEXT_ABORTED);
    ui_.setCell(2, 5, "17");
    ui_.setColumnCaption(2, cp932(u8"2006/02/01 (表)"));
    EXPECT_EQ(cell(1, 1), texts::TEXT_ABORTED);
    EXPECT_EQ(cell(2, 5), "17");
    EXPECT_EQ(cell(0, 1), "-");
    EXPECT_EQ(caption(2), cp932(u8"2006/02/01 (表)"));

    ui_.clearRows();
    EXPECT_EQ(ListView_GetItemCount(list_), 0);
    ui_.appendRow("again");
    EXPECT_EQ(cell(0, 0), "again");
}

// The list holds no texts: it asks its parent for each one (owner data), so a big survey opens
// without window work per row; inside a bulk update it learns the rows only at the end.
TEST_F(Win32UiTest, ResultListTakesItsRowsFromTheModelAtTheEndOfABulkUpdate) {
    ui_.setUpResultList();
    EXPECT_TRUE(GetWindowLongW(list_, GWL_STYLE) & LVS_OWNERDATA);
    ui_.appendRow("old");
    {
        const BulkUpdate outer(ui_);
        ui_.clearRows();
        {
            const BulkUpdate inner(ui_);
            for (int i = 0; i < 1000; ++i) ui_.appendRow("k" + std::to_string(i));
        }
        ui_.setCell(999, 5, "42");
        EXPECT_EQ(ListView_GetItemCount(list_), 1);  // nested: nothing yet
    }
    ASSERT_EQ(ListView_GetItemCount(list_), 1000);
    EXPECT_EQ(cell(0, 0), "k0");
    EXPECT_EQ(cell(999, 0), "k999");
    EXPECT_EQ(cell(999, 1), "-");
    EXPECT_EQ(cell(999, 5), "42");
    EXPECT_EQ(cell(1000, 0), "");

    // Typing in the list finds a row by the start of its keyword.
    LVFINDINFOW find{};
    find.flags = LVFI_STRING | LVFI_PARTIAL;
    find.psz = L"K99";
    EXPECT_EQ(ListView_FindItem(list_, -1, &find), 99);
    find.flags = LVFI_STRING;
    find.psz = L"k998";
    EXPECT_EQ(ListView_FindItem(list_, -1, &find), 998);
    find.psz = L"k99";
    EXPECT_EQ(ListView_FindItem(list_, 100, &find), -1);
}

// Each rank cell is filled with the colour of its change against the next column; the keyword,
// the oldest column and cells with nothing to compare (a failure on either side among them)
// keep the window colour.
TEST_F(Win32UiTest, RankCellsAreDrawnInTheColourOfTheirChange) {
    ui_.setUpResultList();
    MoveWindow(main_, 0, 0, 900, 300, FALSE);
    ui_.fitResultListToClientArea();
    ShowWindow(main_, SW_SHOWNOACTIVATE);
    const std::string failed = failureText({1, FailureCause::HttpStatus, 403});
    const std::vector<std::pair<std::pair<const char*, const char*>, RankChange>> rows = {
        {{"3", "5"}, RankChange::Better},   {{"9", "2"}, RankChange::Worse},
        {{"4", "-"}, RankChange::NewlyRanked}, {{"-", "6"}, RankChange::DroppedOut},
        {{"7", "7"}, RankChange::Unchanged}, {{"-", ""}, RankChange::None},
        {{failed.c_str(), "5"}, RankChange::None}, {{"5", failed.c_str()}, RankChange::None},
        {{failed.c_str(), "-"}, RankChange::None}};
    for (std::size_t r = 0; r < rows.size(); ++r) {
        ui_.appendRow("row" + std::to_string(r));
        ui_.setCell(static_cast<int>(r), 1, rows[r].first.first);
        ui_.setCell(static_cast<int>(r), 2, rows[r].first.second);
    }
    ListView_SetColumnWidth(list_, 1, 250);  // room right of the failure text
    UpdateWindow(list_);
    HDC dc = GetDC(list_);
    auto pixelIn = [&](int row, int column) {
        RECT box{};
        ListView_GetSubItemRect(list_, row, column, LVIR_BOUNDS, &box);
        return GetPixel(dc, box.right - 4, (box.top + box.bottom) / 2);  // right of the text
    };
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto colours = changeColours(rows[r].second);
        EXPECT_EQ(pixelIn(static_cast<int>(r), 1), colours ? colourRef(colours->fill) : window) << r;
        EXPECT_EQ(pixelIn(static_cast<int>(r), 0), window) << r;
    }
    // Column 2 against column 3, which is empty: nothing to compare with.
    EXPECT_EQ(pixelIn(0, 2), window);
    EXPECT_EQ(pixelIn(5, 2), window);
    // A progress text hides the colour; the result brings it back.
    ui_.setCell(0, 1, cp932(u8"取得中: 10"));
    UpdateWindow(list_);
    EXPECT_EQ(pixelIn(0, 1), window);
    ui_.setCell(0, 1, "8");
    UpdateWindow(list_);
    EXPECT_EQ(pixelIn(0, 1), colourRef(changeColours(RankChange::Worse)->fill));
    ReleaseDC(list_, dc);
}

TEST_F(Win32UiTest, CustomDrawAsksForEveryCellAndLeavesSelectedRowsAlone) {
    ui_.setUpResultList();
    ui_.appendRow("a");
    ui_.setCell(0, 1, "3");
    ui_.setCell(0, 2, "5");
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr.hwndFrom = list_;
    draw.nmcd.hdr.idFrom = IDC_RESULT_LIST;
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    LRESULT result = 0;
    auto ask = [&](DWORD stage, int subItem) {
        draw.nmcd.dwDrawStage = stage;
        draw.iSubItem = subItem;
        EXPECT_TRUE(ui_.handleNotify(draw.nmcd.hdr, result));
        return result;
    };
    EXPECT_EQ(ask(CDDS_PREPAINT, 0), CDRF_NOTIFYITEMDRAW);
    EXPECT_EQ(ask(CDDS_ITEMPREPAINT, 0), CDRF_NOTIFYSUBITEMDRAW);
    EXPECT_EQ(ask(CDDS_ITEMPREPAINT | CDDS_SUBITEM, 1), CDRF_NEWFONT);
    EXPECT_EQ(draw.clrTextBk, colourRef(changeColours(RankChange::Better)->fill));
    EXPECT_EQ(draw.clrText, colourRef(changeColours(RankChange::Better)->text));
    ask(CDDS_ITEMPREPAINT | CDDS_SUBITEM, 0);
    EXPECT_EQ(draw.clrTextBk, CLR_DEFAULT);
    EXPECT_EQ(draw.clrText, CLR_DEFAULT);

    ListView_SetItemState(list_, 0, LVIS_SELECTED, LVIS_SELECTED);
    ask(CDDS_ITEMPREPAINT | CDDS_SUBITEM, 1);
    EXPECT_EQ(draw.clrTextBk, CLR_DEFAULT);
    // Notifications of other controls are not the list's.
    draw.nmcd.hdr.hwndFrom = main_;
    EXPECT_FALSE(ui_.handleNotify(draw.nmcd.hdr, result));
}

TEST_F(Win32UiTest, ResultListFillsTheClientArea) {
    MoveWindow(main_, 10, 20, 500, 300, FALSE);
    ui_.fitResultListToClientArea();
    RECT client{}, list{};
    GetClientRect(main_, &client);
    GetWindowRect(list_, &list);
    MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&list), 2);
    EXPECT_EQ(list.left, 0);
    EXPECT_EQ(list.top, 0);
    EXPECT_EQ(list.right, client.right);
    EXPECT_EQ(list.bottom, client.bottom);
}

TEST_F(Win32UiTest, TheStatusBarSitsBelowTheList) {
    ui_.setUpStatusBar();
    MoveWindow(main_, 10, 20, 500, 300, FALSE);
    ui_.fitResultListToClientArea();
    HWND bar = GetDlgItem(main_, IDC_STATUS_BAR);
    ASSERT_NE(bar, nullptr);
    RECT client{}, list{}, status{};
    GetClientRect(main_, &client);
    GetWindowRect(list_, &list);
    GetWindowRect(bar, &status);
    MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&list), 2);
    MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&status), 2);
    EXPECT_GT(status.bottom - status.top, 0);
    EXPECT_EQ(status.bottom, client.bottom);
    EXPECT_EQ(list.bottom, status.top);
    EXPECT_EQ(list.right, client.right);
    const std::string text = cp932(u8"調査完了: 5 / 5 語");
    ui_.setStatusText(text);
    EXPECT_EQ(typedTextToCp932(windowText(bar)), text);
}

// Widths come from the settings, go back to them as the user left them, and the header tips
// stay on their columns.
TEST_F(Win32UiTest, ColumnWidthsAndHeaderTips) {
    const ColumnWidths widths = {200, 60, 95, 95, 95, 30};
    ui_.setUpResultList(widths);
    EXPECT_EQ(ui_.columnWidths(), widths);
    const std::string tip = "2026/12/07 (nuq)\n" + cp932(u8"開始: 2026/12/07 18:03:12");
    ui_.setColumnTip(1, tip);
    HWND header = ListView_GetHeader(list_);
    HWND tips = nullptr;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, TOOLTIPS_CLASSW, nullptr)) != nullptr;)
        if (GetWindow(w, GW_OWNER) == main_ && SendMessageW(w, TTM_GETTOOLCOUNT, 0, 0) == RESULT_COLUMNS)
            tips = w;  // not the list's own tooltip
    ASSERT_NE(tips, nullptr);
    auto toolOf = [&](int column, wchar_t* text) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = header;
        tool.uId = static_cast<UINT_PTR>(column);
        tool.lpszText = text;
        SendMessageW(tips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool));
        return tool;
    };
    wchar_t text[256] = {};
    toolOf(1, text);
    EXPECT_EQ(wideToCp932(text).value_or(""), tip);
    EXPECT_EQ(toolOf(1, text).rect.left, 200);

    ListView_SetColumnWidth(list_, 0, 150);  // as a drag of the first column's edge ends
    NMHDR changed{header, 0, static_cast<UINT>(HDN_ITEMCHANGEDW)};
    LRESULT result = 0;
    EXPECT_FALSE(ui_.handleNotify(changed, result));  // the list handles it as well
    EXPECT_EQ(toolOf(1, text).rect.left, 150);
    EXPECT_EQ(toolOf(1, text).rect.right, 210);
    EXPECT_EQ(ui_.columnWidths()[0], 150);
}

// The tip follows the row under the pointer; away from the rows it has no text.
TEST_F(Win32UiTest, RowTipsShowWhatTheCellsCutOff) {
    ui_.setUpResultList();
    MoveWindow(main_, 10, 20, 500, 300, FALSE);
    ui_.fitResultListToClientArea();
    const std::string keyword = cp932(u8"とても長いキーワード 東京 ホテル 格安 予約 週末");
    const std::string failure = cp932(u8"失敗: HTTP 503 (2 ページ目)");
    ui_.appendRow("short");
    ui_.appendRow(keyword);
    ui_.setCell(1, 1, failure);
    ui_.setColumnCaption(1, "2026/12/07 (nuq)");
    HWND tips = nullptr;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, TOOLTIPS_CLASSW, nullptr)) != nullptr;)
        if (GetWindow(w, GW_OWNER) == main_ && SendMessageW(w, TTM_GETTOOLCOUNT, 0, 0) == 1) tips = w;
    ASSERT_NE(tips, nullptr);
    auto tipAt = [&](int x, int y) {
        SendMessageW(list_, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        wchar_t text[512] = {};
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = list_;
        tool.lpszText = text;
        SendMessageW(tips, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
        return wideToCp932(text).value_or("<not code page 932>");
    };
    RECT row{};
    ListView_GetItemRect(list_, 1, &row, LVIR_BOUNDS);
    const int middle = (row.top + row.bottom) / 2;
    EXPECT_EQ(tipAt(300, middle), keyword + "\n2026/12/07 (nuq): " + failure);
    ListView_GetItemRect(list_, 0, &row, LVIR_BOUNDS);
    EXPECT_EQ(tipAt(5, (row.top + row.bottom) / 2), "short\n2026/12/07 (nuq): -");
    EXPECT_EQ(tipAt(5, 250), "");  // below the last row
}

TEST_F(Win32UiTest, MenusAreGreyedByWhatASurveyAllows) {
    ui_.insertEngineSubmenu();
    ui_.setEngineMenuItems({"a", "b"});
    HMENU bar = GetMenu(main_);
    auto greyed = [&](int id) { return (GetMenuState(bar, id, MF_BYCOMMAND) & MF_GRAYED) != 0; };
    showCommandStates(bar, 2, true, true);
    for (const int id : {IDM_OPEN_SURVEY, IDM_START_SURVEY, IDM_WRITE_REPORT, IDM_RETRY_FAILED, IDM_EXPORT_CSV,
                         IDM_NEW_ENGINE, IDM_EDIT_ENGINE, IDM_IMPORT_ENGINE, ENGINE_MENU_FIRST_ID,
                         ENGINE_MENU_FIRST_ID + 1})
        EXPECT_TRUE(greyed(id)) << id;
    for (const int id : {IDM_ABORT_SURVEY, IDM_EXIT, IDM_ONLINE_HELP, IDM_COLOUR_LEGEND})
        EXPECT_FALSE(greyed(id)) << id;
    showCommandStates(bar, 2, false, true);
    for (const int id : {IDM_OPEN_SURVEY, IDM_START_SURVEY, IDM_EDIT_ENGINE, ENGINE_MENU_FIRST_ID + 1, IDM_EXIT,
                         IDM_EXPORT_CSV})
        EXPECT_FALSE(greyed(id)) << id;
    EXPECT_TRUE(greyed(IDM_ABORT_SURVEY));
    showCommandStates(bar, 2, false, false);
    EXPECT_TRUE(greyed(IDM_EXPORT_CSV));
    EXPECT_FALSE(greyed(IDM_START_SURVEY));
}

TEST(Accelerators, KeysReachTheirCommands) {
    HACCEL keys = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAIN_ACCELERATORS));
    ASSERT_NE(keys, nullptr);
    ACCEL table[16] = {};
    const int count = CopyAcceleratorTableW(keys, table, 16);
    std::vector<std::vector<int>> seen;
    for (int i = 0; i < count; ++i)
        seen.push_back({table[i].fVirt & (FVIRTKEY | FCONTROL | FALT | FSHIFT), table[i].key, table[i].cmd});
    const std::vector<std::vector<int>> expected = {{FVIRTKEY, VK_F5, IDM_START_SURVEY},
                                                    {FVIRTKEY | FCONTROL, 'O', IDM_OPEN_SURVEY},
                                                    {FVIRTKEY, VK_F1, IDM_ONLINE_HELP},
                                                    {FVIRTKEY | FCONTROL, VK_CANCEL, IDM_ABORT_SURVEY}};
    EXPECT_EQ(seen, expected);
    DestroyAcceleratorTable(keys);
}

TEST_F(Win32UiTest, EditDialogFieldsPairWithTheirControls) {
    edit_ = createDialog(IDD_ENGINE_EDIT, main_);
    ASSERT_NE(edit_, nullptr);
    ui_.attachEditDialog(edit_);
    const EngineFields shown{cp932(u8"表示"), "http://a/1", "http://a/10", "http://a/p2",
                             "http://a/p3",   "<ol>",       "</ol>"};
    ui_.showEngineFields(shown);
    auto text = [&](int id) { return typedTextToCp932(windowText(GetDlgItem(edit_, id))); };
    EXPECT_EQ(text(IDC_KEYWORD), shown.keyword);
    EXPECT_EQ(text(IDC_FIRST_RESULT_URL), "http://a/1");
    EXPECT_EQ(text(IDC_TENTH_RESULT_URL), "http://a/10");
    EXPECT_EQ(text(IDC_PAGE2_URL), "http://a/p2");
    EXPECT_EQ(text(IDC_PAGE3_URL), "http://a/p3");
    EXPECT_EQ(text(IDC_START_MARKER), "<ol>");
    EXPECT_EQ(text(IDC_END_MARKER), "</ol>");

    // What the user types comes back whole, in the same pairing; a character without a code
    // page 932 form becomes "?".
    SetDlgItemTextW(edit_, IDC_PAGE3_URL, L"http://b/\U0001F600x");
    SetDlgItemTextW(edit_, IDC_END_MARKER, L"");
    const EngineFields read = ui_.readEngineFields();
    EXPECT_EQ(read.keyword, shown.keyword);
    EXPECT_EQ(read.firstResultUrl, "http://a/1");
    EXPECT_EQ(read.tenthResultUrl, "http://a/10");
    EXPECT_EQ(read.page2Url, "http://a/p2");
    EXPECT_EQ(read.page3Url, "http://b/?x");
    EXPECT_EQ(read.startMarker, "<ol>");
    EXPECT_EQ(read.endMarker, "");

    const std::string status = cp932(u8"最終学習日時: 2006/02/01 14:29");
    ui_.setEngineStatus(status);
    EXPECT_EQ(text(IDC_LEARN_STATUS), status);
}

TEST_F(Win32UiTest, WorkerEventsArriveAsWindowMessages) {
    PostedSurveyEvents events;
    events.attach(main_);
    const SearchFailure refused{1, FailureCause::HttpStatus, 403};
    const SearchFailure captcha{2, FailureCause::Captcha, 200};
    events.progress(3, 20);
    events.searchEnded(4, {SearchEnd::Aborted, 1, {}});
    events.result(4, -1);
    events.searchEnded(5, {SearchEnd::Found, 10, {}});
    events.result(5, 100);
    events.searchEnded(6, {SearchEnd::Failed, 1, refused});  // its message follows the result
    events.result(6, 0);
    events.searchEnded(7, {SearchEnd::Failed, 2, captcha});  // on a later page just the same
    events.result(7, 0);
    events.searchEnded(8, {SearchEnd::ShortPage, 2, {}});
    events.result(8, 0);
    events.waitingForPerson(9, FailureCause::Captcha);
    events.surveyEnded();
    MSG message{};
    std::vector<std::vector<long long>> seen;
    while (PeekMessageW(&message, main_, WM_APP, WM_APP + 10, PM_REMOVE))
        seen.push_back({message.message, static_cast<long long>(message.wParam),
                        static_cast<int>(message.lParam)});
    const std::vector<std::vector<long long>> expected = {
        {WM_SURVEY_PROGRESS, 3, 20},
        {WM_SURVEY_RESULT, 4, -1},
        {WM_SURVEY_RESULT, 5, 100},
        {WM_SURVEY_RESULT, 6, 0},
        {WM_SURVEY_FAILURE, 6, static_cast<int>(packSurveyFailure(refused))},
        {WM_SURVEY_RESULT, 7, 0},
        {WM_SURVEY_FAILURE, 7, static_cast<int>(packSurveyFailure(captcha))},
        {WM_SURVEY_RESULT, 8, 0},
        {WM_SURVEY_WAITING, 9, static_cast<int>(FailureCause::Captcha)},
        {WM_SURVEY_ENDED, 0, 0}};
    EXPECT_EQ(seen, expected);
}

// The step-in box of this thread, once it is up.
HWND stepInBoxOf(DWORD thread) {
    HWND found = nullptr;
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM found) {
            if (GetDlgItem(window, IDC_STEP_IN_GIVE_UP) == nullptr) return TRUE;
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string controlText(HWND window, int id) {
    wchar_t buffer[1024] = {};
    GetDlgItemTextW(window, id, buffer, 1024);
    return wideToCp932(buffer).value_or("<not code page 932>");
}

TEST_F(Win32UiTest, TheStepInBoxAnswersByItsButtonsEscAndItsCloseBox) {
    const std::string question = stepInQuestion("kw", FailureCause::Consent, StepInFrontEnd::Window);
    struct Case {
        UINT message;
        WPARAM wParam;
        StepIn answer;
    };
    const Case cases[] = {
        {WM_COMMAND, IDOK, StepIn::Continue},
        {WM_COMMAND, IDC_STEP_IN_GIVE_UP, StepIn::GiveUp},
        {WM_KEYDOWN, VK_ESCAPE, StepIn::StopSurvey},  // the survey's abort key
        {WM_CLOSE, 0, StepIn::GiveUp},
    };
    const DWORD thread = GetCurrentThreadId();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        std::vector<std::string> shown;
        HWND owner = nullptr;
        // The box is modal: this thread runs its loop, and another one answers it.
        std::thread presser([&] {
            HWND box = nullptr;
            for (int tries = 0; tries < 600 && box == nullptr; ++tries) {
                Sleep(50);
                box = stepInBoxOf(thread);
            }
            if (box == nullptr) return;
            owner = GetWindow(box, GW_OWNER);
            shown = {controlText(box, IDC_STEP_IN_TEXT), controlText(box, IDOK), controlText(box, IDC_STEP_IN_GIVE_UP)};
            HWND target = c.message == WM_KEYDOWN ? GetDlgItem(box, IDOK) : box;
            PostMessageW(target, c.message, c.wParam, 0);
        });
        EXPECT_EQ(runStepInBox(GetModuleHandleW(nullptr), main_, question), c.answer);
        presser.join();
        EXPECT_EQ(owner, main_);
        EXPECT_EQ(shown, (std::vector<std::string>{question, texts::TEXT_STEP_IN_CONTINUE, texts::TEXT_STEP_IN_GIVE_UP}));
    }
}

TEST(WindowMessages, AFailureTravelsWholeInOneLParam) {
    for (int cause = 0; cause <= static_cast<int>(FailureCause::Unknown); ++cause) {
        for (const int page : {1, 2, 10}) {
            for (const int status : {0, 200, 302, 403, 429, 503, 999}) {
                const SearchFailure failure{page, static_cast<FailureCause>(cause), status};
                EXPECT_EQ(unpackSurveyFailure(packSurveyFailure(failure)), failure);
            }
        }
    }
}

TEST(MenuCommands, EveryMenuIdMapsToItsCommandAndNoOtherIdDoes) {
    using Kind = Command::Kind;
    const std::pair<int, Kind> menu[] = {
        {IDM_OPEN_SURVEY, Kind::OpenSurvey},   {IDM_START_SURVEY, Kind::StartSurvey},
        {IDM_ABORT_SURVEY, Kind::AbortSurvey}, {IDM_WRITE_REPORT, Kind::WriteReport},
        {IDM_RETRY_FAILED, Kind::RetryFailed}, {IDM_EXIT, Kind::Exit},
        {IDCANCEL, Kind::Cancel},              {IDM_NEW_ENGINE, Kind::NewEngine},
        {IDM_EDIT_ENGINE, Kind::EditEngine},   {IDM_IMPORT_ENGINE, Kind::ImportEngine},
        {IDM_ONLINE_HELP, Kind::Help},         {IDM_COLOUR_LEGEND, Kind::ColourLegend},
        {IDM_EXPORT_CSV, Kind::ExportCsv}};
    for (const auto& [id, kind] : menu) {
        const auto command = commandOf(id, 0);
        ASSERT_TRUE(command.has_value()) << id;
        EXPECT_EQ(command->kind, kind) << id;
    }
    const auto engine = commandOf(ENGINE_MENU_FIRST_ID + 2, 3);
    ASSERT_TRUE(engine.has_value());
    EXPECT_EQ(engine->kind, Kind::SelectEngine);
    EXPECT_EQ(engine->engineIndex, 2);
    // The Enter key, ids beyond the engine items and unknown ids are no commands.
    for (const int id : {IDOK, 0, ENGINE_MENU_FIRST_ID + 3, ENGINE_MENU_FIRST_ID - 1, 40000})
        EXPECT_FALSE(commandOf(id, 3).has_value()) << id;
}

TEST(WideText, PathsAndTypedText) {
    EXPECT_EQ(pathToCp932(L"C:\\work\\survey.txt"), "C:\\work\\survey.txt");
    const std::string japanese = cp932(u8"C:\\表\\能力.txt");
    EXPECT_EQ(pathToCp932(cp932ToWide(japanese)), japanese);
    // No code page 932 form and no such file for a short name: nothing.
    EXPECT_EQ(pathToCp932(L"C:\\no such folder\\\U0001F600.txt"), std::nullopt);
    EXPECT_EQ(typedTextToCp932(L"a\U0001F600b\x00E9"), "a?b?");
}

}  // namespace
}  // namespace vexor
