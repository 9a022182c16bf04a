// What vexor-cli tells the user on standard error while it surveys: on a terminal one status
// line redrawn in place (keyword, results read, then the rank), otherwise one line per finished
// keyword. It also catches the commonest silent failure of a rank tracker: a first results page
// that came back empty, refused (an error status, a certificate that did not verify) or no
// longer parses looks like "not ranked" in the history, so such a keyword gets a warning of its
// own here that names the cause.
#pragma once

#include <deque>
#include <string>

#include "cli/console.h"
#include "cli/terminal_text.h"
#include "survey/survey_events.h"

namespace vexor::cli {

class ProgressDisplay {
public:
    // keywords: code page 932, indexed by row; must outlive the display.
    ProgressDisplay(const Console& console, const std::deque<std::string>& keywords);

    void progress(int row, int examined);
    void result(int row, int rank);
    // A keyword whose first results page could not be read gets a warning naming why.
    void searchEnded(int row, const SearchEnding& ending);

    // A line of its own (UTF-8, without the line end), clear of any status line.
    void note(const std::string& utf8);

    // Ends the survey's output: clears a status line left standing, and when any keyword was
    // warned about, says so once more with the advice to learn the engine again.
    void finish();

    int unreadableKeywords() const { return unreadable_; }

private:
    TerminalText label(int row) const;  // "[3/12] keyword"
    std::string keywordAt(int row) const;  // UTF-8
    void drawStatus(const std::string& utf8, std::size_t width);
    void clearStatus();

    const Console& console_;
    const std::deque<std::string>& keywords_;
    std::size_t statusWidth_ = 0;  // columns of the status line on screen, 0 when none
    int unreadable_ = 0;
};

}  // namespace vexor::cli
