#include "app/edit_dialog.h"

#include "app/text_format.h"
#include "app/texts.h"

#ifndef _WIN32
#include <unistd.h>
#endif
#include "app_test_fixture.h"

namespace vexor::testing {
namespace {

using AppEditDialog = AppTest;

EngineDefinition readBack(const std::string& path) {
    EngineDefinition stored;
    EXPECT_EQ(readEngineFile(stored, path), EngineFileRead::Read) << path;
    return stored;
}

// "最終学習日時: " followed by the given date and time.
std::string learntAtLabel(const std::string& dateAndTime) {
    const std::string pattern = texts::FMT_LEARNT_AT;
    return pattern.substr(0, pattern.find("%s")) + dateAndTime;
}

TEST_F(AppEditDialog, EditModeShowsTheFilesFieldsAndWhenItWasLearnt) {
    writeEngine("engine\\a.eng", learntEngine("a"));
    EngineDefinition unlearnt = learntEngine("u");
    unlearnt.linkRules.clear();
    writeEngine("engine\\u.eng", unlearnt);

    state.currentEnginePath = "engine\\a.eng";
    openEditDialog(state, services, EditMode::Edit);
    EXPECT_EQ(ui.fields.keyword, "kw-a");
    EXPECT_EQ(ui.fields.firstResultUrl, "http://first.a/");
    EXPECT_EQ(ui.fields.tenthResultUrl, "http://tenth.a/");
    EXPECT_EQ(ui.fields.page2Url, "http://a.example/s?q=kw&p=11");
    EXPECT_EQ(ui.fields.page3Url, "http://a.example/s?q=kw&p=21");
    EXPECT_EQ(ui.fields.startMarker, "<ol>");
    EXPECT_EQ(ui.fields.endMarker, "</ol>");
    EXPECT_EQ(ui.engineStatus(), learntAtLabel("2006/02/01 14:29"));

    state.currentEnginePath = "engine\\u.eng";
    openEditDialog(state, services, EditMode::Edit);
    EXPECT_EQ(ui.fields.keyword, "kw-u");
    EXPECT_EQ(ui.engineStatus(), texts::TEXT_NOT_LEARNT);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AppEditDialog, NewModeStartsEmptyWhateverWasShownBefore) {
    state.currentEngine = learntEngine("before");
    ui.fields = engineFieldsOf(learntEngine("stale"));
    openEditDialog(state, services, EditMode::New);
    EXPECT_EQ(ui.fields.keyword, "");
    EXPECT_EQ(ui.fields.endMarker, "");
    EXPECT_EQ(ui.engineStatus(), texts::TEXT_NOT_LEARNT);
    EXPECT_EQ(state.currentEngine, EngineDefinition{});
    EXPECT_EQ(state.backupEngine, learntEngine("before"));
}

TEST_F(AppEditDialog, CancelRestoresTheEngineExactlyHoweverOftenItIsRepeated) {
    writeEngine("engine\\a.eng", learntEngine("on-disk"));
    state.currentEnginePath = "engine\\a.eng";
    const EngineDefinition before = learntEngine("in-memory");  // differs from the file
    state.currentEngine = before;

    for (int round = 0; round < 3; ++round) {
        openEditDialog(state, services, EditMode::Edit);
        EXPECT_EQ(state.currentEngine, learntEngine("on-disk"));
        state.currentEngine.linkRules.push_back({LinkSelection::LastTen, 5, "extra"});
        ui.fields.keyword = "typed";
        cancelEditDialog(state);
        EXPECT_EQ(state.currentEngine, before) << "round " << round;
        ASSERT_EQ(state.currentEngine.linkRules.size(), 2u);
    }
    EXPECT_EQ(readBack(at("engine\\a.eng")), learntEngine("on-disk"));
}

TEST_F(AppEditDialog, LearningReportsToTheDialogAndCancelDiscardsIt) {
    state.currentEngine = learntEngine("before");
    openEditDialog(state, services, EditMode::New);
    ui.fields.keyword = "kw";  // the four addresses are missing
    learnInEditDialog(state, services);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.substr(0, std::string(texts::MSG_REQUIRED_MISSING).size() + 1),
              std::string(texts::MSG_REQUIRED_MISSING) + "\n");  // then the four fields by name
    EXPECT_EQ(ui.messages[0].owner, Owner::EditDialog);
    EXPECT_TRUE(fetched.empty());
    EXPECT_EQ(state.currentEngine.keyword, "kw");  // the fields were taken in

