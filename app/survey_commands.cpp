// The open and start commands of a survey.
#include "app/survey_commands.h"

#include "app/settings.h"
#include "app/survey_display.h"
#include "app/survey_file_messages.h"
#include "app/text_format.h"
#include "app/texts.h"
#include "engine/engine_name.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "survey/history.h"
#include "survey/history_rotation.h"
#include "survey/survey_control.h"
#include "survey/survey_file.h"

namespace vexor {

bool openSurveyFile(SurveyState& state, const Workspace& workspace, const std::string& path,
                    Messages& messages, ResultList& list) {
    state.surveyPath = path;
    SurveyFileContent content = readSurveyFile(workspace.resolve(path));
    if (content.failure) {
        messages.showMessage(Owner::MainWindow, surveyReadFailed(path, *content.failure, content.notices),
                             Icon::Warning);
        return false;
    }
    SurveyDefinition& definition = content.definition;
    {
        const BulkUpdate bulk(list);
        list.clearRows();
        for (const auto& keyword : definition.keywords) list.appendRow(keyword);
        saveLastSurveyPath(workspace, path);

        state.target = std::move(definition.target);
        state.keywords.assign(std::make_move_iterator(definition.keywords.begin()),
                              std::make_move_iterator(definition.keywords.end()));
        const std::string folder = workspace.historyFolder(state.target);
        makeDirectory(folder);
        loadHistory(state, folder);
        showHistory(list, state);
        state.historyDirectory = folder;
    }
    // Every start reads the file again: the same lines are named once, until they change.
    if (!content.notices.empty() && content.notices != state.fileNotices)
        messages.showMessage(Owner::MainWindow, surveyLinesNotice(path, content.notices), Icon::Warning);
    state.fileNotices = std::move(content.notices);
    return true;
}

bool chooseSurveyFile(SurveyState& state, const Workspace& workspace, std::string& surveyFileBuffer,
                      Messages& messages, ResultList& list, WindowChrome& chrome) {
    const auto chosen =
        chrome.askOpenFile(Owner::MainWindow, WindowChrome::FileKind::Survey, surveyFileBuffer);
    if (!chosen) return false;
    surveyFileBuffer = *chosen;
    return openSurveyFile(state, workspace, surveyFileBuffer, messages, list);
}

Message historyNotStored(const std::string& folder) {
    return {formatWithText(texts::FMT_HISTORY_NOT_STORED, pathAsShown(folder)), Icon::Warning};
}

void showHistoryNotStored(const SurveyState& state, Messages& messages) {
    messages.show(Owner::MainWindow, historyNotStored(state.historyDirectory));
}

bool startSurvey(SurveyState& state, const Workspace& workspace, const SurveyStart& start,
                 Messages& messages, ResultList& list) {
    if (state.surveyRunning) return false;
    // With nothing open there is nothing to survey, whatever the engine: that comes first.
    if (state.surveyPath.empty()) {
        messages.showMessage(Owner::MainWindow, texts::MSG_START_WITHOUT_SURVEY, Icon::Warning);
        return false;
    }
    if (!isLearnt(start.engine)) {
        messages.showMessage(Owner::MainWindow, texts::MSG_NOT_LEARNT, Icon::Warning);
        return false;
    }
    if (!openSurveyFile(state, workspace, state.surveyPath, messages, list)) return false;

    const std::string& folder = state.historyDirectory;
    FileLock lock = lockHistory(folder);
    // A folder that cannot take the lock file cannot take the history either: that is said
    // below, and the survey runs without both.
    if (lock.busy()) {
        messages.showMessage(Owner::MainWindow, texts::MSG_SURVEY_RUNNING, Icon::Warning);
        return false;
    }
    if (finishInterruptedRotation(folder)) {
        loadHistory(state, folder);
        const BulkUpdate bulk(list);
        showHistory(list, state);
    }

    const std::string engineName = baseName(start.enginePath);
    const SystemTime now = start.clock();
    const std::string header = generationHeader(now, engineName);
    if (start.failedOnly) {
        if (!anyFailure(state.historyTables[0])) {
            messages.showMessage(Owner::MainWindow, texts::MSG_NOTHING_FAILED, Icon::Information);
            return false;
        }
    } else if (!canResumeGeneration(state, engineName)) {
        if (folderExists(folder) && rotateGenerations(folder, header) == RotationOutcome::Failed) {
            messages.show(Owner::MainWindow,
                          {formatWithText(texts::FMT_ROTATION_FAILED, pathAsShown(folder)), Icon::Warning});
            return false;
        }
        loadHistory(state, folder);
        state.generationCaptions[0] = header;
        state.generationStarts[0] = formatDate(now) + ":" + formatTime(now);
        const BulkUpdate bulk(list);
        showHistory(list, state);
    }
    state.historyWriteFailed = !writeGenerationHeader(folder, header) || !endLastLine(folder);
    if (state.historyWriteFailed) messages.show(Owner::MainWindow, historyNotStored(folder));
    state.runLock = std::move(lock);
    return startWorker(state, start.engine, start.events, start.fetch, start.clock,
                       RunOptions{start.failedOnly, start.backOff, start.proxies});
}

}  // namespace vexor
