// Starting, running and aborting surveys against a scripted engine: the records written, the
// events reported, continuing an interrupted generation and rotating a finished one.
#include "survey/survey_control.h"

#include <gtest/gtest.h>

#include "app/survey_commands.h"
#include "app/text_format.h"
#include "survey/history.h"
#include "survey/site_history.h"

#include <atomic>
#include <filesystem>
#include <future>
#include <map>
#include <mutex>
#include <regex>
#include <thread>

#include "app/texts.h"
#include "deadline.h"
#include "fake_ui.h"
#include "platform/files.h"
#include "recording_events.h"
#include "test_workspace.h"
#include "survey/survey_file.h"
#include "survey/survey_worker.h"

namespace vexor {
namespace {

TEST(RunKeywords, ARunCountsEveryRowItFills) {
    SurveyState state;
    state.keywords = {"a", "b", "a", "c", "d", "c"};
    state.historyTables[0] = {{"b", RankEntry{5}}, {"c", RankEntry{0, SearchFailure{2, FailureCause::Timeout, 0}}}};
    EXPECT_EQ(rowsThisRun(state, false), 3);  // both rows of a, and d
    EXPECT_EQ(rowsThisRun(state, true), 2);   // both rows of c, the one failure
    state.historyTables[0].clear();
    EXPECT_EQ(rowsThisRun(state, false), 6);
    EXPECT_EQ(rowsThisRun(state, true), 0);
}

using testing::FakeUi;
using testing::readBytes;
using testing::RecordedEvent;
using testing::RecordingEvents;
using testing::TestWorkspace;
using testing::writeBytes;
namespace fs = std::filesystem;

constexpr char TARGET[] = "www.target.example";
constexpr int REFUSED = -1;

EngineDefinition learntEngine() {
    EngineDefinition engine;
    engine.queryTemplate = "http://engine.test/search?q=%s&start=%d";
    engine.pageStep = 10;
    engine.pageOffset = 0;
    engine.linkRules.push_back({LinkSelection::ExactlyTen, 1, "<a href=\""});
    return engine;
}

// An engine that places the target at a fixed rank per keyword (0: ten other results, then a
// short second page, so not ranked after two requests; REFUSED: an HTTP 403 page). Every request advances the pinned clock by one minute, so a record's
// time tells after how many requests it was taken. A keyword in stallOn makes its request wait
// until the abort flag is raised, after announcing that it has been reached.
class ScriptedEngine {
public:
    std::map<std::string, int> ranks;
    std::string stallOn;
    std::promise<void> stalled;
    std::function<void(int request)> onRequest;  // called with each request's number, from 1
    uint16_t day = 1;                             // of February 2006, the pinned clock's date

    PageFetcher fetcher() {
        return [this](const std::string& address, std::string& body,
                      const std::atomic<bool>& abortFlag) {
            int status = 200;
            fetch(address, body, abortFlag, status);
            return FetchOutcome{FetchFailure::None, status};
        };
    }
    Clock clock() {
        return [this] {
            SystemTime t;
            t.year = 2006;
            t.month = 2;
            t.day = day;
            const int minutes = minutes_.load();
            t.hour = static_cast<uint16_t>(10 + minutes / 60);
            t.minute = static_cast<uint16_t>(minutes % 60);
            return t;
        };
    }
    std::vector<std::string> requestedKeywords() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return requested_;
    }

private:
    void fetch(const std::string& address, std::string& body, const std::atomic<bool>& abortFlag,
               int& status) {
        static const std::regex query(R"(^http://engine\.test/search\?q=(.*)&start=(\d+)$)");
        std::smatch match;
        ASSERT_TRUE(std::regex_match(address, match, query)) << address;
        const std::string keyword = match[1];
        const int start = std::stoi(match[2]);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requested_.push_back(keyword);
        }
        const int request = ++minutes_;
        if (onRequest) onRequest(request);
        if (!stallOn.empty() && keyword == stallOn) {
            stalled.set_value();
            testing::stallUntilAborted(abortFlag);
            return;  // an aborted fetch yields an empty page
        }
        const int rank = ranks.at(keyword);
        if (rank == REFUSED) {
            body = "<h1>Forbidden</h1>";
            status = 403;
            return;
        }
        const int links = rank == 0 && start > 0 ? 3 : 10;
        body = "<html><body>";
        for (int i = 1; i <= links; ++i) {
            const int place = start + i;
            body += "<a href=\"http://";
            body += place == rank ? std::string(TARGET) + "/top" : "other" + std::to_string(place) + ".example/";
            body += "\">result</a>\n";
        }
        body += "</body></html>";
    }

