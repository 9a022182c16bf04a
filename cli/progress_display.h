// What vexor-cli tells the user on standard error while it surveys: on a terminal one status
// line redrawn in place (keyword, results read, then the rank), otherwise one line per finished
// keyword. A keyword whose search failed (a results page refused, blocked, empty or no longer
// read by the engine's rules) gets a warning of its own that names the page and the cause.
#pragma once

#include <deque>
#include <string>

#include "app/visible_text.h"
#include "cli/console.h"
#include "survey/survey_events.h"

namespace vexor::cli {

class ProgressDisplay {
public:
    // keywords: code page 932, indexed by row; must outlive the display.
    ProgressDisplay(const Console& console, const std::deque<std::string>& keywords);

    void progress(int row, int examined);
    void result(int row, int rank);
    // A keyword whose search failed gets a warning naming the page and why.
    void searchEnded(int row, const SearchEnding& ending);
    // The search of row waits for the person at the terminal: the status line gives way to a
    // line of its own, above the question.
    void waitingForPerson(int row);
    // The run stops because the engine refuses it.
    void engineRefusing();

    // A line of its own (UTF-8, without the line end), clear of any status line.
    void note(const std::string& utf8);

    // Ends the survey's output: clears a status line left standing, and when any keyword
    // failed, says so once more with how to survey them again.
    void finish();

    int failedKeywords() const { return failed_; }

private:
    VisibleText label(int row) const;  // "[3/12] keyword"
    std::string keywordAt(int row) const;  // UTF-8
    void drawStatus(const std::string& utf8, std::size_t width);
    void clearStatus();

    const Console& console_;
    const std::deque<std::string>& keywords_;
    std::size_t statusWidth_ = 0;  // columns of the status line on screen, 0 when none
    int failed_ = 0;
    int failedRow_ = -1;  // the row whose search just failed, until its result
    int unreadable_ = 0;  // failed so that the engine may need learning again (adviceFor)
    int refused_ = 0;     // failed because the engine refused or could not be reached
};

}  // namespace vexor::cli
