// Wording a failed fetch.
#include "app/fetch_failure_text.h"

#include "app/text_format.h"
#include "app/texts.h"
#include "engine/learn_links.h"

namespace vexor {

std::string fetchFailureText(const FetchOutcome& fetched) {
    const bool answered = fetched.failure == FetchFailure::None || fetched.failure == FetchFailure::EmptyBody;
    if (answered && isFailingStatus(fetched.status)) return formatWithNumber(texts::FMT_FAILED_HTTP, fetched.status);
    switch (fetched.failure) {
        case FetchFailure::EmptyBody: return texts::TEXT_FAILED_EMPTY;
        case FetchFailure::BadAddress: return texts::TEXT_FAILED_ADDRESS;
        case FetchFailure::Network: return texts::TEXT_FAILED_NETWORK;
        case FetchFailure::Certificate: return texts::TEXT_FAILED_CERTIFICATE;
        case FetchFailure::SecureChannel: return texts::TEXT_FAILED_SECURE_CHANNEL;
        case FetchFailure::Redirect: return texts::TEXT_FAILED_REDIRECT;
        default: return texts::TEXT_FAILED_OTHER;
    }
}

}  // namespace vexor