    mutable std::mutex mutex_;
    std::vector<std::string> requested_;
    std::atomic<int> minutes_{0};
};

class SurveyRun : public ::testing::Test {
protected:
    void openSurvey(const std::string& bytes) {
        writeBytes(files.native("survey.txt"), bytes);
        state.surveyPath = "survey.txt";
    }
    bool start(ScriptedEngine& scripted, const std::string& enginePath = "engine\\nuq.eng",
               bool failedOnly = false) {
        const SurveyStart run{engine, enginePath, events, scripted.fetcher(), scripted.clock(), failedOnly};
        return startSurvey(state, files.workspace(), run, ui, ui);
    }
    fs::path site() const { return files.native(TARGET); }
    std::string historyFile(int generation) const {
        return readBytes(site() / (std::to_string(generation) + ".txt"));
    }
    bool historyExists(int generation) const {
        return fs::exists(site() / (std::to_string(generation) + ".txt"));
    }
    std::vector<std::pair<int, int>> results() const {
        std::vector<std::pair<int, int>> pairs;
        for (const auto& e : events.of(RecordedEvent::Result)) pairs.emplace_back(e.row, e.value);
        return pairs;
    }
    bool anyEventFor(int row) const {
        for (const auto& e : events.events())
            if (e.row == row) return true;
        return false;
    }
    std::vector<std::string> column(int c) const {
        std::vector<std::string> cells;
        for (const auto& row : ui.rows) cells.push_back(row[c]);
        return cells;
    }

    TestWorkspace files;
    SurveyState state;
    EngineDefinition engine = learntEngine();
    FakeUi ui;
    RecordingEvents events;
};

TEST_F(SurveyRun, FullSurveyWritesHeaderThenOneRecordPerDistinctKeywordAndShowsItInEveryRow) {
    openSurvey(std::string(TARGET) + "\nalpha\nbeta\nalpha\ngamma\n");
    ScriptedEngine scripted;
    scripted.ranks = {{"alpha", 3}, {"beta", 21}, {"gamma", 0}};
    abortSurvey(state);  // with no worker it only raises the flag, which the start clears

    ASSERT_TRUE(start(scripted));
    waitForSurvey(state);

    EXPECT_FALSE(state.surveyRunning);
    EXPECT_EQ(historyFile(0),
              "2006/02/01 (nuq)\r\n"
              "2006/02/01:10:01:00\talpha\t3 http://www.target.example/top\r\n"    // one request
              "2006/02/01:10:04:00\tbeta\t21 http://www.target.example/top\r\n"    // three more
              "2006/02/01:10:06:00\tgamma\t0\r\n");  // ten others, then a short page
    EXPECT_EQ(results(), (std::vector<std::pair<int, int>>{{0, 3}, {1, 21}, {2, 3}, {3, 0}}))
        << "the repeated keyword's row gets the result of its first row, without a search";
    EXPECT_EQ(events.of(RecordedEvent::SurveyEnded).size(), 1u);
    EXPECT_EQ(events.events().back().kind, RecordedEvent::SurveyEnded) << "the worker's last event";
    EXPECT_EQ(scripted.requestedKeywords(),
              (std::vector<std::string>{"alpha", "beta", "beta", "beta", "gamma", "gamma"}));
    EXPECT_EQ(state.historyTables[0], (HistoryTable{{"alpha", 3}, {"beta", 21}, {"gamma", 0}}));
    EXPECT_EQ(ui.captions[1], "2006/02/01 (nuq)");
    EXPECT_FALSE(historyExists(1));
}

