// Whole surveys against the fake engine through the real page fetcher: the ranks it implies in
// the history and the events, and an abort in the middle that the next start continues.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <future>
#include <sstream>

#include "fake_engine_control.h"
#include "fake_ui.h"
#include "plain_engine.h"
#include "platform/files.h"
#include "recording_events.h"
#include "app/survey_commands.h"
#include "survey/survey_control.h"
#include "test_workspace.h"

namespace vexor {
namespace {

using test::controlRequest;
using test::FakeEngineTest;
using test::loggedRequests;
using testing::FakeUi;
using testing::plainEngine;
using testing::readBytes;
using testing::RecordedEvent;
using testing::RecordingEvents;
using testing::TestWorkspace;
using testing::writeBytes;
namespace fs = std::filesystem;

// The fake engine's default target.
constexpr char TARGET[] = "www.target-site.example";

// Recording events that also announce the first progress report of one row.
class WatchingEvents : public RecordingEvents {
public:
    explicit WatchingEvents(int row) : row_(row) {}
    void progress(int row, int examined) override {
        RecordingEvents::progress(row, examined);
        if (row == row_ && !fired_.exchange(true)) reached.set_value();
    }
    std::promise<void> reached;

private:
    const int row_;
    std::atomic<bool> fired_{false};
};

// Where the engine's own result list puts the target for keyword, 0 when absent.
int impliedRank(const std::string& keyword) {
    std::istringstream lines(controlRequest("/results?keyword=" + keyword));
    std::string line;
    while (std::getline(lines, line)) {
        const auto tab = line.find('\t');
        if (tab != std::string::npos && line.find(TARGET, tab) != std::string::npos)
            return std::stoi(line.substr(0, tab));
    }
    return 0;
}

int requestsFor(const std::string& keyword) {
    int count = 0;
    for (const auto& request : loggedRequests("plain.engine.test"))
        if (request.path.find("q=" + keyword + "&") != std::string::npos) ++count;
    return count;
}

SystemTime pinnedTime() {
    SystemTime t;
    t.year = 2006;
    t.month = 2;
    t.day = 1;
    t.hour = 14;
    t.minute = 29;
    t.second = 44;
    return t;
}

class SurveyNet : public FakeEngineTest {
protected:
    bool start(SurveyEvents& events) {
        const std::string enginePath = "engine\\plain.eng";
        const SurveyStart run{engine, enginePath, events, fetchPage, pinnedTime};
        return startSurvey(state, files.workspace(), run, ui, ui);
    }
    std::string historyFile(int generation) const {
        return readBytes(files.native(TARGET) / (std::to_string(generation) + ".txt"));
    }
    void writeSurvey(const std::string& bytes) {
        writeBytes(files.native("survey.txt"), bytes);
        state.surveyPath = "survey.txt";
    }
    static std::vector<std::pair<int, int>> results(const RecordingEvents& events) {
        std::vector<std::pair<int, int>> pairs;
        for (const auto& e : events.of(RecordedEvent::Result)) pairs.emplace_back(e.row, e.value);
        return pairs;
    }
    // A record as the worker writes it: a rank with the address of the site's result.
    static std::string record(const std::string& keyword, int rank) {
        const std::string address = rank > 0 ? " http://" + std::string(TARGET) + "/" : "";
        return "2006/02/01:14:29:44\t" + keyword + "\t" + std::to_string(rank) + address + "\r\n";
    }
    void place(const std::string& keyword, int rank) {
        ASSERT_EQ(controlRequest("/place?keyword=" + keyword + "&rank=" + std::to_string(rank)),
                  "ok\n");
    }

    TestWorkspace files;
    SurveyState state;
    EngineDefinition engine = plainEngine();
    FakeUi ui;
};

TEST_F(SurveyNet, FullSurveyRecordsTheRanksTheEngineImplies) {
    place("alpha", 3);
    place("beta", 0);
    const int abc = impliedRank("abc");  // the default placement
    ASSERT_GT(abc, 10) << "the keyword should need several pages";
    writeSurvey(std::string(TARGET) + "\r\nabc\r\nalpha\r\nbeta\r\nabc\r\n");

    RecordingEvents events;
    ASSERT_TRUE(start(events));
    waitForSurvey(state);

    EXPECT_EQ(historyFile(0),
              "2006/02/01 (plain)\r\n" + record("abc", abc) + record("alpha", 3) + record("beta", 0));
    EXPECT_EQ(results(events), (std::vector<std::pair<int, int>>{{0, abc}, {1, 3}, {2, 0}, {3, abc}}));
    for (const auto& e : events.events()) {
        if (e.row != 3) continue;
        EXPECT_EQ(e.kind, RecordedEvent::Result) << "the repeated keyword shows its result unsearched";
    }
    EXPECT_EQ(requestsFor("abc"), (abc + 9) / 10);
    EXPECT_EQ(requestsFor("alpha"), 1);
    EXPECT_EQ(requestsFor("beta"), 10);
}

TEST_F(SurveyNet, AbortDuringTheThirdKeywordThenContinue) {
    const std::vector<std::pair<std::string, int>> ranks{
        {"k1", 2}, {"k2", 15}, {"k3", 4}, {"k4", 0}, {"k5", 7}};
    for (const auto& [keyword, rank] : ranks) place(keyword, rank);
    ASSERT_EQ(controlRequest("/fault?mode=stall&keyword=k3"), "ok\n");
    writeSurvey(std::string(TARGET) + "\nk1\nk2\nk3\nk4\nk5\n");

    WatchingEvents first(2);
    ASSERT_TRUE(start(first));
    // k3 is being searched and its page never comes.
    ASSERT_EQ(first.reached.get_future().wait_for(std::chrono::seconds(60)),
              std::future_status::ready);
    abortSurvey(state);

    EXPECT_FALSE(state.surveyRunning);
    EXPECT_EQ(results(first), (std::vector<std::pair<int, int>>{{0, 2}, {1, 15}, {2, -1}}));
    for (const auto& e : first.events()) EXPECT_LT(e.row, 3);
    const std::string partial = "2006/02/01 (plain)\r\n" + record("k1", 2) + record("k2", 15);
    EXPECT_EQ(historyFile(0), partial);

    // Clear the stall (and the log) and put the ranks back.
    ASSERT_EQ(controlRequest("/reset"), "ok\n");
    for (const auto& [keyword, rank] : ranks) place(keyword, rank);

    RecordingEvents second;
    ASSERT_TRUE(start(second));
    waitForSurvey(state);
    EXPECT_FALSE(fs::exists(files.native(TARGET) / "1.txt")) << "the generation was continued";
    EXPECT_EQ(historyFile(0), partial + record("k3", 4) + record("k4", 0) + record("k5", 7));
    EXPECT_EQ(results(second), (std::vector<std::pair<int, int>>{{2, 4}, {3, 0}, {4, 7}}));
    EXPECT_EQ(requestsFor("k1"), 0);
    EXPECT_EQ(requestsFor("k2"), 0);
    EXPECT_EQ(requestsFor("k3"), 1);
}

}  // namespace
}  // namespace vexor
