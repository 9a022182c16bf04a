#include "app/command_dispatch.h"

#include "app/edit_dialog.h"
#include "app/engine_menu.h"
#include "app/network_fetcher.h"
#include "app/survey_display.h"
#include "app/texts.h"
#include "app_test_fixture.h"
#include "deadline.h"
#include "platform/path_text.h"
#include "platform/profile_file.h"
#include "survey/survey_control.h"

#include <chrono>
#include <thread>

namespace vexor::testing {
namespace {

using AppCommands = AppTest;

TEST_F(AppCommands, WhileASurveyRunsEveryGuardedCommandIsRefused) {
    writeEngine("engine\\a.eng", learntEngine("a"));
    writeEngine("engine\\b.eng", learntEngine("b"));
    buildEngineMenu(state, ui);
    ASSERT_TRUE(loadEngine(state, services, "engine\\a.eng"));
    ASSERT_TRUE(replaceFileContent(at("s.txt"), "www.example.jp\r\nkw\r\n"));
    state.survey.surveyPath = "s.txt";
    state.survey.surveyRunning = true;
    ui.openFileAnswers = {std::string("s.txt"), std::string("s.txt")};
    const std::string title = ui.windowTitle;

    using Kind = Command::Kind;
    const Command guarded[] = {{Kind::OpenSurvey}, {Kind::StartSurvey}, {Kind::RetryFailed},
                               {Kind::WriteReport}, {Kind::NewEngine}, {Kind::EditEngine},
                               {Kind::ImportEngine}, {Kind::ExportCsv},
                               {Kind::SelectEngine, state.engineMenu.engineMenuIndex.at("b")},
                               {Kind::ChooseFetch, -1, FetchMode::Browser}, {Kind::BrowserWindow}};
    for (const Command& command : guarded) {
        const auto id = static_cast<int>(command.kind);
        ui.messages.clear();
        EXPECT_EQ(dispatchCommand(state, services, command), CommandOutcome::Done);
        ASSERT_EQ(ui.messages.size(), 1u) << id;
        EXPECT_EQ(ui.messages[0].text, texts::MSG_BUSY) << id;
        EXPECT_EQ(ui.messages[0].owner, Owner::MainWindow);
        EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
        EXPECT_FALSE(ui.messages[0].question);
    }
    EXPECT_TRUE(ui.openFileKinds.empty());
    EXPECT_TRUE(dialogRuns.empty());
    EXPECT_EQ(ui.saveDialogs, 0);
    EXPECT_EQ(state.currentEnginePath, "engine\\a.eng");
    EXPECT_EQ(state.currentEngine, learntEngine("a"));
    EXPECT_TRUE(ui.rows.empty());
    EXPECT_FALSE(fileExists(at("vexor.ini")));
    EXPECT_EQ(ui.windowTitle, title);
    EXPECT_FALSE(state.survey.workerThread.joinable());

    // The abort, exit, Esc and help are never refused.
    ui.messages.clear();
    state.programFolder = files.root();
    writeBytes(files.native("manual.html"), "<html></html>");
    EXPECT_EQ(dispatchCommand(state, services, Command{Command::Kind::AbortSurvey}), CommandOutcome::Done);
    EXPECT_TRUE(state.survey.abortRequested);
    EXPECT_EQ(dispatchCommand(state, services, Command{Command::Kind::Exit}), CommandOutcome::CloseWindow);
    EXPECT_EQ(dispatchCommand(state, services, Command{Command::Kind::Cancel}), CommandOutcome::Done);
    EXPECT_EQ(dispatchCommand(state, services, Command{Command::Kind::Help}), CommandOutcome::Done);
    EXPECT_EQ(dispatchCommand(state, services, Command{Command::Kind::ColourLegend}), CommandOutcome::Done);
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{texts::MSG_COLOUR_LEGEND});
    EXPECT_EQ(ui.openedAddresses, std::vector<std::string>{files.joined("manual.html")});
}

TEST(CommandStates, MenusOfferWhatTheGuardWouldLetThrough) {
    using Kind = Command::Kind;
    struct Case {
        Kind kind;
        bool idle, running;
        bool needsSurvey = false;  // offered only while a survey is open
    };
    const Case cases[] = {
        {Kind::OpenSurvey, true, false},   {Kind::StartSurvey, true, false},
        {Kind::RetryFailed, true, false},  {Kind::WriteReport, true, false},
        {Kind::NewEngine, true, false},    {Kind::EditEngine, true, false},
        {Kind::ImportEngine, true, false}, {Kind::SelectEngine, true, false},
        {Kind::AbortSurvey, false, true},  {Kind::Exit, true, true},
        {Kind::Cancel, true, true},        {Kind::Help, true, true},
        {Kind::ColourLegend, true, true},  {Kind::ExportCsv, true, false, true},
    };
    for (const Case& c : cases) {
        const auto id = static_cast<int>(c.kind);
        EXPECT_EQ(commandEnabled(c.kind, false, true), c.idle) << id;
        EXPECT_EQ(commandEnabled(c.kind, true, true), c.running) << id;
        EXPECT_EQ(commandEnabled(c.kind, false, false), c.idle && !c.needsSurvey) << id;
        EXPECT_EQ(isGuarded(c.kind), !c.running) << id;
    }
}

TEST_F(AppCommands, ClosingDuringASurveyAsksAndNoKeepsTheWindow) {
    EXPECT_TRUE(confirmClose(state, ui));
    EXPECT_TRUE(ui.messages.empty());
    state.survey.surveyRunning = true;
    ui.yesNoAnswers = {false, true};
    EXPECT_FALSE(confirmClose(state, ui));
    EXPECT_TRUE(confirmClose(state, ui));
    ASSERT_EQ(ui.messages.size(), 2u);
    for (const ShownMessage& asked : ui.messages) {
        EXPECT_EQ(asked.text, texts::MSG_CONFIRM_CLOSE);
        EXPECT_TRUE(asked.question);
        EXPECT_EQ(asked.owner, Owner::MainWindow);
    }
    EXPECT_FALSE(state.survey.abortRequested);  // asking stops nothing
    state.survey.surveyRunning = false;
}

class AbortKeys : public AppTest, public ::testing::WithParamInterface<Command::Kind> {};

TEST_P(AbortKeys, ARunningWorkerRefusesASecondStartAndTheAbortStopsIt) {
    writeEngine("engine\\a.eng", learntEngine("a"));
    ASSERT_TRUE(replaceFileContent(at("s.txt"), "www.example.jp\r\nfirst\r\nsecond\r\n"));
    state.currentEnginePath = "engine\\a.eng";
    ASSERT_FALSE(startupLoad(state, services));
    ui.openFileAnswers.push_back(std::string("s.txt"));
    dispatchCommand(state, services, Command{Command::Kind::OpenSurvey});
    ASSERT_EQ(ui.rows.size(), 2u);
    // A network that stalls until the abort.
    std::atomic<int> fetches{0};
    services.fetch = [&fetches](const std::string&, std::string& body,
                                const std::atomic<bool>& abortFlag) {
        ++fetches;
        stallUntilAborted(abortFlag);
        body.clear();
        return FetchOutcome{};
    };

    EXPECT_EQ(dispatchCommand(state, services, Command{Command::Kind::StartSurvey}), CommandOutcome::SurveyStarted);
    ASSERT_TRUE(state.survey.surveyRunning);
    EXPECT_EQ(state.survey.runRows, 2);
    EXPECT_EQ(dispatchCommand(state, services, Command{Command::Kind::StartSurvey}), CommandOutcome::Done);
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{texts::MSG_BUSY});

