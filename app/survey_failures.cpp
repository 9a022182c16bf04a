// Texts and the end-of-run message for keywords whose first results page failed.
#include "app/survey_failures.h"

#include "app/text_format.h"
#include "app/texts.h"

namespace vexor {
namespace {

constexpr int CURRENT_RUN_COLUMN = 1;

const char* fetchFailureText(FetchFailure failure) {
    switch (failure) {
        case FetchFailure::BadAddress: return texts::TEXT_FAILED_ADDRESS;
        case FetchFailure::Network: return texts::TEXT_FAILED_NETWORK;
        case FetchFailure::Certificate: return texts::TEXT_FAILED_CERTIFICATE;
        case FetchFailure::SecureChannel: return texts::TEXT_FAILED_SECURE_CHANNEL;
        case FetchFailure::Redirect: return texts::TEXT_FAILED_REDIRECT;
        case FetchFailure::Timeout: return texts::TEXT_FAILED_TIMEOUT;
        default: return texts::TEXT_FAILED_EMPTY;
    }
}

}  // namespace

std::string failureText(const SearchEnding& ending) {
    switch (ending.how) {
        case SearchEnd::HttpError: return formatWithNumber(texts::FMT_FAILED_HTTP, ending.fetch.status);
        case SearchEnd::NoTenLinks: return texts::TEXT_FAILED_UNREADABLE;
        case SearchEnd::FetchFailed: return fetchFailureText(ending.fetch.failure);
        default: return texts::TEXT_FAILED_EMPTY;
    }
}

void showFirstPageFailure(AppState& state, ResultList& list, int row, const SearchEnding& ending) {
    list.setCell(row, CURRENT_RUN_COLUMN, failureText(ending));
    ++state.failedFirstPages;
}

void reportSurveyEnd(AppState& state, Messages& messages) {
    if (state.failedFirstPages > 0)
        messages.showMessage(Owner::MainWindow,
                             formatWithNumber(texts::FMT_FIRST_PAGES_FAILED, state.failedFirstPages),
                             Icon::Warning);
    state.failedFirstPages = 0;
}

}  // namespace vexor
