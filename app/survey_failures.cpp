// Texts and the end-of-run message for keywords whose search failed.
#include "app/survey_failures.h"

#include "app/text_format.h"
#include "app/texts.h"

namespace vexor {
namespace {

constexpr int CURRENT_RUN_COLUMN = 1;

}  // namespace

std::string failureCauseText(FailureCause cause, int status) {
    switch (cause) {
        case FailureCause::HttpStatus: return formatWithNumber(texts::FMT_FAILED_HTTP, status);
        case FailureCause::Network: return texts::TEXT_FAILED_NETWORK;
        case FailureCause::Timeout: return texts::TEXT_FAILED_TIMEOUT;
        case FailureCause::Certificate: return texts::TEXT_FAILED_CERTIFICATE;
        case FailureCause::SecureChannel: return texts::TEXT_FAILED_SECURE_CHANNEL;
        case FailureCause::Redirect: return texts::TEXT_FAILED_REDIRECT;
        case FailureCause::RedirectAway: return texts::TEXT_FAILED_REDIRECT_AWAY;
        case FailureCause::EmptyPage: return texts::TEXT_FAILED_EMPTY;
        case FailureCause::BadAddress: return texts::TEXT_FAILED_ADDRESS;
        case FailureCause::Consent: return texts::TEXT_FAILED_CONSENT;
        case FailureCause::Captcha: return texts::TEXT_FAILED_CAPTCHA;
        case FailureCause::ScriptRequired: return texts::TEXT_FAILED_SCRIPT;
        case FailureCause::NotResults: return texts::TEXT_FAILED_NOT_RESULTS;
        case FailureCause::NoLinks: return texts::TEXT_FAILED_UNREADABLE;
        case FailureCause::Unknown: break;
    }
    return texts::TEXT_FAILED;
}

namespace {

constexpr int FORBIDDEN = 403;
constexpr int TOO_MANY_REQUESTS = 429;
constexpr int FIRST_SERVER_ERROR = 500;

}  // namespace

FailureAdvice adviceFor(const SearchFailure& failure) {
    switch (failure.cause) {
        case FailureCause::NoLinks:
        case FailureCause::NotResults: return FailureAdvice::Relearn;
        case FailureCause::HttpStatus:
            // Other client errors (404, 400, ...) say the learnt address is not the engine's.
            return failure.status == FORBIDDEN || failure.status == TOO_MANY_REQUESTS ||
                           failure.status >= FIRST_SERVER_ERROR
                       ? FailureAdvice::WaitAndRetry
                       : FailureAdvice::Relearn;
        case FailureCause::Network:
        case FailureCause::Timeout:
        case FailureCause::EmptyPage:
        case FailureCause::Certificate:
        case FailureCause::SecureChannel: return FailureAdvice::WaitAndRetry;
        default: return FailureAdvice::None;
    }
}

std::string failureText(const SearchFailure& failure) {
    std::string text = failureCauseText(failure.cause, failure.status);
    if (failure.page > 1) text += formatWithNumber(texts::FMT_FAILED_ON_PAGE, failure.page);
    if (!failure.proxy.empty()) text += formatWithText(texts::FMT_FAILED_PROXY, proxyAsShown(failure.proxy));
    return text;
}

std::string proxyAsShown(const std::string& proxy) {
    const std::size_t scheme = proxy.find("://");
    const std::size_t hostStart = scheme == std::string::npos ? 0 : scheme + 3;
    const std::size_t at = proxy.rfind('@');
    if (at == std::string::npos || at < hostStart) return proxy;
    return proxy.substr(0, hostStart) + proxy.substr(at + 1);
}

void showSurveyFailure(AppState& state, ResultList& list, int row, const SearchFailure& failure) {
    list.setCell(row, CURRENT_RUN_COLUMN, failureText(failure));
    ++state.failedKeywords;
    const FailureAdvice advice = adviceFor(failure);
    if (advice == FailureAdvice::Relearn) ++state.unreadableKeywords;
    if (advice == FailureAdvice::WaitAndRetry) ++state.refusedKeywords;
}

void reportSurveyEnd(AppState& state, Messages& messages) {
    if (state.survey.engineRefused) {
        messages.showMessage(Owner::MainWindow, texts::MSG_ENGINE_REFUSING, Icon::Warning);
    } else if (state.failedKeywords > 0) {
        std::string text = formatWithNumber(texts::FMT_KEYWORDS_FAILED, state.failedKeywords);
        if (state.unreadableKeywords > 0) text += texts::MSG_RELEARN_HINT;
        if (state.refusedKeywords > 0) text += texts::MSG_WAIT_HINT;
        messages.showMessage(Owner::MainWindow, text, Icon::Warning);
    }
    state.failedKeywords = 0;
    state.unreadableKeywords = 0;
    state.refusedKeywords = 0;
}

}  // namespace vexor
