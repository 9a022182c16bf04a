// Shared set-up of the shell logic tests: a fresh workspace, a recording user interface, one
// AppState working there, and services with a pinned clock, a fetcher that serves nothing and
// an edit dialog whose inside each test scripts.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "engine/engine_definition.h"
#include "engine/engine_file.h"
#include "engine/engine_fields.h"
#include "platform/files.h"
#include "fake_ui.h"
#include "recording_events.h"
#include "test_workspace.h"

namespace vexor::testing {

inline SystemTime pinnedTime() { return SystemTime{2006, 2, 3, 1, 14, 29, 44, 0}; }

// A learnt engine whose strings all carry tag, so two of them are told apart.
inline EngineDefinition learntEngine(const std::string& tag) {
    EngineDefinition engine;
    engine.keyword = "kw-" + tag;
    engine.page2Url = "http://" + tag + ".example/s?q=kw&p=11";
    engine.page3Url = "http://" + tag + ".example/s?q=kw&p=21";
    engine.queryTemplate = "http://" + tag + ".example/s?q=%s&p=%d";
    engine.pageStep = 10;
    engine.pageOffset = 1;
    engine.keywordEncoding = KeywordEncoding::Utf8;
    engine.firstResultUrl = "http://first." + tag + "/";
    engine.tenthResultUrl = "http://tenth." + tag + "/";
    engine.startMarker = "<ol>";
    engine.endMarker = "</ol>";
    engine.learnedAt = pinnedTime();
    engine.linkRules = {{LinkSelection::FirstTen, 1, "<a href=\""},
                        {LinkSelection::ExactlyTen, 2, "<h3><a href=\""}};
    return engine;
}

class AppTest : public ::testing::Test {
protected:
    AppTest() { state.workspace = files.workspace(); }

    // Writes an engine file at a path of the workspace (the folder "engine" is made when
    // missing).
    void writeEngine(const std::string& path, const EngineDefinition& engine) {
        makeDirectory(at("engine"));
        ASSERT_EQ(writeEngineFile(engine, at(path)), EngineFileWrite::Written) << path;
    }

    // A path of the workspace, and the bytes of the file there ("" when missing).
    std::string at(const std::string& path) const { return files.at(path); }
    std::string bytesOf(const std::string& path) { return readWholeFile(at(path)).value_or(""); }

    TestWorkspace files;  // made first, removed last
    FakeUi ui;
    RecordingEvents events;
    std::vector<std::string> fetched;
    std::vector<EditMode> dialogRuns;
    std::function<void(EditMode)> insideDialog;  // what the user does while the dialog is open
    AppState state;  // after everything a worker may still use: its destructor joins the worker
    AppServices services{
        ui, ui, ui, ui, events,
        [this](const std::string& address, std::string& body, const std::atomic<bool>&) {
            fetched.push_back(address);
            body.clear();
            return FetchOutcome{FetchFailure::EmptyBody, 200};
        },
        [] { return pinnedTime(); },
        [this](EditMode mode) {
            dialogRuns.push_back(mode);
            if (insideDialog) insideDialog(mode);
        }};
};

}  // namespace vexor::testing