    // Abort once the worker is inside the first keyword's fetch: the abort command, or Esc.
    ASSERT_TRUE(waitUntil([&fetches] { return fetches > 0; }));
    dispatchCommand(state, services, Command{GetParam()});
    EXPECT_FALSE(state.survey.surveyRunning);
    EXPECT_FALSE(state.survey.workerThread.joinable());
    EXPECT_EQ(fetches, 1);
    const auto results = events.of(RecordedEvent::Result);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].row, 0);
    EXPECT_EQ(results[0].value, -1);
    showSurveyResult(ui, results[0].row, results[0].value);
    EXPECT_EQ(ui.rows[0][1], texts::TEXT_ABORTED);
    EXPECT_EQ(ui.messages.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(AbortAndEsc, AbortKeys,
                         ::testing::Values(Command::Kind::AbortSurvey, Command::Kind::Cancel));

TEST_F(AppCommands, EscWithoutASurveyDoesNothing) {
    EXPECT_EQ(dispatchCommand(state, services, Command{Command::Kind::Cancel}), CommandOutcome::Done);
    EXPECT_FALSE(state.survey.abortRequested);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AppCommands, TheGuardIsSilentWhenNoSurveyRuns) {
    EXPECT_FALSE(busyGuard(state, ui));
    EXPECT_TRUE(ui.messages.empty());
    state.survey.surveyRunning = true;
    EXPECT_TRUE(busyGuard(state, ui));
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{texts::MSG_BUSY});
}

