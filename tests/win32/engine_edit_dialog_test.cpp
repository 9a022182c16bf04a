// The engine edit dialog's window procedure with the real dialog: how it closes. "キャンセル"
// puts the engine back as it was; the close box ends the dialog without putting anything back.
// Needs a display (run under Xvfb).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

#include "app/app_state.h"
#include "app/texts.h"
#include "app/win32/engine_edit_dialog.h"
#include "app/win32/win32_ui.h"
#include "platform/text.h"
#include "recording_events.h"
#include "resources/resource_ids.h"

namespace vexor {
namespace {

INT_PTR CALLBACK passiveProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// What the test does inside the running modal dialog, once it is up.
std::function<void(HWND)> g_whileOpen;  // the timer callback has no user data

void CALLBACK actInDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    // The tests run the dialog in new mode, which has a title of its own.
    HWND dialog = FindWindowW(nullptr, cp932ToWide(texts::NEW_DIALOG_TITLE).c_str());
    if (dialog == nullptr || !IsWindowVisible(dialog)) return;
    KillTimer(nullptr, timer);
    g_whileOpen(dialog);
}

// The message box the main window owns, once it is shown: its caption is kept and it is closed.
HWND g_owner = nullptr;
std::wstring g_boxCaption;

BOOL CALLBACK takeOwnedBox(HWND window, LPARAM found) {
    if (GetWindow(window, GW_OWNER) != g_owner || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void CALLBACK closeMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), takeOwnedBox, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr) return;
    KillTimer(nullptr, timer);
    std::array<wchar_t, 100> caption{};
    GetWindowTextW(box, caption.data(), static_cast<int>(caption.size()));
    g_boxCaption = caption.data();
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

class EngineEditDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        main_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN_WINDOW),
                                   nullptr, passiveProc, 0);
        ASSERT_NE(main_, nullptr) << "no display?";
        ui_.attachMainWindow(main_);
        state_.currentEngine.keyword = "before";
        state_.currentEngine.page2Url = "http://before/2";
        state_.currentEngine.linkRules = {{LinkSelection::FirstTen, 2, "<a href=\""}};
        original_ = state_.currentEngine;
    }
    void TearDown() override {
        if (main_) DestroyWindow(main_);
    }

    // Runs the dialog in new mode; whileOpen acts on it once it is shown.
    void run(std::function<void(HWND)> whileOpen) {
        g_whileOpen = std::move(whileOpen);
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, actInDialog);
        runEngineEditDialog(GetModuleHandleW(nullptr), state_, services_, ui_, EditMode::New);
        KillTimer(nullptr, timer);
    }

    Win32Ui ui_{Workspace{}};
    testing::RecordingEvents events_;
    AppServices services_{ui_, ui_, ui_, ui_, events_,
                          [](const std::string&, std::string&, const std::atomic<bool>&) {
                              return FetchOutcome{FetchFailure::EmptyBody, 200};
                          },
                          [] { return SystemTime{}; }, nullptr};
    AppState state_;
    EngineDefinition original_;
    HWND main_ = nullptr;
};

TEST_F(EngineEditDialogTest, CancelPutsTheEngineBackAsItWas) {
    bool keywordHadFocus = false;
    bool fieldsEmpty = false;
    run([&](HWND dialog) {
        keywordHadFocus = GetFocus() == GetDlgItem(dialog, IDC_KEYWORD);
        fieldsEmpty = GetWindowTextLengthW(GetDlgItem(dialog, IDC_PAGE2_URL)) == 0;
        SetDlgItemTextW(dialog, IDC_KEYWORD, L"typed");
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_TRUE(keywordHadFocus);
    EXPECT_TRUE(fieldsEmpty);  // new mode starts from a reset engine
    EXPECT_EQ(state_.currentEngine, original_);
    EXPECT_EQ(FindWindowW(nullptr, cp932ToWide(texts::NEW_DIALOG_TITLE).c_str()), nullptr);
}

TEST_F(EngineEditDialogTest, CloseBoxKeepsWhatTheDialogPutIntoTheEngine) {
    run([](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); });
    EngineDefinition reset;
    resetDefinition(reset);
    EXPECT_EQ(state_.currentEngine, reset);
    EXPECT_EQ(state_.backupEngine, original_);
    EXPECT_EQ(FindWindowW(nullptr, cp932ToWide(texts::NEW_DIALOG_TITLE).c_str()), nullptr);
}

// The system's default caption reads "エラー", also over a success.
TEST_F(EngineEditDialogTest, MessageBoxesCarryTheProgramsName) {
    g_owner = main_;
    for (const Icon icon : {Icon::Information, Icon::Warning}) {
        g_boxCaption.clear();
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, closeMessageBox);
        ui_.showMessage(Owner::MainWindow, texts::MSG_LEARN_SUCCEEDED, icon);
        KillTimer(nullptr, timer);
        EXPECT_EQ(g_boxCaption, cp932ToWide(texts::APP_TITLE));
    }
}

}  // namespace
}  // namespace vexor
