// Opening a survey definition file and the open command.
#include "survey/survey_file.h"

#include <vector>

#include "app/texts.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "survey/history.h"
#include "survey/text_lines.h"
#include "web/query_address.h"

namespace vexor {

std::string historyFolderName(const std::string& target) {
    // Escaped as query text every name is a plain folder name of the working directory except
    // these two, which would name the working directory itself and its parent.
    if (target == ".") return "%2E";
    if (target == "..") return "%2E%2E";
    return percentEncode(target);
}

bool openSurveyFile(SurveyState& state, const std::string& path, SurveyHost& host) {
    state.surveyPath = path;

    std::vector<std::string> lines;
    if (const auto content = readWholeFile(path))
        for (auto& line : splitLines(*content))
            if (!line.empty()) lines.push_back(std::move(line));
    if (lines.size() < 2) {
        host.ui.showMessage(Owner::MainWindow,
                            "\"" + path + "\"" + texts::MSG_SURVEY_READ_FAILED_TAIL,
                            Icon::Warning);
        return false;
    }

    host.ui.clearRows();
    for (std::size_t i = 1; i < lines.size(); ++i) host.ui.appendRow(lines[i]);
    writeProfileString(host.settingsFile, "SEARCH", "last", path);

    state.target = lines.front();
    if (host.updateWindowTitle) host.updateWindowTitle();

    state.keywords.assign(lines.begin() + 1, lines.end());
    for (auto& table : state.historyTables) table.clear();
    const std::string folder = historyFolderName(state.target);
    makeDirectory(folder);
    loadHistory(state, folder, host.ui);
    state.historyDirectory = folder;
    return true;
}

void chooseSurveyFile(SurveyState& state, SurveyHost& host, std::string& surveyFileBuffer) {
    const auto chosen =
        host.ui.askOpenFile(Owner::MainWindow, Ui::FileKind::Survey, surveyFileBuffer);
    if (!chosen) return;
    surveyFileBuffer = *chosen;
    openSurveyFile(state, surveyFileBuffer, host);
}

}  // namespace vexor
