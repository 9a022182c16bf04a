// Win32 implementation of the user interface seam. Every text is converted from code page 932
// to UTF-16 here and handed to the W functions.
#include "app/win32/win32_ui.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <array>

#include "app/run_status.h"
#include "app/texts.h"
#include "app/win32/menu_commands.h"
#include "app/win32/result_list_draw.h"
#include "app/win32/wide_text.h"
#include "platform/text.h"
#include "resources/resource_ids.h"

namespace vexor {
namespace {

// Fields of the engine edit dialog in the pairing of EngineFields.
constexpr std::array<int, 7> ENGINE_FIELD_IDS = {
    IDC_KEYWORD,   IDC_FIRST_RESULT_URL, IDC_TENTH_RESULT_URL, IDC_PAGE2_URL,
    IDC_PAGE3_URL, IDC_START_MARKER,     IDC_END_MARKER};

std::array<std::string*, 7> fieldsInOrder(EngineFields& f) {
    return {&f.keyword,  &f.firstResultUrl, &f.tenthResultUrl, &f.page2Url,
            &f.page3Url, &f.startMarker,    &f.endMarker};
}

UINT iconStyle(Icon icon) {
    switch (icon) {
        case Icon::Information: return MB_ICONINFORMATION;
        case Icon::Question: return MB_ICONQUESTION;
        case Icon::Warning: break;
    }
    return MB_ICONWARNING;
}

// A common dialog filter: "description\0pattern\0" for each pair, then a final "\0".
std::wstring fileFilter(const char* firstDescription, const wchar_t* firstPattern) {
    std::wstring filter = cp932ToWide(firstDescription);
    filter += L'\0';
    filter += firstPattern;
    filter += L'\0';
    filter += cp932ToWide(texts::FILTER_ALL_FILES);
    filter += L'\0';
    filter += L"*.*";
    filter += L'\0';
    return filter;
}

struct FileDialogRequest {
    HWND owner;
    std::wstring filter;
    std::wstring proposedName;
    std::wstring initialFolder;
    const wchar_t* defaultExtension;
    DWORD flags;
};

std::optional<std::string> runFileDialog(const FileDialogRequest& request, bool save) {
    std::array<wchar_t, MAX_PATH> file{};
    std::array<wchar_t, MAX_PATH> title{};
    if (request.proposedName.size() < file.size())
        request.proposedName.copy(file.data(), request.proposedName.size());

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = request.owner;
    dialog.lpstrFilter = request.filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    if (!save) {
        dialog.lpstrFileTitle = title.data();
        dialog.nMaxFileTitle = static_cast<DWORD>(title.size());
    }
    dialog.lpstrInitialDir = request.initialFolder.c_str();
    dialog.lpstrDefExt = request.defaultExtension;
    dialog.Flags = request.flags;
    const BOOL confirmed = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!confirmed) return std::nullopt;
    return pathToCp932(file.data());
}

}  // namespace

void Win32Ui::attachMainWindow(HWND window) {
    mainWindow_ = window;
    resultList_ = GetDlgItem(window, IDC_RESULT_LIST);
}

void Win32Ui::insertEngineSubmenu() {
    HMENU menuBar = GetMenu(mainWindow_);
    engineSubmenu_ = CreatePopupMenu();
    engineCount_ = 0;
    const std::wstring text = cp932ToWide(texts::MENU_ENGINE_SWITCH);
    // By command, the menu bar finds the item inside its "settings" pop-up.
    InsertMenuW(menuBar, IDM_NEW_ENGINE, MF_BYCOMMAND | MF_STRING | MF_POPUP,
                reinterpret_cast<UINT_PTR>(engineSubmenu_), text.c_str());
    InsertMenuW(menuBar, IDM_NEW_ENGINE, MF_BYCOMMAND | MF_SEPARATOR, 0, nullptr);
}

void Win32Ui::setUpResultList(const ColumnWidths& widths) {
    const DWORD styles = ListView_GetExtendedListViewStyle(resultList_);
    ListView_SetExtendedListViewStyle(resultList_, styles | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    for (int column = 0; column < RESULT_COLUMNS; ++column) {
        std::wstring caption = cp932ToWide(rows_.caption(column));
        LVCOLUMNW lvColumn{};
        lvColumn.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        lvColumn.fmt = LVCFMT_LEFT;
        lvColumn.cx = widths[column];
        lvColumn.pszText = caption.data();
        lvColumn.iSubItem = column;
        ListView_InsertColumn(resultList_, column, &lvColumn);
    }
    headerTips_.create(mainWindow_, ListView_GetHeader(resultList_), RESULT_COLUMNS);
    rowTips_.create(mainWindow_, resultList_, rows_);
}

ColumnWidths Win32Ui::columnWidths() const {
    ColumnWidths widths{};
    for (int column = 0; column < RESULT_COLUMNS; ++column)
        widths[column] = ListView_GetColumnWidth(resultList_, column);
    return widths;
}

void Win32Ui::setUpStatusBar() {
    statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0,
                                 0, 0, 0, mainWindow_, reinterpret_cast<HMENU>(IDC_STATUS_BAR),
                                 nullptr, nullptr);
}

