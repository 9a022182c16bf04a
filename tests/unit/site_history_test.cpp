// Every run of a site's history: the archived runs ordered by their content, then files 4 to 0;
// what names and starts a run; the first record of a keyword in a run.
#include "survey/site_history.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "japanese.h"
#include "temp_folder.h"
#include "test_workspace.h"

namespace vexor {
namespace {

using testing::cp932;
using testing::TempFolder;
using testing::writeBytes;
namespace fs = std::filesystem;

// The runs as (start, engine, "keyword=rank ..." in file order).
struct RunView {
    std::string start;
    std::string engine;
    std::string records;

    friend bool operator==(const RunView&, const RunView&) = default;
};

std::ostream& operator<<(std::ostream& out, const RunView& run) {
    return out << "{" << run.start << " | " << run.engine << " | " << run.records << "}";
}

std::vector<RunView> view(const SiteHistory& history) {
    std::vector<RunView> runs;
    for (const HistoryRun& run : history.runs) {
        std::string records;
        for (const RunRecord& record : run.records) {
            if (!records.empty()) records += ' ';
            records += history.keywords.at(record.keyword) + "=" + std::to_string(record.entry.rank);
        }
        runs.push_back({run.start, run.engine, records});
    }
    return runs;
}

class SiteHistoryFolder : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directory(scratch.native() / "site"); }

    void write(int generation, const std::string& bytes) {
        writeBytes(scratch.native() / "site" / (std::to_string(generation) + ".txt"), bytes);
    }
    void archive(const std::string& name, const std::string& bytes) {
        fs::create_directories(scratch.native() / "site" / "archive");
        writeBytes(scratch.native() / "site" / "archive" / name, bytes);
    }
    std::vector<RunView> runs() const { return view(readSiteHistory(folder)); }

    TempFolder scratch;
    const std::string folder = scratch.file("site");
};

TEST_F(SiteHistoryFolder, WithoutAnArchiveTheRunsAreFilesFourToZero) {
    write(0, "2024/05/05 (nuq)\r\n");  // just begun: a run without records
    write(1, "2024/05/04 (my.engine)\r\n2024/05/04:09:00:01\ta\t3\r\n2024/05/04:09:00:02\tb\t0\r\n");
    // 2.txt missing, 3.txt empty: no runs
    write(3, "");
    write(4, "2024/05/01:08:00:00\ta\t7\n2024/05/01:08:00:05\ta\t9\n\nnot a record\n");
    EXPECT_EQ(runs(), (std::vector<RunView>{
                          {"2024/05/01 08:00:00", "", "a=7"},
                          {"2024/05/04 09:00:01", "my.engine", "a=3 b=0"},
                          {"2024/05/05 00:00:00", "nuq", ""},
                      }));
}

TEST_F(SiteHistoryFolder, AnEmptyFolderHasNoRuns) {
    const SiteHistory history = readSiteHistory(folder);
    EXPECT_TRUE(history.runs.empty());
    EXPECT_TRUE(history.keywords.empty());
    EXPECT_TRUE(readSiteHistory(scratch.file("missing")).runs.empty());
}

TEST_F(SiteHistoryFolder, ArchivedRunsComeFirstOrderedByTheirContent) {
    write(4, "2024/05/10 (nuq)\r\n2024/05/10:07:00:00\ta\t1\r\n");
    // Names that disagree with the content: the content's start decides.
    archive("20240509-070000.txt", "2024/05/02 (nuq)\r\n2024/05/02:07:00:00\ta\t2\r\n");
    archive("20240501-070000.txt", "2024/05/08 (nuq)\r\n2024/05/08:07:00:00\ta\t3\r\n");
    // Without records a run starts at its header's date.
    archive("b.txt", "2024/05/05 (old)\r\n");
    // Not runs: other extensions, and a file with neither header nor record.
    archive("notes.html", "2024/05/01 (nuq)\r\n2024/05/01:07:00:00\ta\t4\r\n");
    archive("blank.txt", "\r\n\r\n");
    EXPECT_EQ(runs(), (std::vector<RunView>{
                          {"2024/05/02 07:00:00", "nuq", "a=2"},
                          {"2024/05/05 00:00:00", "old", ""},
                          {"2024/05/08 07:00:00", "nuq", "a=3"},
                          {"2024/05/10 07:00:00", "nuq", "a=1"},
                      }));
}

TEST_F(SiteHistoryFolder, RunsOfTheSameSecondFollowTheirNumberedNames) {
    const std::string header = "2024/05/02 (nuq)\r\n";
    archive("20240502-070000-10.txt", header + "2024/05/02:07:00:00\tk\t10\r\n");
    archive("20240502-070000-2.txt", header + "2024/05/02:07:00:00\tk\t2\r\n");
    archive("20240502-070000.txt", header + "2024/05/02:07:00:00\tk\t1\r\n");
    archive("20240502-070000-3.txt", header + "2024/05/02:07:00:00\tk\t3\r\n");
    std::vector<std::string> order;
    for (const RunView& run : runs()) order.push_back(run.records);
    EXPECT_EQ(order, (std::vector<std::string>{"k=1", "k=2", "k=3", "k=10"}));
}

TEST_F(SiteHistoryFolder, FirstRecordOfAKeywordInARunWinsAndKeywordsAreShared) {
    const std::string japanese = cp932(u8"表示 ソフト");  // 0x5C trail bytes
    archive("a.txt", "2024/05/01 (nuq)\r\n2024/05/01:07:00:00\t" + japanese + "\t4\r\n" +
                         "2024/05/01:07:00:01\t" + japanese + "\t9\r\n2024/05/01:07:00:02\tx\t0\r\n");
    write(0, "2024/05/02 (nuq)\r\n2024/05/02:07:00:00\tx\t5\r\n2024/05/02:07:00:01\t" + japanese +
                 "\t6\r\n2024/05/02:07:00:02\tx\t1\r\n");
    const SiteHistory history = readSiteHistory(folder);
    EXPECT_EQ(view(history), (std::vector<RunView>{
                                 {"2024/05/01 07:00:00", "nuq", japanese + "=4 x=0"},
                                 {"2024/05/02 07:00:00", "nuq", "x=5 " + japanese + "=6"},
                             }));
    ASSERT_EQ(history.keywords.size(), 2u);
    EXPECT_EQ(history.indexOf(japanese), 0u);
    EXPECT_EQ(history.indexOf("x"), 1u);
    EXPECT_EQ(history.indexOf("y"), std::nullopt);
}

TEST(RunStart, FromTheFirstRecordElseTheHeaderDate) {
    EXPECT_EQ(runStart("2006/02/01:14:29:44", "2006/01/31 (nuq)"), "2006/02/01 14:29:44");
    EXPECT_EQ(runStart("", "2006/01/31 (nuq)"), "2006/01/31 00:00:00");
    EXPECT_EQ(runStart("", "2006/01/31"), "2006/01/31 00:00:00");
    // Hand-written lines that do not follow the pictures are kept as written.
    EXPECT_EQ(runStart("yesterday", "2006/01/31 (nuq)"), "yesterday");
    EXPECT_EQ(runStart("2006/2/1:14:29:44", ""), "2006/2/1:14:29:44");
    EXPECT_EQ(runStart("", "a header"), "a header");
    EXPECT_EQ(runStart("", ""), "");
}

}  // namespace
}  // namespace vexor