TEST_F(SurveyRun, AKeywordWithATabIsNeitherSurveyedNorRecordedAndTheNextRunRotates) {
    openSurvey(std::string(TARGET) + "\nk1\nk2\tpasted\nk2\n");
    const std::map<std::string, int> ranks{{"k1", 4}, {"k2", 0}, {"k2%09pasted", 1}, {"k3%09pasted", 1}};
    ScriptedEngine first;
    first.ranks = ranks;
    ASSERT_TRUE(start(first));
    waitForSurvey(state);
    EXPECT_EQ(ui.messages.size(), 1u) << "the line is named";
    ScriptedEngine second;
    second.ranks = ranks;
    second.day = 2;
    ASSERT_TRUE(start(second));
    waitForSurvey(state);
    EXPECT_EQ(ui.messages.size(), 1u) << "and only once";
    EXPECT_TRUE(historyExists(1)) << "the first run was finished";
    EXPECT_EQ(second.requestedKeywords(), (std::vector<std::string>{"k1", "k2", "k2"}));

    // The worker's own defence, for a keyword that reached the survey some other way.
    state.keywords.push_back("k3\tpasted");
    ScriptedEngine third;
    third.ranks = ranks;
    ASSERT_TRUE(startWorker(state, engine, events, third.fetcher(), third.clock(), {}));
    waitForSurvey(state);
    EXPECT_TRUE(third.requestedKeywords().empty());
    EXPECT_EQ(historyFile(0).find("pasted"), std::string::npos);
    EXPECT_FALSE(canResumeGeneration(state, "nuq"));
}

TEST_F(SurveyRun, FailedKeywordsAreKeptAsFailuresAndARetrySurveysOnlyThem) {
    openSurvey(std::string(TARGET) + "\nk1\nk2\nk3\nk4\n");
    ScriptedEngine first;
    first.ranks = {{"k1", 4}, {"k2", REFUSED}, {"k3", 0}, {"k4", REFUSED}};
    ASSERT_TRUE(start(first));
    waitForSurvey(state);
    EXPECT_EQ(historyFile(0),
              "2006/02/01 (nuq)\r\n"
              "2006/02/01:10:01:00\tk1\t4 http://www.target.example/top\r\n"
              "2006/02/01:10:02:00\tk2\t0 failed 1 http-403\r\n"
              "2006/02/01:10:04:00\tk3\t0\r\n"
              "2006/02/01:10:05:00\tk4\t0 failed 1 http-403\r\n");
    EXPECT_TRUE(state.historyTables[0].at("k2").failed());
    EXPECT_FALSE(state.engineRefused);

    // A retry after the engine answers again: k2 and k4 only, in the same generation; a normal
    // start would rotate (every keyword has a record).
    ScriptedEngine second;
    second.day = 2;
    second.ranks = {{"k2", 7}, {"k4", 0}};
    events.clear();
    ASSERT_TRUE(start(second, "engine\\nuq.eng", true));
    waitForSurvey(state);
    EXPECT_EQ(second.requestedKeywords(), (std::vector<std::string>{"k2", "k4", "k4"}));
    EXPECT_FALSE(historyExists(1));
    EXPECT_EQ(results(), (std::vector<std::pair<int, int>>{{1, 7}, {3, 0}}));
    loadHistory(state, state.historyDirectory);
    EXPECT_EQ(state.historyTables[0], (HistoryTable{{"k1", 4}, {"k2", 7}, {"k3", 0}, {"k4", 0}}));
    EXPECT_EQ(readSiteHistory(state.historyDirectory).runs.back().records[1].address,
              "http://www.target.example/top");

    // Nothing failed any more: the retry says so and searches nothing.
    ScriptedEngine third;
    ui.messages.clear();
    EXPECT_FALSE(start(third, "engine\\nuq.eng", true));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, texts::MSG_NOTHING_FAILED);
    EXPECT_TRUE(third.requestedKeywords().empty());
}

TEST_F(SurveyRun, AnEngineThatRefusesThreeKeywordsInARowStopsTheRunForTheNextStart) {
    openSurvey(std::string(TARGET) + "\nk1\nk2\nk3\nk4\nk5\nk6\n");
    ScriptedEngine blocked;
    blocked.ranks = {{"k1", REFUSED}, {"k2", 0}, {"k3", REFUSED}, {"k4", REFUSED}, {"k5", REFUSED},
                     {"k6", 2}};
    ASSERT_TRUE(start(blocked));
    waitForSurvey(state);
    EXPECT_TRUE(state.engineRefused);
    EXPECT_EQ(blocked.requestedKeywords(),
              (std::vector<std::string>{"k1", "k2", "k2", "k3", "k4", "k5"}));
    EXPECT_EQ(events.of(RecordedEvent::Refusing).size(), 1u);
    EXPECT_EQ(state.historyTables[0].count("k6"), 0u);

    // The next start continues the generation with the keyword not reached.
    ScriptedEngine again;
    again.ranks = {{"k6", 2}};
    ASSERT_TRUE(start(again));
    waitForSurvey(state);
    EXPECT_FALSE(state.engineRefused);
    EXPECT_EQ(again.requestedKeywords(), (std::vector<std::string>{"k6"}));
    EXPECT_FALSE(historyExists(1));
}

