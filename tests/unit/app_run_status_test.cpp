// The status bar's texts of a survey run and whether the list follows the keyword in progress.
#include "app/run_status.h"

#include <gtest/gtest.h>

#include "japanese.h"

namespace vexor::testing {
namespace {

using std::chrono::seconds;

const RunClock::time_point T0{};

TEST(RunStatus, TimeLeftFollowsThePaceSoFar) {
    struct Case {
        int total, done;
        seconds elapsed;
        std::optional<seconds> left;
    };
    const Case cases[] = {
        {340, 0, seconds(30), std::nullopt},  // no pace before the first keyword
        {340, 10, seconds(30), seconds(990)},
        {4, 3, seconds(10), seconds(4)},      // 3.33 s a keyword, rounded up
        {5, 5, seconds(50), seconds(0)},
        {2, 3, seconds(9), seconds(0)},       // more done than planned: nothing left, not less
    };
    for (const Case& c : cases) {
        RunProgress run = beginRun(c.total, T0);
        run.done = c.done;
        EXPECT_EQ(timeLeft(run, T0 + c.elapsed), c.left) << c.total << "/" << c.done;
    }
}

TEST(RunStatus, TimeLeftInWords) {
    const std::pair<long long, std::u8string> cases[] = {
        {0, u8"　残り約 0 秒"},        {59, u8"　残り約 59 秒"},
        {60, u8"　残り約 1 分"},       {61, u8"　残り約 2 分"},
        {3540, u8"　残り約 59 分"},    {3541, u8"　残り約 1 時間"},
        {3601, u8"　残り約 1 時間 1 分"}, {7500, u8"　残り約 2 時間 5 分"},
    };
    for (const auto& [left, text] : cases) EXPECT_EQ(timeLeftText(seconds(left)), cp932(text)) << left;
}

TEST(RunStatus, RunningAndEndLines) {
    RunProgress run = beginRun(340, T0);
    EXPECT_EQ(runningStatusText(run, 0, T0), cp932(u8"調査中: キーワード 1 / 340 語　残り時間を計算中"));
    for (int i = 0; i < 12; ++i) noteResult(run, i % 3 == 0 ? 0 : 5);
    EXPECT_EQ(run.done, 12);
    EXPECT_EQ(runningStatusText(run, 2, T0 + seconds(24)),
              cp932(u8"調査中: キーワード 13 / 340 語　残り約 11 分　失敗 2 語"));
    // The last keyword in progress is never counted beyond the total.
    RunProgress last = beginRun(3, T0);
    last.done = 3;
    EXPECT_EQ(runningStatusText(last, 0, T0 + seconds(3)), cp932(u8"調査中: キーワード 3 / 3 語　残り約 0 秒"));

    noteResult(run, -1);
    EXPECT_EQ(run.done, 12);  // the aborted keyword is not done
    struct Case {
        bool aborted, refused;
        int failures;
        RunEnd end;
        std::u8string text;
    };
    const Case cases[] = {
        {false, false, 0, RunEnd::Finished, u8"調査完了: 12 / 340 語"},
        {false, false, 2, RunEnd::Finished, u8"調査完了: 12 / 340 語　失敗 2 語"},
        {true, false, 0, RunEnd::Aborted, u8"調査中止: 12 / 340 語　(調査開始で続きから調べます)"},
        {false, true, 3, RunEnd::Refused,
         u8"検索エンジンが拒否したため中断: 12 / 340 語　失敗 3 語　(調査開始で続きから調べます)"},
        {true, true, 3, RunEnd::Refused,
         u8"検索エンジンが拒否したため中断: 12 / 340 語　失敗 3 語　(調査開始で続きから調べます)"},
    };
    for (const Case& c : cases) {
        run.aborted = c.aborted;
        const RunEnd end = runEndOf(run, c.refused);
        EXPECT_EQ(end, c.end);
        EXPECT_EQ(endStatusText(run, end, c.failures), cp932(c.text));
    }
}

TEST(RunStatus, TheListFollowsUntilTheUserScrollsAway) {
    struct Case {
        int followed, top, visible;
        bool follows;
    };
    const Case cases[] = {
        {-1, 40, 20, true},   // nothing followed yet
        {45, 40, 20, true},   {40, 40, 20, true}, {59, 40, 20, true},
        {60, 40, 20, false},  // just below the page
        {39, 40, 20, false},  // scrolled down past it
        {5, 0, 0, false},     // a list too short to show a row
    };
    for (const Case& c : cases)
        EXPECT_EQ(followsProgress(c.followed, c.top, c.visible), c.follows) << c.followed << " " << c.top;
}

}  // namespace
}  // namespace vexor::testing
