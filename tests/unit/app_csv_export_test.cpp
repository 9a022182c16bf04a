#include "app/csv_export.h"

#include "app/command_dispatch.h"
#include "app/text_format.h"
#include "app/texts.h"
#include "app_test_fixture.h"

#include <string_view>

namespace vexor::testing {
namespace {

using AppCsvExport = AppTest;

TEST_F(AppCsvExport, WritesTheShownListWithAByteOrderMarkAndSaysWhenItCannot) {
    const Command exportCsv{Command::Kind::ExportCsv};
    dispatchCommand(state, services, exportCsv);
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{texts::MSG_NO_SURVEY_OPEN});
    EXPECT_EQ(ui.saveDialogs, 0);

    ASSERT_TRUE(replaceFileContent(at("s.txt"), "www.example.jp\r\n=1+1\r\n-\r\nok\r\n"));
    makeDirectory(at("www.example.jp"));
    ASSERT_TRUE(replaceFileContent(at("www.example.jp\\0.txt"),
                                   "2006/02/03 (a)\r\n2006/02/03:01:14:29\t=1+1\t3\r\n"
                                   "2006/02/03:01:14:29\tok\t0 failed 2 http-503\r\n"));
    state.lastSurveyPath = "s.txt";
    startupLoad(state, services);
    ui.messages.clear();
    const std::string unwritable = at("no such folder\\out.csv");
    ui.saveFileAnswers = {std::nullopt, at("out.csv"), unwritable};

    dispatchCommand(state, services, exportCsv);  // cancelled
    EXPECT_FALSE(fileExists(at("out.csv")));
    dispatchCommand(state, services, exportCsv);
    const std::u8string_view csv = u8"\uFEFFキーワード,2006/02/03 (a),-,-,-,-\r\n"
                                   u8"'=1+1,3,,,,\r\n'-,,,,,\r\nok,failed: http-503 on page 2,,,,\r\n";
    EXPECT_EQ(bytesOf("out.csv"), std::string(csv.begin(), csv.end()));
    EXPECT_TRUE(ui.messages.empty());
    dispatchCommand(state, services, exportCsv);
    EXPECT_EQ(ui.messageTexts(),
              std::vector<std::string>{formatWithText(texts::FMT_ENGINE_WRITE_FAILED, unwritable)});
    EXPECT_EQ(ui.proposedCsvNames, std::vector<std::string>(3, "www.example.jp.csv"));
}

}  // namespace
}  // namespace vexor::testing