TEST_F(AppCommands, AbortWithoutASurveyIsQuietAndHelpOpensTheManualOfTheProgramFolder) {
    EXPECT_EQ(dispatchCommand(state, services, Command{Command::Kind::AbortSurvey}), CommandOutcome::Done);
    EXPECT_TRUE(ui.messages.empty());
    // The workspace is another folder, with a manual of its own that is not the program's.
    TestWorkspace program;
    state.programFolder = program.root();
    writeBytes(program.native("manual.html"), "<html></html>");
    writeBytes(files.native("manual.html"), "<html></html>");
    EXPECT_EQ(dispatchCommand(state, services, Command{Command::Kind::Help}), CommandOutcome::Done);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.openedAddresses, std::vector<std::string>{program.joined("manual.html")});
}

TEST_F(AppCommands, HelpWithoutTheManualSaysWhereItWasLookedForAndOpensNothing) {
    state.programFolder = files.root();
    makeDirectory(files.joined("manual"));  // the images alone make no manual
    EXPECT_EQ(dispatchCommand(state, services, Command{Command::Kind::Help}), CommandOutcome::Done);
    EXPECT_TRUE(ui.openedAddresses.empty());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].owner, Owner::MainWindow);
    EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
    const std::string& text = ui.messages[0].text;
    EXPECT_NE(text.find("\"" + pathAsShown(files.joined("manual.html")) + "\""), std::string::npos) << text;
    EXPECT_NE(text.find("vexor.exe"), std::string::npos) << text;
}

TEST_F(AppCommands, EngineIndexesBeyondTheEngineItemsDoNothing) {
    writeEngine("engine\\a.eng", learntEngine("a"));
    buildEngineMenu(state, ui);
    for (const int index : {1, -1, 2, 3000}) {
        EXPECT_EQ(dispatchCommand(state, services, Command{Command::Kind::SelectEngine, index}),
                  CommandOutcome::Done)
            << index;
    }
    EXPECT_EQ(state.currentEnginePath, "");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.openFileKinds.empty());
    EXPECT_TRUE(dialogRuns.empty());
    EXPECT_EQ(ui.windowTitle, "");
}

TEST_F(AppCommands, StartWithAnUnlearntEngineIsRefusedByTheSurvey) {
    ASSERT_TRUE(replaceFileContent(at("s.txt"), "www.example.jp\r\nkw\r\n"));
    state.survey.surveyPath = "s.txt";
    dispatchCommand(state, services, Command{Command::Kind::StartSurvey});
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{texts::MSG_NOT_LEARNT});
    EXPECT_FALSE(state.survey.surveyRunning);
    EXPECT_FALSE(state.survey.workerThread.joinable());
}

TEST_F(AppCommands, StartInAFreshFolderSaysThatNoSurveyFileIsOpenWhateverTheEngine) {
    for (const bool learnt : {false, true}) {
        ui.messages.clear();
        state.currentEngine = learnt ? learntEngine("a") : EngineDefinition{};
        dispatchCommand(state, services, Command{Command::Kind::StartSurvey});
        EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{texts::MSG_START_WITHOUT_SURVEY});
        EXPECT_FALSE(state.survey.surveyRunning);
    }
}