TEST_F(SurveyRun, AbortContinueFinishRotate) {
    openSurvey(std::string(TARGET) + "\r\nk1\r\nk2\r\nk3\r\nk4\r\nk5\r\n");
    const std::map<std::string, int> ranks{{"k1", 1}, {"k2", 12}, {"k3", 3}, {"k4", 0}, {"k5", 5}};

    // First run: the search of k3 hangs until the abort.
    ScriptedEngine first;
    first.ranks = ranks;
    first.stallOn = "k3";
    auto reached = first.stalled.get_future();
    ASSERT_TRUE(start(first));
    ASSERT_EQ(reached.wait_for(std::chrono::seconds(30)), std::future_status::ready);
    EXPECT_TRUE(state.surveyRunning);
    EXPECT_FALSE(start(first)) << "a second start while the worker runs";
    abortSurvey(state);

    EXPECT_FALSE(state.surveyRunning);
    EXPECT_TRUE(state.abortRequested);
    EXPECT_EQ(results(), (std::vector<std::pair<int, int>>{{0, 1}, {1, 12}, {2, -1}}));
    EXPECT_EQ(events.events().back().kind, RecordedEvent::SurveyEnded) << "an abort ends the run too";
    EXPECT_FALSE(anyEventFor(3));
    EXPECT_FALSE(anyEventFor(4));
    const std::string afterAbort =
        "2006/02/01 (nuq)\r\n"
        "2006/02/01:10:01:00\tk1\t1 http://www.target.example/top\r\n"
        "2006/02/01:10:03:00\tk2\t12 http://www.target.example/top\r\n";
    EXPECT_EQ(historyFile(0), afterAbort);

    // Second run, same engine: the generation continues where it stopped.
    ScriptedEngine second;
    second.ranks = ranks;
    ASSERT_TRUE(start(second));
    EXPECT_EQ(column(1), (std::vector<std::string>{"1", "12", "", "", ""}))
        << "the done keywords keep their ranks in column 1";
    EXPECT_EQ(ui.captions[1], "2006/02/01 (nuq)");
    waitForSurvey(state);
    EXPECT_FALSE(historyExists(1)) << "no rotation";
    EXPECT_EQ(second.requestedKeywords(), (std::vector<std::string>{"k3", "k4", "k4", "k5"}));
    const std::string finished = afterAbort +
                                 "2006/02/01:10:01:00\tk3\t3 http://www.target.example/top\r\n"
                                 "2006/02/01:10:03:00\tk4\t0\r\n"
                                 "2006/02/01:10:04:00\tk5\t5 http://www.target.example/top\r\n";
    EXPECT_EQ(historyFile(0), finished);

    // Third run, same engine: the finished generation moves to 1.txt.
    ScriptedEngine third;
    third.ranks = ranks;
    ASSERT_TRUE(start(third));
    EXPECT_EQ(column(1), (std::vector<std::string>(5, "")));
    EXPECT_EQ(column(2), (std::vector<std::string>{"1", "12", "3", "-", "5"}));
    EXPECT_EQ(ui.captions[1], "2006/02/01 (nuq)");
    EXPECT_EQ(ui.captions[2], "2006/02/01 (nuq)");
    waitForSurvey(state);
    EXPECT_EQ(historyFile(1), finished);
    EXPECT_EQ(third.requestedKeywords(),
              (std::vector<std::string>{"k1", "k2", "k2", "k3", "k4", "k4", "k5"}));
    EXPECT_EQ(historyFile(0).substr(0, 18), "2006/02/01 (nuq)\r\n");
}

class PreparedHistory : public SurveyRun {
protected:
    void SetUp() override {
        openSurvey(std::string(TARGET) + "\nk1\nk2\n");
        fs::create_directory(site());
        scripted.ranks = {{"k1", 4}, {"k2", 0}};
    }
    void writeCurrent(const std::string& bytes) {
        writeBytes(site() / "0.txt", bytes);
    }
    ScriptedEngine scripted;
};

