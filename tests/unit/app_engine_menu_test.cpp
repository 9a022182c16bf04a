#include "app/engine_menu.h"

#include <algorithm>

#include "app/command_dispatch.h"
#include "app/edit_dialog.h"
#include "app/engine_commands.h"
#include "app/texts.h"
#include "platform/path_text.h"
#include "app_test_fixture.h"

namespace vexor::testing {
namespace {

using AppEngineMenu = AppTest;

// The item names the menu must show, in the order the OS lists the folder.
std::vector<std::string> listedNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& file : listFiles(folder, ".eng")) names.push_back(file.substr(0, file.size() - 4));
    return names;
}

Command select(int index) { return Command{Command::Kind::SelectEngine, index}; }

TEST_F(AppEngineMenu, ListsEngineFilesInListingOrder) {
    writeEngine("engine\\b.eng", learntEngine("b"));
    writeEngine("engine\\a.b.eng", learntEngine("ab"));
    writeEngine("engine\\a.eng", learntEngine("a"));
    ASSERT_TRUE(replaceFileContent(at("engine\\notes.txt"), "not an engine"));
    ASSERT_TRUE(replaceFileContent(at("engine\\a.eng.bak"), "not an engine either"));

    buildEngineMenu(state, ui);

    const auto names = listedNames(at("engine"));
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(ui.engineMenuItems, names);
    EXPECT_EQ(state.engineMenu.items, names);
    ASSERT_EQ(state.engineMenu.engineCount(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(state.engineMenu.engineMenuIndex.at(names[i]), i);
}

TEST_F(AppEngineMenu, AMissingFolderGivesAnEmptyMenuAndNoMessage) {
    ui.engineMenuItems = {"stale"};
    state.engineMenu.items = {"stale"};
    state.engineMenu.engineMenuIndex = {{"stale", 0}};
    buildEngineMenu(state, ui);
    EXPECT_TRUE(ui.engineMenuItems.empty());
    EXPECT_EQ(state.engineMenu.engineCount(), 0);
    EXPECT_TRUE(state.engineMenu.engineMenuIndex.empty());
    EXPECT_TRUE(ui.messages.empty());
    // The former item selects nothing any more.
    dispatchCommand(state, services, select(0));
    EXPECT_EQ(state.currentEnginePath, "");
}

TEST_F(AppEngineMenu, ChoosingAnItemLoadsItsFileMarksItAndNamesItInTheCaption) {
    writeEngine("engine\\a.eng", learntEngine("a"));
    writeEngine("engine\\a.b.eng", learntEngine("ab"));
    buildEngineMenu(state, ui);
    state.survey.target = "www.example.jp";

    const int index = state.engineMenu.engineMenuIndex.at("a.b");
    EXPECT_EQ(dispatchCommand(state, services, select(index)), CommandOutcome::Done);

    EXPECT_EQ(state.currentEnginePath, "engine\\a.b.eng");
    EXPECT_EQ(state.currentEngine, learntEngine("ab"));
    EXPECT_EQ(ui.markedEngineIndex, index);
    EXPECT_EQ(ui.windowTitle, std::string("www.example.jp (a.b) - ") + texts::APP_TITLE);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AppEngineMenu, AfterARefreshTheMarkFollowsTheCurrentEnginesNewIndex) {
    writeEngine("engine\\m.eng", learntEngine("m"));
    writeEngine("engine\\z.eng", learntEngine("z"));
    buildEngineMenu(state, ui);
    dispatchCommand(state, services, select(state.engineMenu.engineMenuIndex.at("z")));

    // New files appear; a "new engine" whose dialog is cancelled refreshes the menu and reloads
    // the current engine.
    writeEngine("engine\\0.eng", learntEngine("0"));
    writeEngine("engine\\1.eng", learntEngine("1"));
    insideDialog = [this](EditMode mode) {
        openEditDialog(state, services, mode);
        cancelEditDialog(state);
    };
    dispatchCommand(state, services, Command{Command::Kind::NewEngine});

    const auto names = listedNames(at("engine"));
    ASSERT_EQ(ui.engineMenuItems, names);
    const int zAt = static_cast<int>(std::find(names.begin(), names.end(), "z") - names.begin());
    EXPECT_EQ(state.engineMenu.engineMenuIndex.at("z"), zAt);
    EXPECT_EQ(ui.markedEngineIndex, zAt);
    EXPECT_EQ(state.currentEnginePath, "engine\\z.eng");
    EXPECT_EQ(state.currentEngine, learntEngine("z"));
}

TEST_F(AppEngineMenu, AFailedLoadKeepsTheNewPathAndTheOldMark) {
    writeEngine("engine\\a.eng", learntEngine("a"));
    buildEngineMenu(state, ui);
    ASSERT_TRUE(loadEngine(state, services, "engine\\a.eng"));
    const int marked = ui.markedEngineIndex;
    ASSERT_EQ(marked, 0);

    EXPECT_FALSE(loadEngine(state, services, "engine\\missing.eng"));
    EXPECT_EQ(state.currentEnginePath, "engine\\missing.eng");
    EXPECT_FALSE(isLearnt(state.currentEngine));
    EXPECT_EQ(state.currentEngine, EngineDefinition{});
    EXPECT_EQ(ui.markedEngineIndex, marked);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].owner, Owner::MainWindow);
    EXPECT_NE(ui.messages[0].text.find("\"" + pathAsShown("engine\\missing.eng") + "\""), std::string::npos);

    // A file of a listed name that does not read (not an engine) keeps the mark too.
    ASSERT_TRUE(replaceFileContent(at("engine\\junk.eng"), "junk"));
    buildEngineMenu(state, ui);
    ASSERT_TRUE(loadEngine(state, services, "engine\\a.eng"));
    const int aId = ui.markedEngineIndex;
    EXPECT_FALSE(loadEngine(state, services, "engine\\junk.eng"));
    EXPECT_EQ(ui.markedEngineIndex, aId);
}

