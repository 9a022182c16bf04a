// One switch from the resource ids to the shell's commands.
#include "app/win32/menu_commands.h"

#include <windows.h>

#include "resources/resource_ids.h"

namespace vexor {

std::optional<Command> commandOf(int id, int engineCount) {
    using Kind = Command::Kind;
    switch (id) {
        case IDM_OPEN_SURVEY: return Command{Kind::OpenSurvey};
        case IDM_START_SURVEY: return Command{Kind::StartSurvey};
        case IDM_ABORT_SURVEY: return Command{Kind::AbortSurvey};
        case IDM_RETRY_FAILED: return Command{Kind::RetryFailed};
        case IDM_WRITE_REPORT: return Command{Kind::WriteReport};
        case IDM_EXIT: return Command{Kind::Exit};
        case IDCANCEL: return Command{Kind::Cancel};
        case IDM_NEW_ENGINE: return Command{Kind::NewEngine};
        case IDM_EDIT_ENGINE: return Command{Kind::EditEngine};
        case IDM_IMPORT_ENGINE: return Command{Kind::ImportEngine};
        case IDM_ONLINE_HELP: return Command{Kind::Help};
        default: break;
    }
    if (id >= ENGINE_MENU_FIRST_ID && id < ENGINE_MENU_FIRST_ID + engineCount)
        return Command{Kind::SelectEngine, id - ENGINE_MENU_FIRST_ID};
    return std::nullopt;
}

}  // namespace vexor
