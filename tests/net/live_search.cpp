#include "live_search.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "recording_events.h"
#include "survey/rank_search.h"

namespace vexor::test {

LiveSearch searchLive(const EngineDefinition& engine, const std::string& keyword,
                      const std::string& target, PageFetcher fetch) {
    SurveyState state;
    state.keywords = {keyword};
    state.target = target;
    testing::RecordingEvents events;
    const BackOff shortBackOff{2, std::chrono::milliseconds(10), std::chrono::milliseconds(100)};
    SurveyContext context{state, engine, events, std::move(fetch), localNow, {false, shortBackOff}};
    const int32_t rank = searchRank(context, 0).entry.rank;
    const auto ended = events.of(testing::RecordedEvent::Ended);
    EXPECT_EQ(ended.size(), 1u);
    if (ended.empty()) return {rank, {}, -1};
    return {rank,
            {static_cast<SearchEnd>(ended[0].value), ended[0].page, ended[0].failure},
            state.historyTables[0].at(keyword)};
}

}  // namespace vexor::test
