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
            queue.searchEnded(row, {SearchEnd::Failed, 3, {3, FailureCause::HttpStatus, 429}});
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
        EXPECT_EQ(received[row * 3 + 1].ending,
                  (SearchEnding{SearchEnd::Failed, 3, {3, FailureCause::HttpStatus, 429}}));
        EXPECT_EQ(received[row * 3 + 2].kind, SurveyEvent::Kind::Result);
        EXPECT_EQ(received[row * 3 + 2].row, row);
        EXPECT_EQ(received[row * 3 + 2].value, row);
    }
    EXPECT_FALSE(queue.pop(1ms).has_value());
}

TEST(CliProgressDisplay, WarnsForEveryFailedKeywordWithItsPageAndCause) {
    CapturedConsole captured;
    const Console console = captured.console(false);
    const std::deque<std::string> keywords = {"empty", "garbled", "throttled", "untrusted",
                                              "consent", "moved", "repeat", "ten", "stopped",
                                              "found"};
    ProgressDisplay display(console, keywords);
    const auto failed = [](int page, FailureCause cause, int status) {
        return SearchEnding{SearchEnd::Failed, page, {page, cause, status}};
    };
    display.searchEnded(0, failed(1, FailureCause::EmptyPage, 200));
    display.searchEnded(1, failed(1, FailureCause::NoLinks, 200));
    display.searchEnded(2, failed(3, FailureCause::HttpStatus, 429));
    display.searchEnded(3, failed(1, FailureCause::Certificate, 0));
    display.searchEnded(4, failed(7, FailureCause::Consent, 200));
    display.searchEnded(5, failed(2, FailureCause::RedirectAway, 200));
    // Genuine ends of the results are no failures.
    display.searchEnded(6, {SearchEnd::RepeatedPage, 4, {}});
    display.searchEnded(7, {SearchEnd::TenPages, 10, {}});
    display.searchEnded(8, {SearchEnd::Aborted, 1, {}});
    display.searchEnded(9, {SearchEnd::Found, 1, {}});
    EXPECT_EQ(display.failedKeywords(), 6);
    const std::string tail = "; recorded as failed\n";
    EXPECT_EQ(captured.err,
              "warning: \"empty\": the first results page came back empty" + tail +
              "warning: \"garbled\": the first results page gave no links the engine's rules accept" +
              tail +
              "warning: \"throttled\": results page 3 came back with HTTP status 429" + tail +
              "warning: \"untrusted\": the first results page could not be fetched: the engine's "
              "certificate could not be verified (unknown authority, another name or out of date)" +
              tail + "warning: \"consent\": results page 7 is a consent page, not results" + tail +
              "warning: \"moved\": results page 2 was redirected away from the engine's results" +
              tail);
    display.finish();
    EXPECT_NE(captured.err.find("6 keywords failed; survey them again with --retry-failed; some "
                                "results pages no longer read with the engine's rules"),
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
    display.searchEnded(0, {SearchEnd::Failed, 1, {1, FailureCause::EmptyPage, 200}});  // a clean line
    const std::string status = utf8(u8"\r[1/1] 東京  results read: 10");
    EXPECT_EQ(captured.err.substr(0, status.size() + 30 + 9),
              status + "\r" + std::string(28, ' ') + "\rwarning: ");
}

TEST(CliTableList, KeepsTheResultListForPrinting) {
    TableList list;
    const ResultListModel& rows = list.shownRows();
    EXPECT_EQ(rows.caption(0), texts::CAPTION_KEYWORD);
    EXPECT_EQ(rows.caption(1), texts::CAPTION_RANK);
    EXPECT_EQ(rows.caption(5), texts::CAPTION_HISTORY);
    list.appendRow("k1");
    list.appendRow("k2");
    list.setCell(1, 2, "7");
    list.setCell(0, 0, "not a keyword");  // column 0 keeps the keyword
    list.setCell(2, 1, "no such row");
    list.setColumnCaption(1, "2024/05/01 (nuq)\n");
    ASSERT_EQ(rows.rowCount(), 2);
    EXPECT_EQ(rows.cell(0, 0), "k1");
    EXPECT_EQ(rows.cell(0, 1), "-");
    EXPECT_EQ(rows.cell(1, 2), "7");
    EXPECT_EQ(rows.caption(1), "2024/05/01 (nuq)\n");
    list.clearRows();
    EXPECT_EQ(rows.rowCount(), 0);
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
