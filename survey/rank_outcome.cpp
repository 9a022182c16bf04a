// Which failures are the engine refusing to answer.
#include "survey/rank_outcome.h"

namespace vexor {

std::optional<FailureCause> fetchFailureOf(const FetchOutcome& fetched, bool emptyBody) {
    switch (fetched.failure) {
        case FetchFailure::None:
        case FetchFailure::EmptyBody:
            if (isFailingStatus(fetched.status)) return FailureCause::HttpStatus;
            if (emptyBody || fetched.failure == FetchFailure::EmptyBody) return FailureCause::EmptyPage;
            return std::nullopt;
        case FetchFailure::BadAddress: return FailureCause::BadAddress;
        case FetchFailure::Network: return FailureCause::Network;
        case FetchFailure::Certificate: return FailureCause::Certificate;
        case FetchFailure::SecureChannel: return FailureCause::SecureChannel;
        case FetchFailure::Redirect: return FailureCause::Redirect;
        case FetchFailure::Timeout: return FailureCause::Timeout;
    }
    return FailureCause::Unknown;
}

bool isRefusal(const SearchFailure& failure) {
    switch (failure.cause) {
        case FailureCause::HttpStatus:
            return failure.status == 403 || failure.status == 429 || failure.status == 503;
        case FailureCause::RedirectAway:
        case FailureCause::Consent:
        case FailureCause::Captcha:
        case FailureCause::ScriptRequired:
        case FailureCause::NotResults:
            return true;
        default:
            return false;
    }
}

}  // namespace vexor