    // A learning run that succeeds against a scripted results page.
    std::string page = "<ol>";
    for (int i = 1; i <= 10; ++i)
        page += "<li><a href=\"http://r" + std::to_string(i) + ".example/\">" + std::to_string(i) + "</a>";
    services.fetch = [&page](const std::string&, std::string& body, const std::atomic<bool>&) {
        body = page;
        return FetchOutcome{};
    };
    ui.fields.firstResultUrl = "http://r1.example/";
    ui.fields.tenthResultUrl = "http://r10.example/";
    ui.fields.page2Url = "http://e.example/find?q=kw&start=10";
    ui.fields.page3Url = "http://e.example/find?q=kw&start=20";
    learnInEditDialog(state, services);
    ASSERT_TRUE(isLearnt(state.currentEngine));
    EXPECT_EQ(state.currentEngine.queryTemplate, "http://e.example/find?q=%s&start=%d");
    EXPECT_EQ(ui.engineStatus(), learntAtLabel("2006/02/01 14:29"));

    cancelEditDialog(state);
    EXPECT_EQ(state.currentEngine, learntEngine("before"));
}

TEST_F(AppEditDialog, SavingAnUnlearntEngineAsksFirst) {
    openEditDialog(state, services, EditMode::New);
    ui.fields.keyword = "typed";

    // No: the dialog stays open, nothing is asked or written.
    EXPECT_FALSE(saveEditDialog(state, services));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].question);
    EXPECT_EQ(ui.messages[0].owner, Owner::EditDialog);
    EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
    EXPECT_EQ(ui.messages[0].text, texts::MSG_SAVE_UNLEARNT);
    EXPECT_EQ(ui.saveDialogs, 0);
    EXPECT_EQ(state.currentEnginePath, "");

    // Yes: stored as it is, with no rules.
    ui.yesNoAnswers.push_back(true);
    makeDirectory(at("engine"));
    ui.saveFileAnswers.push_back(at("engine\\plain.eng"));
    EXPECT_TRUE(saveEditDialog(state, services));
    EXPECT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(state.currentEnginePath, at("engine\\plain.eng"));
    const EngineDefinition stored = readBack(at("engine\\plain.eng"));
    EXPECT_EQ(stored.keyword, "typed");
    EXPECT_TRUE(stored.linkRules.empty());
    EXPECT_EQ(state.currentEngine, stored);
}

TEST_F(AppEditDialog, CancellingSaveAsKeepsTheDialogOpenAndThePath) {
    state.currentEnginePath = "engine\\old.eng";
    openEditDialog(state, services, EditMode::New);
    state.currentEngine = learntEngine("learnt");  // as after a learning run
    ui.fields = engineFieldsOf(state.currentEngine);
    EXPECT_FALSE(saveEditDialog(state, services));
    EXPECT_EQ(ui.saveDialogs, 1);
    EXPECT_TRUE(ui.messages.empty());  // learnt: no question
    EXPECT_EQ(state.currentEnginePath, "engine\\old.eng");
    EXPECT_FALSE(fileExists(at("engine\\old.eng")));
}

TEST_F(AppEditDialog, EditModeSaveRewritesTheFileInPlaceWithEachRuleOnce) {
    writeEngine("engine\\a.eng", learntEngine("a"));
    state.currentEnginePath = "engine\\a.eng";
    openEditDialog(state, services, EditMode::Edit);
    ui.fields.startMarker = "<div id=\"res\">";
    EXPECT_TRUE(saveEditDialog(state, services));

    EXPECT_EQ(ui.saveDialogs, 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(state.currentEnginePath, "engine\\a.eng");
    EngineDefinition expected = learntEngine("a");
    expected.startMarker = "<div id=\"res\">";
    EXPECT_EQ(readBack(at("engine\\a.eng")), expected);
    EXPECT_EQ(state.currentEngine, expected);
    EXPECT_EQ(state.currentEngine.linkRules.size(), 2u);
}

TEST_F(AppEditDialog, AFileThatFailsToReadOpensAnEmptyDialogWithNothingLeftInTheEngine) {
    writeEngine("engine\\cut.eng", learntEngine("cut"));
    const std::string whole = bytesOf("engine\\cut.eng");
    ASSERT_TRUE(replaceFileContent(at("engine\\cut.eng"), whole.substr(0, whole.size() - 3)));
    state.currentEnginePath = "engine\\cut.eng";

    openEditDialog(state, services, EditMode::Edit);

    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].owner, Owner::MainWindow);
    EXPECT_EQ(ui.fields.keyword, "");
    EXPECT_EQ(ui.engineStatus(), texts::TEXT_NOT_LEARNT);
    // The first rule had been read; the engine must not keep it behind an empty dialog.
    EXPECT_EQ(state.currentEngine, EngineDefinition{});

    // Saving what the user typed then asks the unlearnt question and rewrites the same path.
    ui.fields.keyword = "fresh";
    ui.yesNoAnswers.push_back(true);
    EXPECT_TRUE(saveEditDialog(state, services));
    EXPECT_EQ(ui.messages.size(), 2u);
    EXPECT_TRUE(ui.messages[1].question);
    const EngineDefinition stored = readBack(at("engine\\cut.eng"));
    EXPECT_EQ(stored.keyword, "fresh");
    EXPECT_TRUE(stored.linkRules.empty());
}

