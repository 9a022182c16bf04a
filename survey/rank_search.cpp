// Walking the result pages of one keyword until the target shows up or the results end.
#include "survey/rank_search.h"

#include <string>

#include "engine/page_links.h"
#include "engine/query_address.h"
#include "engine/target_match.h"

namespace vexor {
namespace {

constexpr int LINKS_PER_PAGE = 10;
constexpr int LAST_PAGE = 10;
constexpr int32_t LAST_RANK = 100;

// Why a page without its links ended the search: an error status names itself; an empty page
// is either one the server sent empty or one the fetch could not bring.
SearchEnd endOfShortPage(const std::string& body, const FetchOutcome& fetched) {
    if (fetched.status >= 400) return SearchEnd::HttpError;
    if (!body.empty()) return SearchEnd::NoTenLinks;
    const bool sentEmpty =
        fetched.failure == FetchFailure::None || fetched.failure == FetchFailure::EmptyBody;
    return sentEmpty ? SearchEnd::EmptyPage : SearchEnd::FetchFailed;
}

}  // namespace

int32_t searchRank(SurveyContext& context, int row) {
    SurveyState& state = context.state;
    const EngineDefinition& engine = context.engine;
    const std::string& keyword = state.keywords[static_cast<std::size_t>(row)];
    const auto finish = [&](int32_t rank, SearchEnd how, int page, FetchOutcome fetched = {}) {
        recordRank(state.historyTables[0], keyword, rank);
        context.events.searchEnded(row, {how, page, fetched});
        return rank;
    };

    PageLinks previous;
    // Results on the pages before: ten a page, or as many as each page held when the engine's
    // rule takes every result.
    int32_t examined = 0;
    for (int page = 1; page <= LAST_PAGE; ++page) {
        if (examined >= LAST_RANK) return finish(0, SearchEnd::TenPages, page - 1);
        context.events.progress(row, examined);
        const std::string address = queryAddressOf(engine, keyword, page);
        if (state.abortRequested) return finish(0, SearchEnd::Aborted, page);
        std::string body;
        const FetchOutcome fetched = context.fetch(address, body, state.abortRequested);
        PageLinks current = readResultPage(body, engine, address);
        if (state.abortRequested) return finish(0, SearchEnd::Aborted, page, fetched);

        int32_t rank = examined + 1;
        for (const auto& link : current.links) {
            if (rank > LAST_RANK) break;
            if (linkHoldsTarget(link, state.target)) return finish(rank, SearchEnd::Found, page, fetched);
            ++rank;
        }
        // A page without links ends the results (an unreadable page too); with ten a page, so
        // does a page without its ten.
        const std::size_t needed = current.countsVary ? 1 : LINKS_PER_PAGE;
        if (current.links.size() < needed)
            return finish(0, endOfShortPage(body, fetched), page, fetched);
        // Engines answer pages past their last one with a copy of the last page.
        if (repeatsPreviousPage(current.links, previous.links))
            return finish(0, SearchEnd::RepeatedPage, page, fetched);
        examined += current.countsVary ? static_cast<int32_t>(current.links.size()) : LINKS_PER_PAGE;
        previous = std::move(current);
    }
    return finish(0, SearchEnd::TenPages, LAST_PAGE);
}

}  // namespace vexor