TEST_F(AppCommands, TheRetrySearchesOnlyTheFailedKeywordsOfTheCurrentRun) {
    writeEngine("engine\\a.eng", learntEngine("a"));
    ASSERT_TRUE(replaceFileContent(at("s.txt"), "www.example.jp\r\nok\r\nbad\r\n"));
    makeDirectory(at("www.example.jp"));
    const std::string run = "2006/02/03 (a)\r\n2006/02/03:01:14:29\tok\t3\r\n";
    ASSERT_TRUE(replaceFileContent(at("www.example.jp\\0.txt"), run));
    state.currentEnginePath = "engine\\a.eng";
    state.lastSurveyPath = "s.txt";
    ASSERT_FALSE(startupLoad(state, services));

    dispatchCommand(state, services, Command{Command::Kind::RetryFailed});
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{texts::MSG_NOTHING_FAILED});
    EXPECT_FALSE(state.survey.surveyRunning);

    ASSERT_TRUE(replaceFileContent(at("www.example.jp\\0.txt"),
                                   run + "2006/02/03:01:14:29\tbad\t0 failed 1 http-403\r\n"));
    dispatchCommand(state, services, Command{Command::Kind::RetryFailed});
    waitForSurvey(state.survey);
    ASSERT_FALSE(fetched.empty());
    for (const std::string& address : fetched) EXPECT_NE(address.find("q=bad&"), std::string::npos) << address;
    EXPECT_FALSE(fileExists(at("www.example.jp\\1.txt"))) << "a retry never rotates";
    EXPECT_EQ(events.of(RecordedEvent::Result).size(), 1u);
}

TEST_F(AppCommands, TheFetchChoiceIsWrittenToTheSettings) {
    using Kind = Command::Kind;
    dispatchCommand(state, services, Command{Kind::ChooseFetch, -1, FetchMode::Service});
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{texts::TEXT_SERVICE_MISSING});
    EXPECT_FALSE(fileExists(at("vexor.ini"))) << "the service is explained, not chosen, without Service=";

    writeProfileString(at("vexor.ini"), "NETWORK", "Service", "http://svc.test/?key=K&url={url}");
    struct Step {
        Command command;
        const char* fetch;   // Fetch= after it
        const char* window;  // BrowserWindow= after it
    };
    const Step steps[] = {{{Kind::ChooseFetch, -1, FetchMode::Browser}, "browser", nullptr},
                          {{Kind::BrowserWindow}, "browser", "1"},
                          {{Kind::ChooseFetch, -1, FetchMode::Service}, "service", "1"},
                          {{Kind::BrowserWindow}, "service", "0"},
                          {{Kind::ChooseFetch, -1, FetchMode::Direct}, "direct", "0"}};
    for (const Step& step : steps) {
        EXPECT_EQ(dispatchCommand(state, services, step.command), CommandOutcome::Done);
        const std::string ini = bytesOf("vexor.ini");
        EXPECT_EQ(profileValue(ini, "NETWORK", "Fetch"), std::optional<std::string>(step.fetch)) << ini;
        EXPECT_EQ(profileValue(ini, "NETWORK", "BrowserWindow"),
                  step.window ? std::optional<std::string>(step.window) : std::nullopt) << ini;
    }
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(AppCommands, EveryRunMakesItsFetchersAsItStartsAndARefusalStartsNothing) {
    writeEngine("engine\\a.eng", learntEngine("a"));
    ASSERT_TRUE(replaceFileContent(at("s.txt"), "www.example.jp\r\nkw\r\n"));
    state.currentEnginePath = "engine\\a.eng";
    state.lastSurveyPath = "s.txt";
    ASSERT_FALSE(startupLoad(state, services));
    int made = 0;
    const PageFetcher scripted = services.fetch;
    services.runFetchers = [&] {
        ++made;
        RunFetchers run = runFetchers(loadNetworkSettings(state.workspace), state.workspace);
        if (run.refusal.empty()) run.fetch = scripted;  // the settings' choice, the scripted engine
        return run;
    };
    for (const char* mode : {"service", "chrome"}) {  // no Service=; no such mode
        ui.messages.clear();
        writeProfileString(at("vexor.ini"), "NETWORK", "Fetch", mode);
        const std::string refusal = runFetchers(loadNetworkSettings(state.workspace), state.workspace).refusal;
        EXPECT_EQ(dispatchCommand(state, services, Command{Command::Kind::StartSurvey}), CommandOutcome::Done);
        learnInEditDialog(state, services);
        ASSERT_EQ(ui.messages.size(), 2u) << mode;
        EXPECT_EQ(ui.messages[0].text, refusal);
        EXPECT_EQ(ui.messages[0].owner, Owner::MainWindow);
        EXPECT_EQ(ui.messages[1].text, refusal);
        EXPECT_EQ(ui.messages[1].owner, Owner::EditDialog);
        EXPECT_FALSE(state.survey.workerThread.joinable());
    }
    EXPECT_TRUE(fetched.empty());
    EXPECT_FALSE(fileExists(at("www.example.jp\\0.txt")));

    writeProfileString(at("vexor.ini"), "NETWORK", "Fetch", "direct");
    EXPECT_EQ(dispatchCommand(state, services, Command{Command::Kind::StartSurvey}), CommandOutcome::SurveyStarted);
    waitForSurvey(state.survey);
    EXPECT_EQ(made, 5);
    EXPECT_FALSE(fetched.empty());
}

