// Opening a survey file and starting a survey, as the shell does them for both front ends: the
// survey layer reads and rotates, this says what happened and fills the result list.
#pragma once

#include <string>
#include <vector>

#include "app/messages.h"
#include "app/result_list.h"
#include "app/window_chrome.h"
#include "app/workspace.h"
#include "engine/engine_definition.h"
#include "platform/clock.h"
#include "survey/survey_context.h"
#include "survey/survey_events.h"
#include "survey/survey_state.h"
#include "web/page_fetcher.h"

namespace vexor {

// Makes the file at path (as given; a relative one is taken from the workspace) the current
// survey: sets surveyPath first in any case; on success fills the list (one row per keyword),
// writes [SEARCH] last, sets target, creates the history folder when missing, loads its
// history into state and the list, and returns true; lines left out or named (survey/survey_file.h)
// then come in one warning over the main window, unless the last open said the same. A file that
// gives no survey shows "\"path\"の読み込みに失敗しました。" and why on a second line over the
// main window and returns false with everything but surveyPath unchanged.
bool openSurveyFile(SurveyState& state, const Workspace& workspace, const std::string& path,
                    Messages& messages, ResultList& list);

// The open command: asks for a survey file (proposing surveyFileBuffer, the path chosen last;
// the dialog starts in its folder) and opens the confirmed file. Cancelling does nothing.
// True when a file was opened.
bool chooseSurveyFile(SurveyState& state, const Workspace& workspace, std::string& surveyFileBuffer,
                      Messages& messages, ResultList& list, WindowChrome& chrome);

// What a survey start runs with; every reference outlives the worker.
struct SurveyStart {
    const EngineDefinition& engine;
    const std::string& enginePath;  // as given; its name heads a new generation
    SurveyEvents& events;
    PageFetcher fetch;
    Clock clock;
    // A retry: only the keywords whose record in the current generation is a failure are
    // searched, in the current generation whatever it is (nothing rotates).
    bool failedOnly = false;
    BackOff backOff = {};
    std::vector<ProxyRoute> proxies = {};  // taken in turn per keyword, in place of fetch
};

// The start command. Does nothing while a worker still runs. With no survey file open it says
// so and how to open one; then refuses an engine without rules ("未学習です"); in both cases
// nothing is read or written. Otherwise reads state.surveyPath again (its failure
// message stops the start), takes the history folder's lock (another run of the same survey
// stops the start with a message), finishes a rotation a killed run left half done, continues
// the current history generation when it is unfinished and was begun under the same engine or
// else rotates the history (a rotation that cannot be made stops the start with a message and
// changes no file) and shows it, makes sure 0.txt has a header and ends in a whole line, and
// starts the worker. A history that cannot be written is said once (historyNotStored) and the
// survey runs all the same. A retry (start.failedOnly) with no failed keyword says so
// ("現在の調査に失敗した語はありません。") and starts nothing. True when the worker was started.
bool startSurvey(SurveyState& state, const Workspace& workspace, const SurveyStart& start,
                 Messages& messages, ResultList& list);

// The one message of a run whose history could not be stored in folder.
Message historyNotStored(const std::string& folder);

// What the shell does when the worker reports that a record could not be stored: says so, once
// a run.
void showHistoryNotStored(const SurveyState& state, Messages& messages);

}  // namespace vexor
