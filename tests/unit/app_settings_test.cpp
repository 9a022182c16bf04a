#include "app/settings.h"

#include "app/command_dispatch.h"
#include "app/texts.h"
#include "app_test_fixture.h"
#include "platform/profile_file.h"

namespace vexor::testing {
namespace {

using AppSettings = AppTest;

void storeWindow(const Workspace& workspace, int left, int top, int right, int bottom) {
    const std::string file = workspace.settingsFile();
    writeProfileString(file, "WINDOW", "left", std::to_string(left));
    writeProfileString(file, "WINDOW", "top", std::to_string(top));
    writeProfileString(file, "WINDOW", "right", std::to_string(right));
    writeProfileString(file, "WINDOW", "bottom", std::to_string(bottom));
}

TEST_F(AppSettings, WithoutAFileTheWindowIsCentred640By480) {
    loadSettingsPlacement(state, 1024, 768);
    EXPECT_EQ(state.windowRect, (WindowRect{192, 144, 832, 624}));

    // Odd remainders are cut toward zero, also for a desktop smaller than the window.
    loadSettingsPlacement(state, 1025, 481);
    EXPECT_EQ(state.windowRect, (WindowRect{192, 0, 832, 480}));
    loadSettingsPlacement(state, 301, 201);
    EXPECT_EQ(state.windowRect, (WindowRect{-169, -139, 471, 341}));
}

TEST_F(AppSettings, OnlyTheAllZeroRectangleIsReplaced) {
    storeWindow(state.workspace, 0, 0, 0, 300);
    loadSettingsPlacement(state, 1024, 768);
    EXPECT_EQ(state.windowRect, (WindowRect{0, 0, 0, 300}));

    storeWindow(state.workspace, -50, 20, 4000, 10);  // off screen and upside down: still taken as it is
    loadSettingsPlacement(state, 1024, 768);
    EXPECT_EQ(state.windowRect, (WindowRect{-50, 20, 4000, 10}));

    storeWindow(state.workspace, 0, 0, 0, 0);
    loadSettingsPlacement(state, 800, 600);
    EXPECT_EQ(state.windowRect, (WindowRect{80, 60, 720, 540}));
}

TEST_F(AppSettings, SavingWritesTheWindowAndTheEngineButNeverTheSurvey) {
    state.windowRect = {-8, 12, 700, 512};
    state.currentEnginePath = "engine\\abc.eng";
    state.lastSurveyPath = "survey.txt";
    saveSettings(state);

    const std::string file = at("vexor.ini");
    EXPECT_EQ(readProfileInt(file, "WINDOW", "left", 99), -8);
    EXPECT_EQ(readProfileInt(file, "WINDOW", "top", 99), 12);
    EXPECT_EQ(readProfileInt(file, "WINDOW", "right", 99), 700);
    EXPECT_EQ(readProfileInt(file, "WINDOW", "bottom", 99), 512);
    EXPECT_EQ(readProfileString(file, "ENGINE", "last", "missing"), "engine\\abc.eng");
    EXPECT_EQ(readProfileString(file, "SEARCH", "last", "missing"), "missing");

    // An empty engine path is written too, so that a removed engine is forgotten.
    state.currentEnginePath.clear();
    saveSettings(state);
    EXPECT_EQ(readProfileString(file, "ENGINE", "last", "missing"), "");

    AppState next;
    next.workspace = state.workspace;
    loadSettingsPlacement(next, 1024, 768);
    EXPECT_EQ(next.windowRect, (WindowRect{-8, 12, 700, 512}));
}

TEST_F(AppSettings, ColumnWidthsComeBackAsTheUserLeftThem) {
    loadSettingsPlacement(state, 1024, 768);
    EXPECT_EQ(state.columnWidths, DEFAULT_COLUMN_WIDTHS);  // no key
    state.columnWidths = {260, 40, 95, 95, 0, 120};
    saveSettings(state);
    EXPECT_EQ(readProfileString(at("vexor.ini"), "WINDOW", "columns", ""), "260,40,95,95,0,120");
    AppState next;
    next.workspace = state.workspace;
    loadSettingsPlacement(next, 1024, 768);
    EXPECT_EQ(next.columnWidths, state.columnWidths);
    writeProfileString(at("vexor.ini"), "WINDOW", "columns", "260,40");  // edited by hand
    loadSettingsPlacement(next, 1024, 768);
    EXPECT_EQ(next.columnWidths, DEFAULT_COLUMN_WIDTHS);
}

TEST_F(AppSettings, AnEmptyEnginePathFallsBackToTheDefaultEngineWhenItExists) {
    loadSettingsPaths(state);
    EXPECT_EQ(state.currentEnginePath, "");
    EXPECT_EQ(state.lastSurveyPath, "");

    writeEngine(DEFAULT_ENGINE_PATH, learntEngine("nuq"));
    loadSettingsPaths(state);
    EXPECT_EQ(state.currentEnginePath, at(DEFAULT_ENGINE_PATH));
    EXPECT_TRUE(std::filesystem::path(state.currentEnginePath).is_absolute());

    // ... and is stored with that full path at the next close.
    saveSettings(state);
    EXPECT_EQ(readProfileString(state.workspace.settingsFile(), "ENGINE", "last", ""),
              at(DEFAULT_ENGINE_PATH));

    // A stored engine path is kept even when it names nothing.
    writeProfileString(state.workspace.settingsFile(), "ENGINE", "last", "engine\\gone.eng");
    writeProfileString(state.workspace.settingsFile(), "SEARCH", "last", "sub\\s.txt");
    loadSettingsPaths(state);
    EXPECT_EQ(state.currentEnginePath, "engine\\gone.eng");
    EXPECT_EQ(state.lastSurveyPath, "sub\\s.txt");
}

TEST_F(AppSettings, TheLastSurveyIsRememberedOnlyAfterASuccessfulOpen) {
    ASSERT_TRUE(replaceFileContent(at("good.txt"), "www.example.jp\r\nalpha\r\nbeta\r\n"));
    ASSERT_TRUE(replaceFileContent(at("bad.txt"), "only.a.target\r\n"));

    ui.openFileAnswers.push_back("good.txt");
    dispatchCommand(state, services, Command{Command::Kind::OpenSurvey});
    EXPECT_EQ(readProfileString(state.workspace.settingsFile(), "SEARCH", "last", "missing"), "good.txt");

    ui.openFileAnswers.push_back("bad.txt");
    dispatchCommand(state, services, Command{Command::Kind::OpenSurvey});
    EXPECT_EQ(readProfileString(state.workspace.settingsFile(), "SEARCH", "last", "missing"), "good.txt");
    EXPECT_EQ(ui.messages.size(), 1u);  // the failure of bad.txt

    // Closing does not touch it, and the next start-up reads it back.
    saveSettings(state);
    AppState next;
    next.workspace = state.workspace;
    loadSettingsPaths(next);
    EXPECT_EQ(next.lastSurveyPath, "good.txt");
}

TEST_F(AppSettings, NetworkSettingsAreReadAndNeverWritten) {
    EXPECT_EQ(loadNetworkSettings(state.workspace), (NetworkSettings{"", 0}));  // no file

    const std::string file = at("vexor.ini");
    writeBytes(files.native("vexor.ini"),
               "[NETWORK]\r\nUserAgent=Mozilla/5.0 (X11; Linux x86_64) vexor\r\nPageDelay=1500\r\n");
    EXPECT_EQ(loadNetworkSettings(state.workspace),
              (NetworkSettings{"Mozilla/5.0 (X11; Linux x86_64) vexor", 1500}));

    // A delay that is no number, or below zero, is no delay.
    writeProfileString(file, "NETWORK", "PageDelay", "soon");
    EXPECT_EQ(loadNetworkSettings(state.workspace).pageDelayMs, 0);
    writeProfileString(file, "NETWORK", "PageDelay", "-300");
    EXPECT_EQ(loadNetworkSettings(state.workspace).pageDelayMs, 0);

    // Closing the window writes its own keys and leaves the section as the user wrote it.
    writeProfileString(file, "NETWORK", "PageDelay", "800");
    saveSettings(state);
    saveLastSurveyPath(state.workspace, "survey.txt");
    const std::string after = readBytes(files.native("vexor.ini"));
    EXPECT_NE(after.find("[NETWORK]\r\nUserAgent=Mozilla/5.0 (X11; Linux x86_64) vexor\r\nPageDelay=800\r\n"),
              std::string::npos)
        << after;
    EXPECT_EQ(loadNetworkSettings(state.workspace),
              (NetworkSettings{"Mozilla/5.0 (X11; Linux x86_64) vexor", 800}));
}

TEST(FetchSettings, FetchValuesNameAModeInAnyCaseOrNone) {
    const std::pair<const char*, std::optional<FetchMode>> cases[] = {
        {"", FetchMode::Direct},          {"  ", FetchMode::Direct},       {"direct", FetchMode::Direct},
        {"Browser", FetchMode::Browser},  {" SERVICE ", FetchMode::Service}, {"browsers", std::nullopt},
        {"direct service", std::nullopt}, {"0", std::nullopt},
    };
    for (const auto& [value, mode] : cases) EXPECT_EQ(fetchModeNamed(value), mode) << '"' << value << '"';
}

TEST(FetchSettings, ProxiesAreTheWordsBetweenBlanks) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"", {}},
        {" \t ", {}},
        {"10.0.0.7:8080", {"10.0.0.7:8080"}},
        {"  http://a.example:3128\tb.example:80   c:1 ", {"http://a.example:3128", "b.example:80", "c:1"}},
    };
    for (const auto& [value, proxies] : cases) EXPECT_EQ(proxyList(value), proxies) << '"' << value << '"';
}