TEST_F(AppCommands, ASurveyFileOnTheCommandLineIsOpenedAndStarted) {
    writeEngine("engine\\a.eng", learntEngine("a"));
    ASSERT_TRUE(replaceFileContent(at("cmd.txt"), "www.example.jp\r\none\r\ntwo\r\n"));
    ASSERT_TRUE(replaceFileContent(at("last.txt"), "www.other.jp\r\nthree\r\n"));
    state.currentEnginePath = "engine\\a.eng";
    state.startupSurveyPath = "cmd.txt";
    state.lastSurveyPath = "last.txt";

    EXPECT_TRUE(startupLoad(state, services));

    EXPECT_EQ(state.currentEngine, learntEngine("a"));
    EXPECT_EQ(state.survey.surveyPath, "cmd.txt");
    EXPECT_EQ(state.survey.target, "www.example.jp");
    ASSERT_EQ(ui.rows.size(), 2u);
    EXPECT_EQ(ui.windowTitle, std::string("www.example.jp (a) - ") + texts::APP_TITLE);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AppCommands, WithoutACommandLineFileTheLastSurveyIsReopenedButNotStarted) {
    ASSERT_TRUE(replaceFileContent(at("last.txt"), "www.other.jp\r\nthree\r\n"));
    state.lastSurveyPath = "last.txt";
    EXPECT_FALSE(startupLoad(state, services));
    EXPECT_EQ(state.survey.target, "www.other.jp");
    EXPECT_EQ(ui.rows.size(), 1u);
    // No engine path: nothing loaded, nothing reported.
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.windowTitle, "www.other.jp" + std::string(texts::TITLE_NO_ENGINE) + texts::APP_TITLE);

    AppState fresh;
    EXPECT_FALSE(startupLoad(fresh, services));
    EXPECT_TRUE(fresh.survey.target.empty());
}

TEST_F(AppCommands, ACommandLineFileThatFailsStillAsksForTheStart) {
    state.startupSurveyPath = "missing.txt";
    EXPECT_TRUE(startupLoad(state, services));
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(state.survey.surveyPath, "missing.txt");
}

TEST(SurveyDisplay, ResultAndProgressTexts) {
    EXPECT_EQ(resultText(-1), texts::TEXT_ABORTED);
    EXPECT_EQ(resultText(0), "-");
    EXPECT_EQ(resultText(12), "12");
    EXPECT_EQ(resultText(100), "100");
    const std::string progress = texts::FMT_PROGRESS;
    EXPECT_EQ(progressText(20), progress.substr(0, progress.size() - 2) + "20");
    EXPECT_EQ(progressText(0), progress.substr(0, progress.size() - 2) + "0");

    FakeUi ui;
    for (const char* keyword : {"a", "b", "c", "d"}) ui.appendRow(keyword);
    showSurveyProgress(ui, 3, 20);
    EXPECT_EQ(ui.rows[3][1], progressText(20));
    EXPECT_EQ(ui.rows[2][1], "-");
    showSurveyResult(ui, 3, 12);
    EXPECT_EQ(ui.rows[3][1], "12");
    showSurveyResult(ui, 0, -1);
    EXPECT_EQ(ui.rows[0][1], texts::TEXT_ABORTED);
    showSurveyResult(ui, 1, 0);
    EXPECT_EQ(ui.rows[1][1], "-");
}

}  // namespace
}  // namespace vexor::testing
