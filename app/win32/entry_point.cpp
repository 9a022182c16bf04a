// Entry point of vexor.exe: the command line, the common controls, the one state object and its
// seams, then the main window until it closes.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <optional>
#include <string>

#include "app/app_state.h"
#include "app/network_fetcher.h"
#include "app/settings.h"
#include "app/win32/engine_edit_dialog.h"
#include "app/win32/main_window.h"
#include "app/win32/posted_survey_events.h"
#include "app/win32/step_in_box.h"
#include "app/win32/wide_text.h"
#include "app/win32/win32_ui.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace vexor {
namespace {

// The folder of the running program, from the module itself: argv[0] holds no folder when the
// program was started through the search path. Nothing when it cannot be told.
std::optional<std::string> programFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::nullopt;
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.rfind(L'\\');
    if (slash != std::wstring::npos) path.resize(slash);
    return pathToCp932(path);
}

struct CommandLine {
    Workspace workspace;
    std::string surveyPath;  // the survey file to open and survey at once, as given
};

// With an argument the program works in its own folder and keeps the first argument as the
// survey file (a relative one is taken from that folder); further arguments are ignored.
// Without one it works in the current folder.
CommandLine takeCommandLine() {
    CommandLine taken{Workspace{workingDirectory()}, std::string()};
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) return taken;
    if (count >= 2) {
        if (const auto folder = programFolder()) taken.workspace.root = *folder;
        taken.surveyPath = pathToCp932(arguments[1]).value_or(std::string());
    }
    LocalFree(arguments);
    return taken;
}

}  // namespace
}  // namespace vexor

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace vexor;
    const CommandLine commandLine = takeCommandLine();

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    // The shell's "open" verb and the common file dialogs may call shell extensions over COM.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

    // The state is declared last so that it goes first: its destructor stops and joins a
    // survey worker that still reports to events.
    Win32Ui ui(commandLine.workspace);
    PostedSurveyEvents events;
    AppState state;
    state.workspace = commandLine.workspace;
    state.programFolder = programFolder().value_or(commandLine.workspace.root);
    state.startupSurveyPath = commandLine.surveyPath;
    AppServices services{ui, ui, ui, ui, events, nullptr, localNow, nullptr};
    services.runFetchers = [&] { return runFetchers(loadNetworkSettings(state.workspace), state.workspace); };
    services.runEditDialog = [&](EditMode mode) {
        runEngineEditDialog(instance, state, services, ui, mode);
    };
    services.askStepIn = [&](const std::string& question) {
        return runStepInBox(instance, ui.mainWindow(), question);
    };
    MainWindow window{state, services, ui, events};
    runMainWindow(instance, window);
    return 0;
}
