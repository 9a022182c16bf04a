// Progress lines and first-page warnings on standard error.
#include "cli/progress_display.h"

#include "app/survey_failures.h"
#include "app/visible_text.h"

namespace vexor::cli {
namespace {

std::string rankText(int rank) {
    if (rank < 0) return "aborted";
    if (rank == 0) return "not ranked";
    return "rank " + std::to_string(rank);
}

// The proxy a page could not be got through, as the end of a warning.
std::string throughProxy(const SearchFailure& failure) {
    return failure.proxy.empty() ? std::string() : " through the proxy " + proxyAsShown(failure.proxy);
}

std::string causeText(const SearchFailure& failure) {
    switch (failure.cause) {
        case FailureCause::HttpStatus:
            return "came back with HTTP status " + std::to_string(failure.status);
        case FailureCause::Network:
            return "could not be fetched: the engine could not be reached (no connection, or it "
                   "broke off or stalled)";
        case FailureCause::Timeout:
            return "did not come whole within its time limit";
        case FailureCause::Certificate:
            return "could not be fetched: the engine's certificate could not be verified (unknown "
                   "authority, another name or out of date)";
        case FailureCause::SecureChannel:
            return "could not be fetched: no secure (TLS) connection could be made with the engine";
        case FailureCause::Redirect:
            return "was redirected to an address that is not followed (from https to http, "
                   "without a place to go, or more than ten redirects)";
        case FailureCause::RedirectAway:
            return "was redirected away from the engine's results";
        case FailureCause::EmptyPage:
            return "came back empty";
        case FailureCause::BadAddress:
            return "has a query address that names no host; nothing was sent";
        case FailureCause::Consent:
            return "is a consent page, not results";
        case FailureCause::Captcha:
            return "is a captcha page, not results";
        case FailureCause::ScriptRequired:
            return "is a page that asks for JavaScript, not results";
        case FailureCause::NotResults:
            return "does not look like a results page of this engine";
        case FailureCause::NoLinks:
            return "gave no links the engine's rules accept";
        case FailureCause::Unknown:
            break;
    }
    return "could not be read";
}

std::string pageName(int page) {
    return page == 1 ? "the first results page" : "results page " + std::to_string(page);
}

}  // namespace

ProgressDisplay::ProgressDisplay(const Console& console, const std::deque<std::string>& keywords)
    : console_(console), keywords_(keywords) {}

VisibleText ProgressDisplay::label(int row) const {
    const bool known = row >= 0 && static_cast<std::size_t>(row) < keywords_.size();
    const VisibleText keyword = visibleText(known ? keywords_[row] : std::string());
    const std::string counter =
        "[" + std::to_string(row + 1) + "/" + std::to_string(keywords_.size()) + "] ";
    return {counter + keyword.utf8, counter.size() + keyword.width};
}

std::string ProgressDisplay::keywordAt(int row) const {
    const bool known = row >= 0 && static_cast<std::size_t>(row) < keywords_.size();
    return visibleText(known ? keywords_[row] : std::string()).utf8;
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
    const VisibleText text = label(row);
    const std::string tail = "  results read: " + std::to_string(examined);  // ASCII
    drawStatus(text.utf8 + tail, text.width + tail.size());
}

void ProgressDisplay::result(int row, int rank) {
    clearStatus();
    console_.err(label(row).utf8 + "  " + (row == failedRow_ ? std::string("failed") : rankText(rank)) + "\n");
    failedRow_ = -1;
}

void ProgressDisplay::searchEnded(int row, const SearchEnding& ending) {
    if (ending.how != SearchEnd::Failed) return;
    ++failed_;
    failedRow_ = row;
    const FailureAdvice advice = adviceFor(ending.failure);
    if (advice == FailureAdvice::Relearn) ++unreadable_;
    if (advice == FailureAdvice::WaitAndRetry) ++refused_;
    clearStatus();
    console_.err("warning: \"" + keywordAt(row) + "\": " + pageName(ending.failure.page) + " " +
                 causeText(ending.failure) + throughProxy(ending.failure) + "; recorded as failed\n");
}

void ProgressDisplay::note(const std::string& utf8) {
    clearStatus();
    console_.err(utf8 + "\n");
}

void ProgressDisplay::engineRefusing() {
    clearStatus();
    console_.err("vexor-cli: the engine is refusing automated searches now (several keywords in a "
                 "row were refused); the survey stopped, and the next survey continues where it "
                 "stopped\n");
}

void ProgressDisplay::finish() {
    clearStatus();
    if (failed_ == 0) return;
    console_.err("warning: " + std::to_string(failed_) + (failed_ == 1 ? " keyword" : " keywords") +
                 " failed; survey them again with --retry-failed" +
                 (unreadable_ > 0 ? "; some results pages no longer read with the engine's rules, "
                                    "so the engine may need to be learnt again"
                                  : "") +
                 (refused_ > 0 ? "; the engine refused some requests or could not be reached: try "
                                 "again later, check the network and proxy settings, or slow the "
                                 "pace with PageDelay in [NETWORK] of vexor.ini"
                               : "") +
                 "\n");
}

}  // namespace vexor::cli
