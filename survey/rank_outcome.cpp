// Which failures are the engine refusing to answer.
#include "survey/rank_outcome.h"

namespace vexor {

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
