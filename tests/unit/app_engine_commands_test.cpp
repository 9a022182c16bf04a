#include "app/engine_commands.h"

#include "app/command_dispatch.h"
#include "app/edit_dialog.h"
#include "app/engine_menu.h"
#include "app/texts.h"
#include "platform/path_text.h"
#include "app_test_fixture.h"

namespace vexor::testing {
namespace {

using AppEngineCommands = AppTest;

class AppImport : public AppTest {
protected:
    void SetUp() override {
        makeDirectory(at("outside"));
        makeDirectory(at("second"));
        writeEngine("outside\\foo.eng", learntEngine("foo-1"));
        writeEngine("second\\foo.eng", learntEngine("foo-2"));
        writeEngine("engine\\keep.eng", learntEngine("keep"));
        buildEngineMenu(state, ui);
        ASSERT_TRUE(loadEngine(state, services, "engine\\keep.eng"));
        state.survey.target = "www.example.jp";
    }

    void importFrom(const std::string& path) {
        ui.openFileAnswers.push_back(path);
        dispatchCommand(state, services, Command{Command::Kind::ImportEngine});
    }
};

TEST_F(AppImport, ANewNameIsCopiedWithoutAQuestionListedMarkedAndNamed) {
    importFrom(at("outside\\foo.eng"));

    EXPECT_EQ(ui.openFileKinds, std::vector<WindowChrome::FileKind>{WindowChrome::FileKind::Engine});
    EXPECT_EQ(ui.proposedOpenPaths, std::vector<std::string>{""});
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(bytesOf("engine\\foo.eng"), bytesOf("outside\\foo.eng"));
    EXPECT_EQ(state.currentEnginePath, "engine\\foo.eng");
    EXPECT_EQ(state.currentEngine, learntEngine("foo-1"));
    ASSERT_TRUE(state.engineMenu.engineMenuIndex.contains("foo"));
    EXPECT_EQ(ui.markedEngineIndex, state.engineMenu.engineMenuIndex.at("foo"));
    EXPECT_EQ(ui.windowTitle, std::string("www.example.jp (foo) - ") + texts::APP_TITLE);
}

TEST_F(AppImport, AListedNameAsksFirstAndNoChangesNothing) {
    importFrom(at("outside\\foo.eng"));
    const std::string stored = bytesOf("engine\\foo.eng");
    const auto itemsBefore = ui.engineMenuItems;
    const int markBefore = ui.markedEngineIndex;

    importFrom(at("second\\foo.eng"));

    ASSERT_EQ(ui.messages.size(), 1u);
    const auto& question = ui.messages[0];
    EXPECT_TRUE(question.question);
    EXPECT_EQ(question.owner, Owner::MainWindow);
    EXPECT_EQ(question.icon, Icon::Question);
    EXPECT_EQ(question.text.substr(0, 6), "\"foo\" ");
    EXPECT_EQ(question.text.substr(5), std::string(texts::FMT_ENGINE_OVERWRITE).substr(4));
    EXPECT_EQ(bytesOf("engine\\foo.eng"), stored);
    EXPECT_EQ(state.currentEnginePath, "engine\\foo.eng");
    EXPECT_EQ(state.currentEngine, learntEngine("foo-1"));
    EXPECT_EQ(ui.engineMenuItems, itemsBefore);
    EXPECT_EQ(ui.markedEngineIndex, markBefore);
}

TEST_F(AppImport, YesOverwritesAndLoadsTheNewContent) {
    importFrom(at("outside\\foo.eng"));
    ui.yesNoAnswers.push_back(true);
    importFrom(at("second\\foo.eng"));

    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(bytesOf("engine\\foo.eng"), bytesOf("second\\foo.eng"));
    EXPECT_EQ(state.currentEngine, learntEngine("foo-2"));
    EXPECT_EQ(ui.markedEngineIndex, state.engineMenu.engineMenuIndex.at("foo"));
}

TEST_F(AppImport, ImportingTheListedFileItselfKeepsIt) {
    const std::string stored = bytesOf("engine\\keep.eng");
    ui.yesNoAnswers.push_back(true);
    importFrom(at("engine\\keep.eng"));
    EXPECT_EQ(bytesOf("engine\\keep.eng"), stored);
    EXPECT_EQ(state.currentEngine, learntEngine("keep"));
    EXPECT_EQ(state.currentEnginePath, "engine\\keep.eng");
}

TEST_F(AppImport, AFileThatDoesNotReadIsListedButThePreviousPathComesBack) {
    ASSERT_TRUE(replaceFileContent(at("outside\\junk.eng"), "this is no engine"));
    importFrom(at("outside\\junk.eng"));

    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("\"" + pathAsShown("engine\\junk.eng") + "\""), std::string::npos);
    EXPECT_TRUE(state.engineMenu.engineMenuIndex.contains("junk"));
    EXPECT_EQ(state.currentEnginePath, "engine\\keep.eng");
    EXPECT_FALSE(isLearnt(state.currentEngine));  // as the failed read left it
    EXPECT_EQ(ui.windowTitle, std::string("www.example.jp (keep) - ") + texts::APP_TITLE);
}

TEST_F(AppImport, CancellingTheOpenDialogDoesNothing) {
    const auto before = ui.engineMenuItems;
    dispatchCommand(state, services, Command{Command::Kind::ImportEngine});
    EXPECT_EQ(ui.openFileKinds.size(), 1u);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(state.currentEnginePath, "engine\\keep.eng");
    EXPECT_EQ(state.currentEngine, learntEngine("keep"));
}

TEST_F(AppEngineCommands, EditWithACurrentEngineUsesEditModeAndRefreshesNothing) {
    writeEngine("engine\\a.eng", learntEngine("a"));
    buildEngineMenu(state, ui);
    ASSERT_TRUE(loadEngine(state, services, "engine\\a.eng"));
    writeEngine("engine\\later.eng", learntEngine("later"));
    insideDialog = [this](EditMode mode) {
        openEditDialog(state, services, mode);
        EXPECT_EQ(ui.fields.keyword, "kw-a");
        ui.fields.keyword = "edited";
        EXPECT_TRUE(saveEditDialog(state, services));
    };

    dispatchCommand(state, services, Command{Command::Kind::EditEngine});

    EXPECT_EQ(dialogRuns, std::vector<EditMode>{EditMode::Edit});
    EXPECT_EQ(ui.saveDialogs, 0);
    EXPECT_EQ(ui.engineMenuItems, std::vector<std::string>{"a"});  // later.eng not listed yet
    EXPECT_EQ(state.currentEnginePath, "engine\\a.eng");
    EXPECT_EQ(state.currentEngine.keyword, "edited");
}

TEST_F(AppEngineCommands, EditWithoutACurrentEngineCreatesANewOne) {
    insideDialog = [this](EditMode mode) { openEditDialog(state, services, mode); };
    dispatchCommand(state, services, Command{Command::Kind::EditEngine});
    EXPECT_EQ(dialogRuns, std::vector<EditMode>{EditMode::New});
    // Closed without saving: no engine, and no message about a file nobody chose.
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(state.currentEnginePath.empty());
    EXPECT_EQ(state.currentEngine, EngineDefinition{});
}

TEST_F(AppEngineCommands, ANewEngineSavedAsBarIsListedCurrentAndMarked) {
    writeEngine("engine\\a.eng", learntEngine("a"));
    buildEngineMenu(state, ui);
    ASSERT_TRUE(loadEngine(state, services, "engine\\a.eng"));
    state.survey.target = "www.example.jp";
    const EngineDefinition bar = learntEngine("bar");
    insideDialog = [&](EditMode mode) {
        openEditDialog(state, services, mode);
        EXPECT_TRUE(ui.fields.keyword.empty());
        // What learning would leave: the learnt fields, shown in the dialog's controls.
        state.currentEngine = bar;
        ui.fields = engineFieldsOf(bar);
        ui.saveFileAnswers.push_back(at("engine\\bar.eng"));
        EXPECT_TRUE(saveEditDialog(state, services));
    };

    dispatchCommand(state, services, Command{Command::Kind::NewEngine});

    EXPECT_EQ(dialogRuns, std::vector<EditMode>{EditMode::New});
    EXPECT_EQ(state.currentEnginePath, at("engine\\bar.eng"));
    EXPECT_EQ(state.currentEngine, bar);
    ASSERT_TRUE(state.engineMenu.engineMenuIndex.contains("bar"));
    EXPECT_EQ(ui.markedEngineIndex, state.engineMenu.engineMenuIndex.at("bar"));
    EXPECT_EQ(ui.windowTitle, std::string("www.example.jp (bar) - ") + texts::APP_TITLE);
    EXPECT_TRUE(ui.messages.empty());
}

// A fresh folder has no engine folder: saving a new engine and importing one make it.
TEST_F(AppEngineCommands, AFreshFolderGetsItsEngineFolderOnSaveAndOnImport) {
    ASSERT_FALSE(folderExists(at("engine")));
    const EngineDefinition made = learntEngine("made");
    insideDialog = [&](EditMode mode) {
        openEditDialog(state, services, mode);
        state.currentEngine = made;
        ui.fields = engineFieldsOf(made);
        // The Save As dialog opens in the engine folder, there even when the user cancels.
        EXPECT_FALSE(saveEditDialog(state, services));
        EXPECT_TRUE(folderExists(at("engine")));
        ui.saveFileAnswers.push_back(at("engine\\made.eng"));
        EXPECT_TRUE(saveEditDialog(state, services));
    };
    dispatchCommand(state, services, Command{Command::Kind::NewEngine});
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.engineMenuItems, std::vector<std::string>{"made"});
    EXPECT_EQ(state.currentEngine, made);
    EXPECT_EQ(bytesOf("engine\\made.eng"), engineFileBytes(made));  // what the writer always wrote