void Win32Ui::setStatusText(const std::string& text) {
    if (statusBar_ != nullptr) SetWindowTextW(statusBar_, cp932ToWide(text).c_str());
}

void Win32Ui::fitResultListToClientArea() {
    RECT client{};
    GetClientRect(mainWindow_, &client);
    int statusHeight = 0;
    if (statusBar_ != nullptr) {
        SendMessageW(statusBar_, WM_SIZE, 0, 0);  // the bar places itself at the bottom
        RECT bar{};
        GetWindowRect(statusBar_, &bar);
        statusHeight = bar.bottom - bar.top;
    }
    MoveWindow(resultList_, 0, 0, client.right - client.left,
               std::max(0L, client.bottom - client.top - statusHeight), TRUE);
    rowTips_.fitToList();
}

void Win32Ui::followProgress(int row) {
    if (followsProgress(followedRow_, ListView_GetTopIndex(resultList_), ListView_GetCountPerPage(resultList_)))
        ListView_EnsureVisible(resultList_, row, FALSE);
    followedRow_ = row;
}

HWND Win32Ui::ownerWindow(Owner owner) const {
    if (owner == Owner::EditDialog && editDialog_ != nullptr) return editDialog_;
    return mainWindow_;
}

void Win32Ui::showMessage(Owner owner, const std::string& text, Icon icon) {
    MessageBoxW(ownerWindow(owner), cp932ToWide(text).c_str(), cp932ToWide(texts::APP_TITLE).c_str(),
                MB_OK | iconStyle(icon));
}

bool Win32Ui::askYesNo(Owner owner, const std::string& text, Icon icon) {
    return MessageBoxW(ownerWindow(owner), cp932ToWide(text).c_str(),
                       cp932ToWide(texts::APP_TITLE).c_str(), MB_YESNO | iconStyle(icon)) == IDYES;
}

bool Win32Ui::handleNotify(NMHDR& header, LRESULT& result) {
    if (resultList_ == nullptr) return false;
    if (header.hwndFrom == ListView_GetHeader(resultList_)) {
        if (header.code == static_cast<UINT>(HDN_ITEMCHANGEDW) || header.code == static_cast<UINT>(HDN_ITEMCHANGEDA))
            headerTips_.followColumns();
        return false;
    }
    if (header.hwndFrom != resultList_) return false;
    // The structures' first member is the NMHDR the list view sent.
    switch (header.code) {
        case LVN_GETDISPINFOW:
            serveCellText(*reinterpret_cast<NMLVDISPINFOW*>(&header), rows_);
            result = 0;
            return true;
        case LVN_ODFINDITEMW:
            result = findTypedRow(*reinterpret_cast<const NMLVFINDITEMW*>(&header), rows_);
            return true;
        case NM_CUSTOMDRAW:
            result = drawResultCell(*reinterpret_cast<NMLVCUSTOMDRAW*>(&header), rows_);
            return true;
        default:
            return false;
    }
}

void Win32Ui::clearRows() {
    rows_.clear();
    if (bulkDepth_ > 0)
        clearedInBulk_ = true;
    else
        ListView_DeleteAllItems(resultList_);
}