TEST_F(PreparedHistory, AnotherEngineRotates) {
    const std::string unfinished = "2006/01/31 (nuq)\r\n2006/01/31:09:00:00\tk1\t2 http://www.target.example/top\r\n";
    writeCurrent(unfinished);
    ASSERT_TRUE(start(scripted, "C:\\engines\\other.eng"));
    waitForSurvey(state);
    EXPECT_EQ(historyFile(1), unfinished);
    EXPECT_EQ(historyFile(0),
              "2006/02/01 (other)\r\n"
              "2006/02/01:10:01:00\tk1\t4 http://www.target.example/top\r\n"
              "2006/02/01:10:03:00\tk2\t0\r\n");
}

TEST_F(PreparedHistory, EngineNameWithClosingParenthesisAlwaysRotates) {
    writeCurrent("2006/01/31 (a)b)\r\n");
    ASSERT_TRUE(start(scripted, "engine\\a)b.eng"));
    waitForSurvey(state);
    EXPECT_EQ(historyFile(1), "2006/01/31 (a)b)\r\n");
    EXPECT_EQ(historyFile(0).substr(0, 18), "2006/02/01 (a)b)\r\n");
}

TEST_F(PreparedHistory, UnlearntEngineTouchesNothing) {
    engine.linkRules.clear();
    ASSERT_FALSE(start(scripted));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, texts::MSG_NOT_LEARNT);
    EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
    EXPECT_EQ(ui.messages[0].owner, Owner::MainWindow);
    EXPECT_FALSE(state.surveyRunning);
    EXPECT_TRUE(state.keywords.empty()) << "the survey file was not read";
    EXPECT_TRUE(ui.rows.empty());
    EXPECT_TRUE(fs::is_empty(site()));
    EXPECT_FALSE(fs::exists(files.native("vexor.ini")));
    EXPECT_TRUE(scripted.requestedKeywords().empty());
}

TEST_F(PreparedHistory, StartAfterAFailedOpenFailsAgain) {
    ASSERT_TRUE(openSurveyFile(state, files.workspace(), "survey.txt", ui, ui));
    const auto rows = ui.rows;
    EXPECT_FALSE(openSurveyFile(state, files.workspace(), "missing.txt", ui, ui));
    ui.messages.clear();

    EXPECT_FALSE(start(scripted));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, std::string("\"missing.txt\"") + texts::MSG_SURVEY_READ_FAILED_TAIL +
                                       "\n" + texts::MSG_SURVEY_MISSING);
    EXPECT_FALSE(state.surveyRunning);
    EXPECT_EQ(ui.rows, rows) << "the previous survey is still shown";
    EXPECT_EQ(state.target, TARGET);
    EXPECT_TRUE(fs::is_empty(site())) << "no header written";
    EXPECT_TRUE(scripted.requestedKeywords().empty());

    fs::remove(files.native("survey.txt"));
    state.surveyPath = "survey.txt";
    ui.messages.clear();
    EXPECT_FALSE(start(scripted)) << "a deleted survey file";
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(fs::is_empty(site()));
}

TEST_F(SurveyRun, AHistoryThatCannotBeWrittenIsSaidOnceAndTheSurveyRunsToItsEnd) {
    writeBytes(site(), "a file where the history folder should be");
    openSurvey(std::string(TARGET) + "\nk1\nk2\n");
    ScriptedEngine scripted;
    scripted.ranks = {{"k1", 7}, {"k2", 0}};
    ASSERT_TRUE(start(scripted));
    waitForSurvey(state);
    EXPECT_FALSE(state.surveyRunning);
    EXPECT_EQ(results(), (std::vector<std::pair<int, int>>{{0, 7}, {1, 0}}));
    EXPECT_TRUE(fs::is_regular_file(site()));
    EXPECT_TRUE(state.historyWriteFailed);
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{historyNotStored(state.historyDirectory).text});
    EXPECT_TRUE(events.of(RecordedEvent::Stored).empty()) << "said at the start, not again";
}

