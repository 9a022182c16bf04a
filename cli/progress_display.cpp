// Progress lines and first-page warnings on standard error.
#include "cli/progress_display.h"

#include "cli/terminal_text.h"

namespace vexor::cli {
namespace {

std::string rankText(int rank) {
    if (rank < 0) return "aborted";
    if (rank == 0) return "not ranked";
    return "rank " + std::to_string(rank);
}

std::string fetchFailureText(FetchFailure failure) {
    switch (failure) {
        case FetchFailure::BadAddress:
            return "the query address names no host; nothing was sent";
        case FetchFailure::Network:
            return "the engine could not be reached (no connection, or it broke off or stalled)";
        case FetchFailure::Certificate:
            return "the engine's certificate could not be verified (unknown authority, another "
                   "name or out of date)";
        case FetchFailure::SecureChannel:
            return "no secure (TLS) connection could be made with the engine";
        case FetchFailure::Redirect:
            return "the engine redirected to an address that is not followed (from https to "
                   "http, or more than ten redirects)";
        case FetchFailure::Timeout:
            return "the first results page did not come whole within its time limit";
        default:
            return "the first results page came back empty";
    }
}

// Why a first results page could not be read, for a search that ended there.
std::string firstPageFailureText(const SearchEnding& ending) {
    switch (ending.how) {
        case SearchEnd::HttpError:
            return "the first results page came back with HTTP status " +
                   std::to_string(ending.fetch.status);
        case SearchEnd::NoTenLinks:
            return "the first results page gave no links the engine's rules accept";
        case SearchEnd::FetchFailed:
            return fetchFailureText(ending.fetch.failure);
        default:
            return "the first results page came back empty";
    }
}

}  // namespace

ProgressDisplay::ProgressDisplay(const Console& console, const std::deque<std::string>& keywords)
    : console_(console), keywords_(keywords) {}

TerminalText ProgressDisplay::label(int row) const {
    const bool known = row >= 0 && static_cast<std::size_t>(row) < keywords_.size();
    const TerminalText keyword = terminalText(known ? keywords_[row] : std::string());
    const std::string counter =
        "[" + std::to_string(row + 1) + "/" + std::to_string(keywords_.size()) + "] ";
    return {counter + keyword.utf8, counter.size() + keyword.width};
}

std::string ProgressDisplay::keywordAt(int row) const {
    const bool known = row >= 0 && static_cast<std::size_t>(row) < keywords_.size();
    return terminalText(known ? keywords_[row] : std::string()).utf8;
}

void ProgressDisplay::drawStatus(const std::string& utf8, std::size_t width) {
    // Spaces over what is left of a longer previous line; no terminal escapes needed.
    const std::size_t pad = statusWidth_ > width ? statusWidth_ - width : 0;
    console_.err("\r" + utf8 + std::string(pad, ' '));
    statusWidth_ = width;
}

void ProgressDisplay::clearStatus() {
    if (statusWidth_ == 0) return;
    console_.err("\r" + std::string(statusWidth_, ' ') + "\r");
    statusWidth_ = 0;
}

void ProgressDisplay::progress(int row, int examined) {
    if (!console_.errIsTerminal) return;
    const TerminalText text = label(row);
    const std::string tail = "  results read: " + std::to_string(examined);  // ASCII
    drawStatus(text.utf8 + tail, text.width + tail.size());
}

void ProgressDisplay::result(int row, int rank) {
    clearStatus();
    console_.err(label(row).utf8 + "  " + rankText(rank) + "\n");
}

void ProgressDisplay::searchEnded(int row, const SearchEnding& ending) {
    if (!firstPageFailed(ending)) return;
    ++unreadable_;
    clearStatus();
    console_.err("warning: \"" + keywordAt(row) + "\": " + firstPageFailureText(ending) +
                 "; recorded as not ranked\n");
}

void ProgressDisplay::note(const std::string& utf8) {
    clearStatus();
    console_.err(utf8 + "\n");
}

void ProgressDisplay::finish() {
    clearStatus();
    if (unreadable_ == 0) return;
    console_.err("warning: " + std::to_string(unreadable_) +
                 (unreadable_ == 1 ? " keyword" : " keywords") +
                 " could not be read on the first results page; the engine may need to be "
                 "learnt again\n");
}

}  // namespace vexor::cli
