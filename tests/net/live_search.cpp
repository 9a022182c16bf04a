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
    SurveyContext context{state, engine, events, std::move(fetch), localNow};
    const int32_t rank = searchRank(context, 0);
    const auto ended = events.of(testing::RecordedEvent::Ended);
    EXPECT_EQ(ended.size(), 1u);
    if (ended.empty()) return {rank, {}, -1};
    return {rank,
            {static_cast<SearchEnd>(ended[0].value), ended[0].page, ended[0].fetch},
            state.historyTables[0].at(keyword)};
}

}  // namespace vexor::test