TEST_F(SurveyRun, ARecordThatCannotBeAppendedIsReportedOnceARun) {
    openSurvey(std::string(TARGET) + "\nk1\nk2\nk3\n");
    ScriptedEngine scripted;
    scripted.ranks = {{"k1", 7}, {"k2", 0}, {"k3", 1}};
    // Once the run is under way its 0.txt turns into a folder: no record can be appended.
    scripted.onRequest = [this](int request) {
        if (request != 1) return;
        fs::remove(site() / "0.txt");
        fs::create_directory(site() / "0.txt");
    };
    ASSERT_TRUE(start(scripted));
    waitForSurvey(state);
    EXPECT_EQ(results(), (std::vector<std::pair<int, int>>{{0, 7}, {1, 0}, {2, 1}}));
    EXPECT_TRUE(state.historyWriteFailed);
    EXPECT_EQ(events.of(RecordedEvent::Stored).size(), 1u);
    EXPECT_TRUE(ui.messages.empty()) << "the worker reports; the window says it";
}

TEST_F(PreparedHistory, ASecondRunOfTheSameSurveyIsRefused) {
    writeCurrent("2006/01/31 (nuq)\r\n2006/01/31:09:00:00\tk1\t2\r\n2006/01/31:09:00:00\tk2\t2 http://www.target.example/top\r\n");
    FileLock other = lockHistory(files.joined(TARGET));
    ASSERT_TRUE(other.held());
    EXPECT_FALSE(start(scripted));
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{texts::MSG_SURVEY_RUNNING});
    EXPECT_FALSE(state.surveyRunning);
    EXPECT_FALSE(historyExists(1)) << "no rotation";
    EXPECT_TRUE(scripted.requestedKeywords().empty());

    other.release();
    ui.messages.clear();
    ASSERT_TRUE(start(scripted));
    waitForSurvey(state);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(lockHistory(files.joined(TARGET)).held()) << "a finished run lets go of the lock";
}

TEST_F(PreparedHistory, ARotationThatCannotBeMadeStopsTheStartAndChangesNoFile) {
    const std::string finished =
        "2006/01/31 (nuq)\r\n2006/01/31:09:00:00\tk1\t2\r\n2006/01/31:09:00:01\tk2\t0\r\n";
    writeCurrent(finished);
    fs::create_directory(site() / "2.txt");
    EXPECT_FALSE(start(scripted));
    ASSERT_EQ(ui.messages.size(), 1u);
#ifdef _WIN32
    const std::string folder = files.joined(TARGET);
#else
    const std::string folder = files.root() + "/" + TARGET;  // shown with the system's separators
#endif
    EXPECT_EQ(ui.messages[0].text, formatWithText(texts::FMT_ROTATION_FAILED, folder));
    EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
    EXPECT_FALSE(state.surveyRunning);
    EXPECT_EQ(historyFile(0), finished);
    EXPECT_FALSE(historyExists(1));
    EXPECT_TRUE(fs::is_directory(site() / "2.txt"));
    EXPECT_TRUE(scripted.requestedKeywords().empty());
    EXPECT_TRUE(lockHistory(files.joined(TARGET)).held()) << "the refused start holds no lock";
}

TEST_F(PreparedHistory, ARotationAKilledRunLeftIsFinishedBeforeTheStart) {
    // Killed after moving 0.txt up and before putting its new 0.txt in place.
    const std::string earlier = "2006/01/30 (nuq)\r\n2006/01/30:09:00:00\tk1\t5 http://www.target.example/top\r\n";
    writeBytes(site() / "1.txt", earlier);
    writeBytes(site() / "0.new", "2006/01/31 (nuq)\r\n");
    writeBytes(site() / "rotation", "0\r\n2006/01/31 (nuq)\r\n");
    ASSERT_TRUE(start(scripted));
    waitForSurvey(state);
    EXPECT_EQ(historyFile(1), earlier) << "not rotated a second time";
    EXPECT_FALSE(historyExists(2));
    EXPECT_EQ(historyFile(0),
              "2006/01/31 (nuq)\r\n"  // the generation the killed run began, continued
              "2006/02/01:10:01:00\tk1\t4 http://www.target.example/top\r\n"
              "2006/02/01:10:03:00\tk2\t0\r\n");
    EXPECT_FALSE(fs::exists(site() / "rotation"));
    EXPECT_FALSE(fs::exists(site() / "0.new"));
}

TEST_F(PreparedHistory, ACutLastRecordIsSearchedAgainAndNotGluedToTheNext) {
    writeCurrent("2006/01/31 (nuq)\r\n2006/01/31:09:00:00\tk1\t1");  // "11" cut to "1"
    ASSERT_TRUE(start(scripted));
    waitForSurvey(state);
    EXPECT_EQ(historyFile(0),
              "2006/01/31 (nuq)\r\n"
              "2006/02/01:10:01:00\tk1\t4 http://www.target.example/top\r\n"
              "2006/02/01:10:03:00\tk2\t0\r\n");
}