TEST_F(AppEditDialog, TheCloseBoxKeepsWhatTheDialogPutIntoTheEngine) {
    writeEngine("engine\\a.eng", learntEngine("a"));
    state.currentEnginePath = "engine\\a.eng";
    state.currentEngine = learntEngine("before");
    openEditDialog(state, services, EditMode::Edit);
    // Closed by the close box: nothing is called.
    EXPECT_EQ(state.currentEngine, learntEngine("a"));
    EXPECT_EQ(state.backupEngine, learntEngine("before"));
}

TEST_F(AppEditDialog, ASaveWhoseFileCannotBeMadeSaysSoAndKeepsTheDialogAndTheEngine) {
    state.currentEnginePath = "engine\\before.eng";
    openEditDialog(state, services, EditMode::New);
    state.currentEngine = learntEngine("x");
    ui.fields = engineFieldsOf(state.currentEngine);
    ui.saveFileAnswers.push_back("no-such-folder\\x.eng");
    EXPECT_FALSE(saveEditDialog(state, services)) << "the dialog stays open";
    ASSERT_EQ(ui.messages.size(), 1u);
#ifdef _WIN32
    const std::string shown = "no-such-folder\\x.eng";
#else
    const std::string shown = "no-such-folder/x.eng";  // messages show the system's separators
#endif
    EXPECT_EQ(ui.messages[0].text, formatWithText(texts::FMT_ENGINE_WRITE_FAILED, shown));
    EXPECT_EQ(ui.messages[0].owner, Owner::MainWindow);
    EXPECT_EQ(state.currentEngine, learntEngine("x")) << "the learnt engine is not read over";
    EXPECT_EQ(state.currentEnginePath, "engine\\before.eng");
}

#ifndef _WIN32
TEST_F(AppEditDialog, ASaveThatCannotMakeATemporaryFileWritesTheFileInPlace) {
    writeEngine("engine\\a.eng", learntEngine("old"));
    state.currentEnginePath = "engine\\a.eng";
    openEditDialog(state, services, EditMode::Edit);
    state.currentEngine = learntEngine("new");
    ui.fields = engineFieldsOf(state.currentEngine);
    // Every name the save would take for its temporary file is taken.
    for (int attempt = 0; attempt < 100; ++attempt)
        ASSERT_TRUE(makeDirectory(at("engine\\a.eng.tmp" + std::to_string(getpid()) + "-" + std::to_string(attempt))));
    EXPECT_TRUE(saveEditDialog(state, services));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(readBack(at("engine\\a.eng")), learntEngine("new"));
    EXPECT_EQ(state.currentEngine, learntEngine("new"));
}

TEST_F(AppEditDialog, ASaveUnderANameAtTheLengthLimitWritesTheFileInPlace) {
    const std::string name = "engine\\" + std::string(251, 'n') + ".eng";  // 255 bytes
    writeEngine(name, learntEngine("old"));
    state.currentEnginePath = name;
    openEditDialog(state, services, EditMode::Edit);
    state.currentEngine = learntEngine("new");
    ui.fields = engineFieldsOf(state.currentEngine);
    EXPECT_TRUE(saveEditDialog(state, services));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(readBack(at(name)), learntEngine("new"));
}
#endif

}  // namespace
}  // namespace vexor::testing
