// Status texts of a survey run.
#include "app/run_status.h"

#include <algorithm>

#include "app/text_format.h"
#include "app/texts.h"

namespace vexor {

RunProgress beginRun(int total, RunClock::time_point now) { return {total, 0, false, now}; }

void noteResult(RunProgress& run, int rank) {
    if (rank < 0)
        run.aborted = true;
    else
        ++run.done;
}

std::optional<std::chrono::seconds> timeLeft(const RunProgress& run, RunClock::time_point now) {
    if (run.done <= 0) return std::nullopt;
    const int remaining = std::max(0, run.total - run.done);
    const auto perKeyword = (now - run.started) / run.done;
    return std::chrono::ceil<std::chrono::seconds>(perKeyword * remaining);
}

std::string timeLeftText(std::chrono::seconds left) {
    const long long seconds = std::max<long long>(0, left.count());
    if (seconds < 60) return formatWithNumber(texts::FMT_STATUS_SECONDS_LEFT, seconds);
    const long long minutes = (seconds + 59) / 60;
    if (minutes < 60) return formatWithNumber(texts::FMT_STATUS_MINUTES_LEFT, minutes);
    std::string text = formatWithNumber(texts::FMT_STATUS_HOURS_LEFT, minutes / 60);
    if (minutes % 60 != 0) text += formatWithNumber(texts::FMT_STATUS_AND_MINUTES, minutes % 60);
    return text;
}

namespace {

std::string failuresText(int failures) {
    return failures > 0 ? formatWithNumber(texts::FMT_STATUS_FAILURES, failures) : std::string();
}

}  // namespace

std::string runningStatusText(const RunProgress& run, int failures, RunClock::time_point now) {
    std::string text = formatWithNumber(texts::FMT_STATUS_RUNNING, std::min(run.done + 1, run.total));
    text += formatWithNumber(texts::FMT_STATUS_OF_KEYWORDS, run.total);
    const auto left = timeLeft(run, now);
    text += left ? timeLeftText(*left) : std::string(texts::TEXT_STATUS_ESTIMATING);
    return text + failuresText(failures);
}

RunEnd runEndOf(const RunProgress& run, bool engineRefused) {
    if (engineRefused) return RunEnd::Refused;
    return run.aborted ? RunEnd::Aborted : RunEnd::Finished;
}

std::string endStatusText(const RunProgress& run, RunEnd end, int failures) {
    const char* pattern = end == RunEnd::Finished  ? texts::FMT_STATUS_FINISHED
                          : end == RunEnd::Aborted ? texts::FMT_STATUS_ABORTED
                                                   : texts::FMT_STATUS_REFUSED;
    std::string text = formatWithNumber(pattern, run.done);
    text += formatWithNumber(texts::FMT_STATUS_OF_KEYWORDS, run.total);
    text += failuresText(failures);
    if (end != RunEnd::Finished) text += texts::TEXT_STATUS_RESUMABLE;
    return text;
}

bool followsProgress(int followedRow, int firstVisibleRow, int visibleRows) {
    return followedRow < 0 ||
           (followedRow >= firstVisibleRow && followedRow < firstVisibleRow + visibleRows);
}

}  // namespace vexor
