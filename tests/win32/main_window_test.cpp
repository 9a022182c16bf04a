// The main window as the program runs it, with its own dialog procedure and message loop: the
// start-up load's messages come once the window is up and painted. Needs a display (run under
// Xvfb).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/win32/main_window.h"
#include "app/win32/posted_survey_events.h"
#include "app/win32/win32_ui.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "resources/resource_ids.h"
#include "temp_folder.h"

namespace vexor {
namespace {

// The main window: the thread's top-level window that holds the result list.
BOOL CALLBACK takeMainWindow(HWND window, LPARAM found) {
    if (GetDlgItem(window, IDC_RESULT_LIST) == nullptr) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

BOOL CALLBACK noteUnpainted(HWND child, LPARAM unpainted) {
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE))
        *reinterpret_cast<bool*>(unpainted) = true;
    return TRUE;
}

// Records, instead of showing a box, how the main window stands at each message, and closes the
// window once the start-up load is over.
class WindowAtMessages : public Messages {
public:
    struct Seen {
        std::string text;
        bool visible;
        bool painted;  // the window and every visible control in it
    };
    std::vector<Seen> seen;

    void showMessage(Owner, const std::string& text, Icon) override {
        HWND window = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), takeMainWindow, reinterpret_cast<LPARAM>(&window));
        ASSERT_NE(window, nullptr);
        bool unpainted = GetUpdateRect(window, nullptr, FALSE) != 0;
        EnumChildWindows(window, noteUnpainted, reinterpret_cast<LPARAM>(&unpainted));
        seen.push_back({text, IsWindowVisible(window) != 0, !unpainted});
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    bool askYesNo(Owner, const std::string&, Icon) override { return false; }
};

TEST(MainWindow, StartUpMessagesComeOverTheShownAndPaintedWindow) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    testing::TempFolder folder;
    ASSERT_TRUE(makeDirectory(folder.file("engine")));
    ASSERT_TRUE(replaceFileContent(folder.file("vexor.ini"),
                                   "[ENGINE]\r\nlast=engine\\missing.eng\r\n"
                                   "[SEARCH]\r\nlast=missing-survey.txt\r\n"));
    const Workspace workspace{folder.path()};
    Win32Ui ui(workspace);
    WindowAtMessages messages;
    PostedSurveyEvents events;
    AppState state;
    state.workspace = workspace;
    AppServices services{messages, ui, ui, ui, events, nullptr, localNow, nullptr};
    MainWindow window{state, services, ui, events};
    runMainWindow(GetModuleHandleW(nullptr), window);

    ASSERT_EQ(messages.seen.size(), 2u);
    EXPECT_NE(messages.seen[0].text.find("missing.eng"), std::string::npos) << messages.seen[0].text;
    EXPECT_NE(messages.seen[1].text.find("missing-survey.txt"), std::string::npos) << messages.seen[1].text;
    for (const auto& at : messages.seen) {
        EXPECT_TRUE(at.visible) << at.text;
        EXPECT_TRUE(at.painted) << at.text;
    }
}

}  // namespace
}  // namespace vexor
