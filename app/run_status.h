// What the main window's status bar says about a survey run: while it runs, the keyword in
// progress out of those the run searches, the time left at the pace so far and the failures;
// when it has ended, one line with how it ended and the counts. Also whether the list follows
// the keyword in progress.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace vexor {

using RunClock = std::chrono::steady_clock;

// One run as the main window counts it from the worker's reports.
struct RunProgress {
    int total = 0;  // keywords the run searches
    int done = 0;   // of those, finished
    bool aborted = false;
    RunClock::time_point started;
};

// A run that begins at now searching total keywords.
RunProgress beginRun(int total, RunClock::time_point now);

// A keyword's result: rank -1 marks the abort, anything else one more keyword done.
void noteResult(RunProgress& run, int rank);

// The time left at the pace so far: the time per finished keyword times the keywords still to
// search; nothing before the first keyword is done.
std::optional<std::chrono::seconds> timeLeft(const RunProgress& run, RunClock::time_point now);

// "約 40 秒", "約 5 分" (minutes rounded up), "約 2 時間 5 分".
std::string timeLeftText(std::chrono::seconds left);

// "調査中: キーワード 13 / 340 語　残り約 5 分　失敗 2 語".
std::string runningStatusText(const RunProgress& run, int failures, RunClock::time_point now);

enum class RunEnd { Finished, Aborted, Refused };

// How a run ended: refused when the engine refused it, else aborted when the user stopped it.
RunEnd runEndOf(const RunProgress& run, bool engineRefused);

// "調査完了: 340 / 340 語　失敗 2 語"; an aborted or refused run adds that the next start goes on.
std::string endStatusText(const RunProgress& run, RunEnd end, int failures);

// Whether the list scrolls to the keyword in progress: when it showed the row it followed last
// (or has followed none yet); a user who scrolled away is left where they are.
bool followsProgress(int followedRow, int firstVisibleRow, int visibleRows);

}  // namespace vexor
