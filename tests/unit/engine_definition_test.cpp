#include "engine/engine_definition.h"

#include <gtest/gtest.h>

namespace vexor {
namespace {

TEST(EngineDefinition, ResetGivesTheDefaultsAndIsNotLearnt) {
    EngineDefinition d;
    d.version = 7;
    d.keyword = "k";
    d.pageStep = 3;
    d.keywordEncoding = KeywordEncoding::Utf8;
    d.learnedAt.year = 2006;
    d.linkRules.push_back({LinkSelection::FirstTen, 2, "abc"});
    resetDefinition(d);
    EXPECT_EQ(d.version, 100);
    EXPECT_TRUE(d.keyword.empty());
    EXPECT_EQ(d.pageStep, 0);
    EXPECT_EQ(d.keywordEncoding, KeywordEncoding::ShiftJis);
    EXPECT_EQ(d.learnedAt, SystemTime{});
    EXPECT_FALSE(isLearnt(d));
}

TEST(EngineDefinition, LearntOnlyWithRulesNotWithATime) {
    EngineDefinition d;
    d.learnedAt.year = 2006;
    EXPECT_FALSE(isLearnt(d));
    d.linkRules.push_back({LinkSelection::ExactlyTen, 1, "<a "});
    EXPECT_TRUE(isLearnt(d));
}

TEST(EngineDefinition, AssignmentReplacesTheRulesWithACopy) {
    EngineDefinition source;
    source.linkRules = {{LinkSelection::ExactlyTen, 1, "a"},
                        {LinkSelection::FirstTen, 2, "b"},
                        {LinkSelection::LastTen, 3, "c"}};
    EngineDefinition target;
    target.linkRules = {{LinkSelection::LastTen, 9, "x"}, {LinkSelection::LastTen, 9, "y"}};
    target = source;
    ASSERT_EQ(target.linkRules.size(), 3u);
    EXPECT_EQ(target.linkRules, source.linkRules);
    source.linkRules[0].prefix = "changed";
    EXPECT_EQ(target.linkRules[0].prefix, "a");
}

}  // namespace
}  // namespace vexor
