// One switch from the resource ids to the shell's commands.
#include "app/win32/menu_commands.h"

#include "resources/resource_ids.h"

namespace vexor {
namespace {

constexpr int MENU_IDS[] = {IDM_OPEN_SURVEY,  IDM_START_SURVEY, IDM_ABORT_SURVEY, IDM_WRITE_REPORT,
                            IDM_RETRY_FAILED, IDM_EXIT,         IDM_NEW_ENGINE,   IDM_EDIT_ENGINE,
                            IDM_IMPORT_ENGINE, IDM_ONLINE_HELP, IDM_COLOUR_LEGEND, IDM_EXPORT_CSV,
                            IDM_FETCH_DIRECT, IDM_FETCH_BROWSER, IDM_FETCH_SERVICE, IDM_BROWSER_WINDOW};

struct FetchItem {
    int id;
    FetchMode mode;
};
constexpr FetchItem FETCH_ITEMS[] = {{IDM_FETCH_DIRECT, FetchMode::Direct},
                                     {IDM_FETCH_BROWSER, FetchMode::Browser},
                                     {IDM_FETCH_SERVICE, FetchMode::Service}};

void showCommandState(HMENU menu, int id, int engineCount, bool surveyRunning, bool surveyOpen) {
    const auto command = commandOf(id, engineCount);
    if (!command) return;
    const bool enabled = commandEnabled(command->kind, surveyRunning, surveyOpen);
    EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

}  // namespace

std::optional<Command> commandOf(int id, int engineCount) {
    using Kind = Command::Kind;
    switch (id) {
        case IDM_OPEN_SURVEY: return Command{Kind::OpenSurvey};
        case IDM_START_SURVEY: return Command{Kind::StartSurvey};
        case IDM_ABORT_SURVEY: return Command{Kind::AbortSurvey};
        case IDM_RETRY_FAILED: return Command{Kind::RetryFailed};
        case IDM_WRITE_REPORT: return Command{Kind::WriteReport};
        case IDM_EXPORT_CSV: return Command{Kind::ExportCsv};
        case IDM_EXIT: return Command{Kind::Exit};
        case IDCANCEL: return Command{Kind::Cancel};
        case IDM_NEW_ENGINE: return Command{Kind::NewEngine};
        case IDM_EDIT_ENGINE: return Command{Kind::EditEngine};
        case IDM_IMPORT_ENGINE: return Command{Kind::ImportEngine};
        case IDM_ONLINE_HELP: return Command{Kind::Help};
        case IDM_COLOUR_LEGEND: return Command{Kind::ColourLegend};
        case IDM_BROWSER_WINDOW: return Command{Kind::BrowserWindow};
        default: break;
    }
    for (const FetchItem& item : FETCH_ITEMS)
        if (id == item.id) return Command{Kind::ChooseFetch, -1, item.mode};
    if (id >= ENGINE_MENU_FIRST_ID && id < ENGINE_MENU_FIRST_ID + engineCount)
        return Command{Kind::SelectEngine, id - ENGINE_MENU_FIRST_ID};
    return std::nullopt;
}

void showCommandStates(HMENU menu, int engineCount, bool surveyRunning, bool surveyOpen) {
    for (const int id : MENU_IDS) showCommandState(menu, id, engineCount, surveyRunning, surveyOpen);
    for (int i = 0; i < engineCount; ++i)
        showCommandState(menu, ENGINE_MENU_FIRST_ID + i, engineCount, surveyRunning, surveyOpen);
}

void showFetchChoice(HMENU menu, const NetworkSettings& settings) {
    for (const FetchItem& item : FETCH_ITEMS) {
        const bool chosen = settings.fetchMode == item.mode;
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE;
        GetMenuItemInfoW(menu, static_cast<UINT>(item.id), FALSE, &info);
        info.fType |= MFT_RADIOCHECK;
        info.fState = (info.fState & ~static_cast<UINT>(MFS_CHECKED)) | (chosen ? MFS_CHECKED : MFS_UNCHECKED);
        SetMenuItemInfoW(menu, static_cast<UINT>(item.id), FALSE, &info);
    }
    CheckMenuItem(menu, IDM_BROWSER_WINDOW, MF_BYCOMMAND | (settings.browserWindow ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace vexor