TEST_F(AppSettings, FetchSettingsAreReadAndTheChoiceIsWritten) {
    writeBytes(files.native("vexor.ini"),
               "[NETWORK]\r\nFetch=Service\r\nBrowser=C:\\Chrome\\chrome.exe\r\nBrowserWindow=1\r\n"
               "Service=https://svc.example/get?k=SECRET&u={url}\r\nProxy=p1:1 p2:2\r\n");
    NetworkSettings expected{"", 0, FetchMode::Service, "Service", "C:\\Chrome\\chrome.exe", true,
                             "https://svc.example/get?k=SECRET&u={url}", {"p1:1", "p2:2"}};
    EXPECT_EQ(loadNetworkSettings(state.workspace), expected);

    saveFetchMode(state.workspace, FetchMode::Browser);
    saveBrowserWindow(state.workspace, false);
    expected.fetchMode = FetchMode::Browser;
    expected.fetchValue = "browser";
    expected.browserWindow = false;
    EXPECT_EQ(loadNetworkSettings(state.workspace), expected);
    const std::string after = readBytes(files.native("vexor.ini"));
    EXPECT_NE(after.find("Fetch=browser\r\n"), std::string::npos) << after;
    EXPECT_NE(after.find("BrowserWindow=0\r\n"), std::string::npos) << after;

    writeProfileString(at("vexor.ini"), "NETWORK", "Fetch", "chrome");
    EXPECT_EQ(loadNetworkSettings(state.workspace).fetchMode, std::nullopt);
}

}  // namespace
}  // namespace vexor::testing
