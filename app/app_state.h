// The one state object of the Windows program, made by its main and passed by reference to
// every handler, and the record of the seams the shell logic works through. Nothing here is a
// global, so a test can build as many independent instances as it likes.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/engine_form.h"
#include "app/list_columns.h"
#include "app/messages.h"
#include "app/result_list.h"
#include "app/run_fetchers.h"
#include "app/window_chrome.h"
#include "app/workspace.h"
#include "engine/engine_definition.h"
#include "platform/clock.h"
#include "survey/survey_events.h"
#include "survey/survey_state.h"
#include "web/page_fetcher.h"

namespace vexor {

// The main window's outer rectangle in screen coordinates.
struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

// The engine sub-menu as the shell sees it: item i shows items[i]; engineMenuIndex maps a name
// to the index of its first item.
struct EngineMenu {
    std::vector<std::string> items;
    std::map<std::string, int> engineMenuIndex;

    int engineCount() const { return static_cast<int>(items.size()); }
};

// The engine edit dialog works either on a new file (named when saving) or on the current one.
enum class EditMode { New, Edit };

struct AppState {
    Workspace workspace;              // chosen by the entry point before anything else
    std::string programFolder;        // of vexor.exe, which holds the manual; set by the entry point
    EngineDefinition currentEngine;
    EngineDefinition backupEngine;    // the edit dialog's copy, put back on cancel
    std::string currentEnginePath;    // as given; empty: no engine chosen
    EngineMenu engineMenu;
    EditMode editMode = EditMode::New;  // of the edit dialog that is open (or was last)
    SurveyState survey;
    std::string lastSurveyPath;       // [SEARCH] last as read at start-up
    std::string startupSurveyPath;    // the survey file named on the command line
    WindowRect windowRect;            // written to the settings file at close
    ColumnWidths columnWidths = DEFAULT_COLUMN_WIDTHS;  // of the result list, as the user left them
    std::string surveyFileBuffer;     // the survey Open dialog's last choice
    int failedKeywords = 0;           // keywords of the running survey whose search failed
    int unreadableKeywords = 0;       // of those, the ones whose page the rules could not read
    int refusedKeywords = 0;          // of those, the ones refused or not reached (adviceFor)

    AppState() = default;
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;
    // A worker still running when the state goes away would read freed memory: it is asked to
    // stop and joined first (a finished one is only joined).
    ~AppState();
};

// The seams, supplied by the front end (real windows, WinINet, the local clock) or by a test
// (FakeUi, RecordingEvents, scripted fetcher, pinned clock).
struct AppServices {
    Messages& messages;
    ResultList& list;
    WindowChrome& chrome;
    EngineForm& form;
    SurveyEvents& events;  // where a started survey worker reports
    PageFetcher fetch;
    Clock clock;
    // Shows the engine edit dialog modally in the given mode and returns when it has closed.
    // The front end's dialog calls openEditDialog / learnInEditDialog / saveEditDialog /
    // cancelEditDialog (app/edit_dialog.h); tests script the same calls here.
    std::function<void(EditMode)> runEditDialog;
    // Makes the fetchers of a survey or learning run as it starts (the front ends' read the
    // settings as they are then); when empty, every run fetches with fetch.
    std::function<RunFetchers()> runFetchers = nullptr;
};

// The fetchers of a run that starts now.
RunFetchers fetchersForRun(const AppServices& services);

}  // namespace vexor
