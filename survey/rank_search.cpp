// Walking the result pages of one keyword until the target shows up or the results end.
#include "survey/rank_search.h"

#include <deque>
#include <string>

#include "engine/query_address.h"
#include "engine/result_parser.h"

namespace vexor {
namespace {

constexpr int LINKS_PER_PAGE = 10;
constexpr int LAST_PAGE = 10;

// Why a page without ten links ended the search: an error status names itself; an empty page
// is either one the server sent empty or one the fetch could not bring.
SearchEnd endOfShortPage(const std::string& body, const FetchOutcome& fetched) {
    if (fetched.status >= 400) return SearchEnd::HttpError;
    if (!body.empty()) return SearchEnd::NoTenLinks;
    const bool sentEmpty =
        fetched.failure == FetchFailure::None || fetched.failure == FetchFailure::EmptyBody;
    return sentEmpty ? SearchEnd::EmptyPage : SearchEnd::FetchFailed;
}

// Equal (link, link) pairs across the two pages; duplicates within a page count once each.
std::size_t equalPairs(const std::deque<std::string>& current, const std::deque<std::string>& previous) {
    std::size_t count = 0;
    for (const auto& link : current)
        for (const auto& earlier : previous)
            if (link == earlier) ++count;
    return count;
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

    std::deque<std::string> previous;
    std::deque<std::string> current;
    for (int page = 1; page <= LAST_PAGE; ++page) {
        const int examined = LINKS_PER_PAGE * (page - 1);
        current.clear();
        context.events.progress(row, examined);
        const std::string address = queryAddressOf(engine, keyword, page);
        if (state.abortRequested) return finish(0, SearchEnd::Aborted, page);
        std::string body;
        const FetchOutcome fetched = context.fetch(address, body, state.abortRequested);
        parseResultPage(body, engine, current);
        if (state.abortRequested) return finish(0, SearchEnd::Aborted, page, fetched);

        int32_t rank = examined + 1;
        for (const auto& link : current) {
            if (link.find(state.target) != std::string::npos)
                return finish(rank, SearchEnd::Found, page, fetched);
            ++rank;
        }
        // Fewer than ten links: the results have ended (an unreadable page ends them too).
        if (current.size() < LINKS_PER_PAGE)
            return finish(0, endOfShortPage(body, fetched), page, fetched);
        // Engines answer pages past their last one with a copy of the last page.
        if (equalPairs(current, previous) > current.size() / 2)
            return finish(0, SearchEnd::RepeatedPage, page, fetched);
        previous.swap(current);
    }
    return finish(0, SearchEnd::TenPages, LAST_PAGE);
}

}  // namespace vexor