TEST_F(SurveyRun, KeywordsAllDoneStartsANewGenerationAndSearchesThemAgain) {
    openSurvey(std::string(TARGET) + "\nk1\n");
    fs::create_directory(site());
    writeBytes(site() / "0.txt", "2006/01/31 (nuq)\r\n2006/01/31:09:00:00\tk1\t2 http://www.target.example/top\r\n");
    ScriptedEngine scripted;
    scripted.ranks = {{"k1", 9}};
    ASSERT_TRUE(start(scripted));
    waitForSurvey(state);
    EXPECT_EQ(results(), (std::vector<std::pair<int, int>>{{0, 9}}));
    EXPECT_EQ(historyFile(0), "2006/02/01 (nuq)\r\n2006/02/01:10:01:00\tk1\t9 http://www.target.example/top\r\n");
}

TEST_F(SurveyRun, EveryRunIsKeptTenRunsLeaveFiveFilesAndFiveArchivedRuns) {
    openSurvey(std::string(TARGET) + "\nk1\nk2\n");
    for (uint16_t day = 1; day <= 10; ++day) {
        ScriptedEngine scripted;
        scripted.ranks = {{"k1", day}, {"k2", 0}};
        scripted.day = day;
        if (day == 4) {
            // This run is aborted in its second keyword and resumed: one run, archived once.
            scripted.stallOn = "k2";
            auto reached = scripted.stalled.get_future();
            ASSERT_TRUE(start(scripted));
            ASSERT_EQ(reached.wait_for(std::chrono::seconds(30)), std::future_status::ready);
            abortSurvey(state);
            scripted.stallOn.clear();
        }
        ASSERT_TRUE(start(scripted)) << "day " << day;
        waitForSurvey(state);
    }
    for (int k = 0; k < 5; ++k) EXPECT_TRUE(historyExists(k)) << k;
    std::vector<std::string> archived;
    for (const auto& entry : fs::directory_iterator(site() / "archive"))
        archived.push_back(entry.path().filename().string());
    std::sort(archived.begin(), archived.end());
    EXPECT_EQ(archived, (std::vector<std::string>{"20060201-100100.txt", "20060202-100100.txt",
                                                  "20060203-100100.txt", "20060204-100100.txt",
                                                  "20060205-100100.txt"}));
    // Every run as data, oldest first, each once with its own ranks.
    const SiteHistory history = readSiteHistory(files.joined(TARGET));
    ASSERT_EQ(history.runs.size(), 10u);
    for (std::size_t run = 0; run < 10; ++run) {
        const auto& records = history.runs[run].records;
        ASSERT_EQ(records.size(), 2u) << run;
        EXPECT_EQ(history.keywords[records[0].keyword], "k1");
        EXPECT_EQ(records[0].entry.rank, static_cast<int32_t>(run + 1));
    }
}

TEST_F(PreparedHistory, AFolderWrittenBeforeTheArchiveLoadsAndRotatesIntoIt) {
    for (int k = 4; k >= 0; --k)
        writeBytes(site() / (std::to_string(k) + ".txt"),
                   "2006/01/2" + std::to_string(5 - k) + " (nuq)\r\n2006/01/2" + std::to_string(5 - k) +
                       ":09:00:00\tk1\t" + std::to_string(k + 1) + "\r\n2006/01/2" + std::to_string(5 - k) +
                       ":09:00:01\tk2\t0\r\n");
    writeBytes(site() / "3.txt.tmp4321-0", "a copy an older rotation left half done");
    const std::string oldest = historyFile(4);
    ASSERT_TRUE(start(scripted));
    waitForSurvey(state);
    EXPECT_EQ(readBytes(site() / "archive" / "20060121-090000.txt"), oldest);
    EXPECT_EQ(historyFile(4).substr(0, 18), "2006/01/22 (nuq)\r\n");
    EXPECT_FALSE(fs::exists(site() / "3.txt.tmp4321-0"));
    EXPECT_EQ(readSiteHistory(files.joined(TARGET)).runs.size(), 6u);
}

}  // namespace
}  // namespace vexor
