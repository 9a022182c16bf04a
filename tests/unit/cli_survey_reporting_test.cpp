// The survey's reporting in vexor-cli: the queue between the worker and the main thread, the
// progress lines and first-page warnings on standard error, and the terminal adapter's table.
#include <gtest/gtest.h>

#include <string_view>
#include <thread>

#include "app/texts.h"
#include "cli/progress_display.h"
#include "cli/survey_event_queue.h"
#include "cli/terminal_messages.h"
#include "platform/text.h"

namespace vexor::cli {
namespace {

using namespace std::chrono_literals;

std::string utf8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

struct CapturedConsole {
    std::string out;
    std::string err;
    Console console(bool terminal) {
        return {[this](const std::string& t) { out += t; }, [this](const std::string& t) { err += t; },
                terminal};
    }
};

TEST(CliSurveyEventQueue, DeliversEveryEventOfTheWorkerInOrder) {
    SurveyEventQueue queue;
    std::thread worker([&queue] {
        for (int row = 0; row < 50; ++row) {
            queue.progress(row, 0);
            queue.searchEnded(row, SearchEnd::TenPages, 10);
            queue.result(row, row);
        }
    });
    std::vector<SurveyEvent> received;
    while (received.size() < 150) {
        if (auto event = queue.pop(5s)) received.push_back(*event);
        else break;
    }
    worker.join();
    ASSERT_EQ(received.size(), 150u);
    for (int row = 0; row < 50; ++row) {
        EXPECT_EQ(received[row * 3].kind, SurveyEvent::Kind::Progress);
        EXPECT_EQ(received[row * 3 + 1].kind, SurveyEvent::Kind::SearchEnded);
        EXPECT_EQ(received[row * 3 + 1].how, SearchEnd::TenPages);
        EXPECT_EQ(received[row * 3 + 1].page, 10);
        EXPECT_EQ(received[row * 3 + 2].kind, SurveyEvent::Kind::Result);
        EXPECT_EQ(received[row * 3 + 2].row, row);
        EXPECT_EQ(received[row * 3 + 2].value, row);
    }
    EXPECT_FALSE(queue.pop(1ms).has_value());
}

TEST(CliProgressDisplay, WarnsOnlyForAnEmptyOrUnreadableFirstPage) {
    CapturedConsole captured;
    const Console console = captured.console(false);
    const std::deque<std::string> keywords = {"empty", "garbled", "later", "repeat", "ten",
                                              "stopped", "found"};
    ProgressDisplay display(console, keywords);
    display.searchEnded(0, SearchEnd::EmptyPage, 1);
    display.searchEnded(1, SearchEnd::NoTenLinks, 1);
    display.searchEnded(2, SearchEnd::EmptyPage, 2);  // later pages end a search normally
    display.searchEnded(3, SearchEnd::RepeatedPage, 1);
    display.searchEnded(4, SearchEnd::TenPages, 10);
    display.searchEnded(5, SearchEnd::Aborted, 1);
    display.searchEnded(6, SearchEnd::Found, 1);
    EXPECT_EQ(display.unreadableKeywords(), 2);
    EXPECT_EQ(captured.err,
              "warning: \"empty\": the first results page came back empty; recorded as not "
              "ranked\n"
              "warning: \"garbled\": the first results page gave no links the engine's rules accept; "
              "recorded as not ranked\n");
    display.finish();
    EXPECT_NE(captured.err.find("2 keywords could not be read on the first results page; the "
                                "engine may need to be learnt again\n"),
              std::string::npos);
    EXPECT_EQ(captured.out, "");
}

TEST(CliProgressDisplay, OffATerminalOneLinePerKeywordAndNoProgress) {
    CapturedConsole captured;
    const Console console = captured.console(false);
    const std::deque<std::string> keywords = {"a", utf8ToCp932(utf8(u8"東京")).value()};
    ProgressDisplay display(console, keywords);
    display.progress(0, 0);
    display.progress(0, 10);
    display.result(0, 12);
    display.progress(1, 0);
    display.result(1, 0);
    display.finish();
    EXPECT_EQ(captured.err, utf8(u8"[1/2] a  rank 12\n[2/2] 東京  not ranked\n"));
}

TEST(CliProgressDisplay, OnATerminalTheStatusLineIsRedrawnAndCleared) {
    CapturedConsole captured;
    const Console console = captured.console(true);
    const std::deque<std::string> keywords = {utf8ToCp932(utf8(u8"東京")).value()};
    ProgressDisplay display(console, keywords);
    display.progress(0, 0);
    display.progress(0, 90);
    display.result(0, -1);
    // "[1/1] 東京  results read: 90" is 28 columns wide: 東京 takes four.
    EXPECT_EQ(captured.err, utf8(u8"\r[1/1] 東京  results read: 0"
                                 u8"\r[1/1] 東京  results read: 90") +
                                "\r" + std::string(28, ' ') + "\r" +
                                utf8(u8"[1/1] 東京  aborted\n"));
    captured.err.clear();
    display.progress(0, 10);
    display.searchEnded(0, SearchEnd::EmptyPage, 1);  // the warning gets a clean line
    const std::string status = utf8(u8"\r[1/1] 東京  results read: 10");
    EXPECT_EQ(captured.err.substr(0, status.size() + 30 + 9),
              status + "\r" + std::string(28, ' ') + "\rwarning: ");
}

TEST(CliTableList, KeepsTheResultListForPrinting) {
    TableList list;
    EXPECT_EQ(list.table().captions[0], texts::CAPTION_KEYWORD);
    EXPECT_EQ(list.table().captions[1], texts::CAPTION_RANK);
    EXPECT_EQ(list.table().captions[5], texts::CAPTION_HISTORY);
    list.appendRow("k1");
    list.appendRow("k2");
    list.setCell(1, 2, "7");
    list.setCell(0, 0, "not a keyword");  // column 0 keeps the keyword
    list.setCell(2, 1, "no such row");
    list.setColumnCaption(1, "2024/05/01 (nuq)\n");
    ASSERT_EQ(list.table().rows.size(), 2u);
    EXPECT_EQ(list.table().rows[0][0], "k1");
    EXPECT_EQ(list.table().rows[0][1], "-");
    EXPECT_EQ(list.table().rows[1][2], "7");
    EXPECT_EQ(list.table().captions[1], "2024/05/01 (nuq)\n");
    list.clearRows();
    EXPECT_TRUE(list.table().rows.empty());
}

TEST(CliTerminalMessages, GoToTheConsoleInUtf8AndQuestionsAreAnsweredNo) {
    CapturedConsole captured;
    TerminalMessages messages(captured.console(false));
    messages.showMessage(Owner::MainWindow, texts::MSG_NOT_LEARNT, Icon::Warning);
    messages.showMessage(Owner::EditDialog, texts::MSG_LEARN_SUCCEEDED, Icon::Information);
    EXPECT_EQ(captured.err, utf8(u8"未学習です\n"));
    EXPECT_EQ(captured.out, utf8(u8"学習に成功しました\n"));
    EXPECT_FALSE(messages.askYesNo(Owner::MainWindow, "?", Icon::Question));
    EXPECT_EQ(captured.err, utf8(u8"未学習です\n") + "?\n");
}

}  // namespace
}  // namespace vexor::cli