// The list view only learns the row count; it asks for texts when it paints. Each count change
// costs the window work (scroll bars), hence the bulk updates.
void Win32Ui::appendRow(const std::string& keyword) {
    rows_.appendRow(keyword);
    if (bulkDepth_ == 0)
        ListView_SetItemCountEx(resultList_, rows_.rowCount(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

// The whole row, since a cell's colour depends on its neighbour.
void Win32Ui::setCell(int row, int column, const std::string& text) {
    if (rows_.setCell(row, column, text) && bulkDepth_ == 0)
        ListView_RedrawItems(resultList_, row, row);
}

void Win32Ui::beginBulkUpdate() { ++bulkDepth_; }

void Win32Ui::endBulkUpdate() {
    if (bulkDepth_ == 0 || --bulkDepth_ > 0) return;
    // Cleared rows lose their selection and the list scrolls back to the top, as a real clear.
    if (clearedInBulk_) ListView_DeleteAllItems(resultList_);
    clearedInBulk_ = false;
    ListView_SetItemCountEx(resultList_, rows_.rowCount(), LVSICF_NOSCROLL);
    InvalidateRect(resultList_, nullptr, FALSE);
}

void Win32Ui::setColumnCaption(int column, const std::string& text) {
    std::wstring caption = cp932ToWide(text);
    LVCOLUMNW lvColumn{};
    lvColumn.mask = LVCF_TEXT;
    lvColumn.pszText = caption.data();
    ListView_SetColumn(resultList_, column, &lvColumn);
    rows_.setCaption(column, text);
}

void Win32Ui::setColumnTip(int column, const std::string& text) { headerTips_.setText(column, text); }

void Win32Ui::setWindowTitle(const std::string& text) {
    SetWindowTextW(mainWindow_, cp932ToWide(text).c_str());
}

void Win32Ui::setEngineMenuItems(const std::vector<std::string>& names) {
    for (int i = 0; i < engineCount_; ++i)
        DeleteMenu(engineSubmenu_, ENGINE_MENU_FIRST_ID + i, MF_BYCOMMAND);
    engineCount_ = 0;
    for (const std::string& name : names) {
        AppendMenuW(engineSubmenu_, MF_STRING, ENGINE_MENU_FIRST_ID + engineCount_,
                    cp932ToWide(name).c_str());
        ++engineCount_;
    }
}

void Win32Ui::markEngineMenuItem(int index) {
    if (engineCount_ == 0) return;
    CheckMenuRadioItem(engineSubmenu_, ENGINE_MENU_FIRST_ID,
                       ENGINE_MENU_FIRST_ID + engineCount_ - 1, ENGINE_MENU_FIRST_ID + index,
                       MF_BYCOMMAND);
}

std::optional<std::string> Win32Ui::askOpenFile(Owner owner, FileKind kind,
                                                const std::string& proposedPath) {
    const bool engine = kind == FileKind::Engine;
    FileDialogRequest request{
        ownerWindow(owner),
        engine ? fileFilter(texts::FILTER_ENGINE_FILES, L"*.eng")
               : fileFilter(texts::FILTER_TEXT_FILES, L"*.txt"),
        cp932ToWide(proposedPath),
        cp932ToWide(workspace_.root),
        engine ? L"eng" : L"txt",
        OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR};
    // The dialog starts in the folder of the proposed file, when it names one.
    const std::size_t slash = request.proposedName.rfind(L'\\');
    if (slash != std::wstring::npos) request.initialFolder = request.proposedName.substr(0, slash);
    return runFileDialog(request, false);
}

std::optional<std::string> Win32Ui::askSaveEngineFile(Owner owner) {
    const FileDialogRequest request{ownerWindow(owner),
                                    fileFilter(texts::FILTER_ENGINE_FILES, L"*.eng"),
                                    std::wstring(),
                                    cp932ToWide(workspace_.engineFolder()),
                                    L"eng",
                                    OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR};
    return runFileDialog(request, true);
}

std::optional<std::string> Win32Ui::askSaveCsvFile(Owner owner, const std::string& proposedName) {
    const FileDialogRequest request{ownerWindow(owner),
                                    fileFilter(texts::FILTER_CSV_FILES, L"*.csv"),
                                    cp932ToWide(proposedName),
                                    cp932ToWide(workspace_.root),
                                    L"csv",
                                    OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR};
    return runFileDialog(request, true);
}

EngineFields Win32Ui::readEngineFields() {
    EngineFields fields;
    const auto targets = fieldsInOrder(fields);
    for (std::size_t i = 0; i < ENGINE_FIELD_IDS.size(); ++i)
        *targets[i] = typedTextToCp932(windowText(GetDlgItem(editDialog_, ENGINE_FIELD_IDS[i])));
    return fields;
}

void Win32Ui::showEngineFields(const EngineFields& fields) {
    EngineFields copy = fields;
    const auto sources = fieldsInOrder(copy);
    for (std::size_t i = 0; i < ENGINE_FIELD_IDS.size(); ++i)
        SetDlgItemTextW(editDialog_, ENGINE_FIELD_IDS[i], cp932ToWide(*sources[i]).c_str());
}

void Win32Ui::setEngineStatus(const std::string& text) {
    SetDlgItemTextW(editDialog_, IDC_LEARN_STATUS, cp932ToWide(text).c_str());
}

void Win32Ui::openAddress(const std::string& address) {
    ShellExecuteW(nullptr, L"open", cp932ToWide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace vexor
