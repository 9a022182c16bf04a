// Walking the result pages of one keyword until the target shows up, the results end or a page
// cannot be read.
#include "survey/rank_search.h"

#include <algorithm>
#include <optional>
#include <string>

#include "engine/page_kind.h"
#include "engine/page_links.h"
#include "engine/query_address.h"
#include "engine/target_match.h"
#include "platform/abortable_wait.h"
#include "platform/bytes.h"

namespace vexor {
namespace {

constexpr int LINKS_PER_PAGE = 10;
constexpr int LAST_PAGE = 10;
constexpr int32_t LAST_RANK = 100;

bool asksToWait(int status) { return status == 429 || status == 503; }

// Fetches the page, waiting out 429 and 503 answers as backOff says.
FetchOutcome fetchWithBackOff(SurveyContext& context, const std::string& address, std::string& body) {
    const std::atomic<bool>& abort = context.state.abortRequested;
    for (int attempt = 0;; ++attempt) {
        FetchOutcome fetched = context.fetch(address, body, abort);
        if (!asksToWait(fetched.status) || attempt >= context.options.backOff.retries || abort) return fetched;
        const auto pause = fetched.retryAfterSeconds >= 0
                               ? std::min<std::chrono::milliseconds>(
                                     std::chrono::seconds(fetched.retryAfterSeconds), context.options.backOff.longest)
                               : context.options.backOff.pause;
        if (!waitFor(pause, abort)) return fetched;
    }
}

// Host and path of an address, the host in lower case: what stays the same for every results
// page of an engine, whatever the keyword, the page and the scheme.
std::string hostAndPath(std::string_view address) {
    const std::size_t scheme = address.find("://");
    if (scheme != std::string_view::npos) address.remove_prefix(scheme + 3);
    address = address.substr(0, address.find_first_of("?#"));
    const std::size_t slash = address.find('/');
    const std::string_view host = address.substr(0, slash);
    const std::string_view path = slash == std::string_view::npos ? "/" : address.substr(slash);
    return lowerAscii(host.substr(0, host.find(':'))) + std::string(path);
}

bool redirectedAway(const FetchOutcome& fetched, const std::string& address) {
    return !fetched.finalAddress.empty() && hostAndPath(fetched.finalAddress) != hostAndPath(address);
}

// Why a page without its links is not the end of the results, nothing when it is.
std::optional<FailureCause> shortPageFailure(const std::string& body, const EngineDefinition& engine,
                                             const FetchOutcome& fetched, const std::string& address,
                                             int page) {
    switch (pageKindOf(body, engine)) {
        case PageKind::Consent: return FailureCause::Consent;
        case PageKind::Captcha: return FailureCause::Captcha;
        case PageKind::ScriptRequired: return FailureCause::ScriptRequired;
        case PageKind::NotResults:
            return redirectedAway(fetched, address) ? FailureCause::RedirectAway : FailureCause::NotResults;
        case PageKind::Results: break;
    }
    if (redirectedAway(fetched, address)) return FailureCause::RedirectAway;
    // The first page of any keyword shows results; one without them cannot be read.
    if (page == 1) return FailureCause::NoLinks;
    return std::nullopt;
}

}  // namespace

RankOutcome searchRank(SurveyContext& context, int row) {
    SurveyState& state = context.state;
    const EngineDefinition& engine = context.engine;
    const std::string& keyword = state.keywords[static_cast<std::size_t>(row)];
    const auto finish = [&](RankOutcome outcome, SearchEnding ending) {
        recordEntry(state.historyTables[0], keyword, outcome.entry);
        context.events.searchEnded(row, ending);
        return outcome;
    };
    const auto notRanked = [&](SearchEnd how, int page) { return finish({}, {how, page, {}}); };
    const auto fail = [&](int page, FailureCause cause, int status) {
        const bool proxyFailed = cause == FailureCause::Network || cause == FailureCause::Timeout;
        const SearchFailure failure{page, cause, status, proxyFailed ? context.proxy : std::string()};
        return finish({{0, failure}, {}}, {SearchEnd::Failed, page, failure});
    };

    PageLinks previous;
    // Results on the pages before: ten a page, or as many as each page held when the engine's
    // rule takes every result.
    int32_t examined = 0;
    for (int page = 1; page <= LAST_PAGE; ++page) {
        if (examined >= LAST_RANK) return notRanked(SearchEnd::TenPages, page - 1);
        context.events.progress(row, examined);
        const std::string address = queryAddressOf(engine, keyword, page);
        if (state.abortRequested) return notRanked(SearchEnd::Aborted, page);
        std::string body;
        const FetchOutcome fetched = fetchWithBackOff(context, address, body);
        if (state.abortRequested) return notRanked(SearchEnd::Aborted, page);
        if (const auto cause = fetchFailureOf(fetched, body.empty())) return fail(page, *cause, fetched.status);
        PageLinks current = readResultPage(body, engine, address);
        if (state.abortRequested) return notRanked(SearchEnd::Aborted, page);

        int32_t rank = examined + 1;
        for (const auto& link : current.links) {
            if (rank > LAST_RANK) break;
            if (linkHoldsTarget(link, state.target)) {
                return finish({{rank, std::nullopt}, resultAddress(link, address)}, {SearchEnd::Found, page, {}});
            }
            ++rank;
        }
        const std::size_t needed = current.countsVary ? 1 : LINKS_PER_PAGE;
        if (current.links.size() < needed) {
            if (const auto cause = shortPageFailure(body, engine, fetched, address, page))
                return fail(page, *cause, fetched.status);
            return notRanked(SearchEnd::ShortPage, page);
        }
        // Engines answer pages past their last one with a copy of the last page.
        if (repeatsPreviousPage(current.links, previous.links)) return notRanked(SearchEnd::RepeatedPage, page);
        examined += current.countsVary ? static_cast<int32_t>(current.links.size()) : LINKS_PER_PAGE;
        previous = std::move(current);
    }
    return notRanked(SearchEnd::TenPages, LAST_PAGE);
}

}  // namespace vexor