    TestWorkspace other;  // another fresh folder, for the import
    state.workspace = other.workspace();
    makeDirectory(other.at("outside"));
    ASSERT_EQ(writeEngineFile(made, other.at("outside\\plain.eng")), EngineFileWrite::Written);
    ui.openFileAnswers.push_back(other.at("outside\\plain.eng"));
    dispatchCommand(state, services, Command{Command::Kind::ImportEngine});
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(readWholeFile(other.at("engine\\plain.eng")), readWholeFile(other.at("outside\\plain.eng")));
    EXPECT_EQ(state.currentEnginePath, "engine\\plain.eng");
    EXPECT_EQ(ui.engineMenuItems, std::vector<std::string>{"plain"});
}

TEST_F(AppEngineCommands, AnUnlearntNewEngineIsSavedButTheChosenOneStaysCurrent) {
    writeEngine("engine\\a.eng", learntEngine("a"));
    buildEngineMenu(state, ui);
    ASSERT_TRUE(loadEngine(state, services, "engine\\a.eng"));
    insideDialog = [&](EditMode mode) {
        openEditDialog(state, services, mode);
        ui.fields.keyword = "typed";
        ui.yesNoAnswers.push_back(true);
        ui.saveFileAnswers.push_back(at("engine\\empty.eng"));
        EXPECT_TRUE(saveEditDialog(state, services));
    };
    dispatchCommand(state, services, Command{Command::Kind::NewEngine});

    EngineDefinition stored;
    ASSERT_EQ(readEngineFile(stored, at("engine\\empty.eng")), EngineFileRead::Read);
    EXPECT_EQ(stored.keyword, "typed");
    EXPECT_EQ(state.currentEnginePath, "engine\\a.eng");
    EXPECT_EQ(state.currentEngine, learntEngine("a"));
    EXPECT_EQ(ui.markedEngineIndex, state.engineMenu.engineMenuIndex.at("a"));
    EXPECT_TRUE(state.engineMenu.engineMenuIndex.contains("empty"));
}

}  // namespace
}  // namespace vexor::testing