TEST_F(AppEngineMenu, AnEngineOutsideTheFolderIsMarkedOnlyWhenItsNameIsListed) {
    writeEngine("engine\\a.eng", learntEngine("a"));
    writeEngine("engine\\b.eng", learntEngine("b"));
    makeDirectory(at("elsewhere"));
    writeEngine("elsewhere\\x.eng", learntEngine("x"));
    writeEngine("elsewhere\\b.eng", learntEngine("other-b"));
    buildEngineMenu(state, ui);
    ASSERT_TRUE(loadEngine(state, services, "engine\\a.eng"));
    const int aId = state.engineMenu.engineMenuIndex.at("a");

    EXPECT_TRUE(loadEngine(state, services, at("elsewhere\\x.eng")));
    EXPECT_EQ(state.currentEngine, learntEngine("x"));
    EXPECT_EQ(ui.markedEngineIndex, aId);

    EXPECT_TRUE(loadEngine(state, services, at("elsewhere\\b.eng")));
    EXPECT_EQ(state.currentEngine, learntEngine("other-b"));
    EXPECT_EQ(ui.markedEngineIndex, state.engineMenu.engineMenuIndex.at("b"));
}

TEST_F(AppEngineMenu, CaptionFollowsTheTargetAndTheEnginePath) {
    const std::string app = texts::APP_TITLE;
    EXPECT_EQ(windowTitle(state), app);
    state.currentEnginePath = "engine\\nuq.eng";
    EXPECT_EQ(windowTitle(state), app);  // no survey: the engine is not named

    state.survey.target = "www.example.jp";
    EXPECT_EQ(windowTitle(state), "www.example.jp (nuq) - " + app);
    state.currentEnginePath = "C:\\tools\\engine\\a.b.eng";
    EXPECT_EQ(windowTitle(state), "www.example.jp (a.b) - " + app);
    state.currentEnginePath.clear();
    EXPECT_EQ(windowTitle(state), "www.example.jp" + std::string(texts::TITLE_NO_ENGINE) + app);

    // The path decides, not whether the engine could be read.
    loadEngine(state, services, "engine\\broken.eng");
    updateWindowTitle(state, ui);
    EXPECT_EQ(ui.windowTitle, "www.example.jp (broken) - " + app);
}

}  // namespace
}  // namespace vexor::testing
