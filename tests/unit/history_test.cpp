// History files: record and header bytes, loading into tables and the result list, the resume
// decision and the rotation of generations.
#include "survey/history.h"
#include "survey/history_rotation.h"
#include "platform/files.h"
#include "platform/leading_number.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "app/survey_display.h"
#include "fake_ui.h"
#include "temp_folder.h"
#include "test_workspace.h"

namespace vexor {
namespace {

using testing::FakeUi;
using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;
namespace fs = std::filesystem;

SystemTime at(uint16_t year, uint16_t month, uint16_t day, uint16_t hour, uint16_t minute,
              uint16_t second) {
    SystemTime t;
    t.year = year;
    t.month = month;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    return t;
}

TEST(HistoryLines, RecordAndHeaderAreFixedBytesEndingInCrLf) {
    EXPECT_EQ(historyRecord(at(2006, 2, 1, 14, 29, 44), "kw", {3, {}}), "2006/02/01:14:29:44\tkw\t3\r\n");
    EXPECT_EQ(historyRecord(at(2024, 12, 9, 7, 5, 0), "a b", {0, {}}), "2024/12/09:07:05:00\ta b\t0\r\n");
    EXPECT_EQ(generationHeader(at(2006, 2, 1, 23, 59, 59), "nuq"), "2006/02/01 (nuq)");
    EXPECT_EQ(historyFilePath("site", 3), "site\\3.txt");
}

TEST(HistoryLines, RankFieldReadsLikeAFormattedScan) {
    EXPECT_EQ(leadingNumber("12"), 12);
    EXPECT_EQ(leadingNumber("  \t7"), 7);
    EXPECT_EQ(leadingNumber("+5"), 5);
    EXPECT_EQ(leadingNumber("-3"), -3);
    EXPECT_EQ(leadingNumber("42abc"), 42);
    EXPECT_EQ(leadingNumber("abc"), 0);
    EXPECT_EQ(leadingNumber(""), 0);
    EXPECT_EQ(leadingNumber("-"), 0);
    EXPECT_EQ(leadingNumber("99999999999999999999"), 2147483647);
    EXPECT_EQ(leadingNumber("-99999999999999999999"), -2147483647 - 1);
}

TEST(HistoryLines, CellTexts) {
    const HistoryTable table{{"found", {12, {}}}, {"missing", {0, {}}}};
    EXPECT_EQ(rankCellText(entryOf(table, "found")), "12");
    EXPECT_EQ(rankCellText(entryOf(table, "missing")), "-");
    EXPECT_EQ(rankCellText(entryOf(table, "absent")), "");
}

// A survey with its history folder "site" in a temporary folder, shown in a fake list.
class HistoryFolder : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(site());
        state.historyDirectory = folder;
        setKeywords({"alpha", "beta", "gamma"});
    }

    fs::path site() const { return scratch.native() / "site"; }

    void setKeywords(std::initializer_list<std::string> keywords) {
        state.keywords.assign(keywords);
        ui.clearRows();
        for (const auto& keyword : keywords) ui.appendRow(keyword);
    }

    void write(int generation, const std::string& bytes) {
        writeBytes(site() / (std::to_string(generation) + ".txt"), bytes);
    }
    std::string read(int generation) const {
        return readBytes(site() / (std::to_string(generation) + ".txt"));
    }
    bool exists(int generation) const {
        return fs::exists(site() / (std::to_string(generation) + ".txt"));
    }

    void load() {
        loadHistory(state, folder);
        showHistory(ui, state);
    }

    RotationOutcome rotate(const std::string& header) {
        const RotationOutcome outcome = rotateGenerations(folder, header);
        loadHistory(state, folder);
        if (outcome == RotationOutcome::Rotated) state.generationCaptions[0] = header;
        showHistory(ui, state);
        return outcome;
    }
    std::vector<std::string> column(int c) const {
        std::vector<std::string> cells;
        for (const auto& row : ui.rows) cells.push_back(row[c]);
        return cells;
    }

    TempFolder scratch;
    const std::string folder = scratch.file("site");
    SurveyState state;
    FakeUi ui;
};

TEST_F(HistoryFolder, EmptyFolderShowsDashCaptionsAndEmptyCells) {
    load();
    for (int c = 1; c <= 5; ++c) {
        EXPECT_EQ(ui.captions[c], "-") << c;
        EXPECT_EQ(column(c), (std::vector<std::string>{"", "", ""})) << c;
        EXPECT_TRUE(state.historyTables[c - 1].empty());
    }
}

TEST_F(HistoryFolder, CaptionsComeFromHeadersOrStartDates) {
    write(0, "2006/02/01 (nuq)\r\n");                                   // header, no records
    write(1, "2006/01/20 (nuq)\r\n2006/01/20:10:00:00\talpha\t4\r\n");  // header and records
    write(2, "2006/01/10:09:00:00\talpha\t5\n2006/01/11:09:30:00\tbeta\t0\n");  // no header
    write(3, "");                                                       // empty file
    // generation 4 is missing
    load();
    EXPECT_EQ(ui.captions[1], "2006/02/01 (nuq)");
    EXPECT_EQ(ui.captions[2], "2006/01/20 (nuq)");
    EXPECT_EQ(ui.captions[3], "2006/01/11");  // the date of the second line
    EXPECT_EQ(ui.captions[4], "-");
    EXPECT_EQ(ui.captions[5], "-");
    EXPECT_EQ(column(1), (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(column(2), (std::vector<std::string>{"4", "", ""}));
    EXPECT_EQ(column(3), (std::vector<std::string>{"5", "-", ""}));
    // When each run began: its first record, not its second line.
    const std::array<std::string, HISTORY_GENERATIONS> starts = {"", "2006/01/20:10:00:00",
                                                                 "2006/01/10:09:00:00", "", ""};
    EXPECT_EQ(state.generationStarts, starts);
}

TEST_F(HistoryFolder, HeaderKeepsItsSlashesButLosesAnEngineNameSuffix) {
    write(0, "2006/02/01 (my.engine)\r\n");
    write(1, "C:\\odd\\2006/02/01 (nuq)\n");
    load();
    EXPECT_EQ(ui.captions[1], "2006/02/01 (my");
    EXPECT_EQ(ui.captions[2], "2006/02/01 (nuq)");
    // The resume check reads the file's own line, so the full name still matches.
    EXPECT_TRUE(canResumeGeneration(state, "my.engine"));
    EXPECT_FALSE(canResumeGeneration(state, "my"));
}

TEST_F(HistoryFolder, RecordsAreReadByTheirFields) {
    write(0,
          "2006/02/01 (nuq)\r\n"
          "\r\n"
          "2006/02/01:10:00:00\talpha\t3\r\n"
          "2006/02/01:10:00:01\talpha\t9\r\n"         // the first record of a keyword wins
          "2006/02/01:10:00:02\tbe\tta\t8\r\n"        // four fields: ignored
          "2006/02/01:10:00:03\tgamma\tnone\r\n"      // no digits: 0
          "a stray line that is not the first\r\n"
          "2006/02/01:10:00:04\tdelta\t 17x\n"      // extra bytes after the digits
          "2006/02/01:10:00:05\tepsilon\t1");       // no line end: cut short, maybe from "11"
    setKeywords({"alpha", "be\tta", "gamma", "delta", "epsilon"});
    load();
    EXPECT_EQ(state.historyTables[0],
              (HistoryTable{{"alpha", 3}, {"gamma", 0}, {"delta", 17}}));
    EXPECT_EQ(column(1), (std::vector<std::string>{"3", "", "-", "17", ""}));
    EXPECT_EQ(ui.captions[1], "2006/02/01 (nuq)");
}

TEST_F(HistoryFolder, SameKeywordOnTwoRowsShowsTheSameCells) {
    write(1, "2006/01/20 (nuq)\n2006/01/20:10:00:00\talpha\t4\n");
    setKeywords({"alpha", "beta", "alpha"});
    load();
    EXPECT_EQ(column(2), (std::vector<std::string>{"4", "", "4"}));
}

TEST_F(HistoryFolder, FirstLineThatIsARecordIsNoHeader) {
    write(0, "2006/02/01:10:00:00\talpha\t3\r\n2006/02/02:11:00:00\tbeta\t5\r\n");
    load();
    EXPECT_EQ(ui.captions[1], "2006/02/02");
    EXPECT_EQ(state.historyTables[0], (HistoryTable{{"alpha", 3}, {"beta", 5}}));
    EXPECT_FALSE(canResumeGeneration(state, "nuq"));  // gamma is missing, but no header

    // Even a record whose keyword reads like a header is no header.
    write(0, "2006/02/01:10:00:00\tkw (nuq)\t3\r\n");
    EXPECT_FALSE(canResumeGeneration(state, "nuq"));
}

TEST_F(HistoryFolder, ResumeOnlyAnUnfinishedGenerationOfTheSameEngine) {
    write(0, "2006/02/01 (nuq)\r\n2006/02/01:10:00:00\talpha\t3\r\n");
    load();
    EXPECT_TRUE(canResumeGeneration(state, "nuq"));
    EXPECT_FALSE(canResumeGeneration(state, "other"));
    EXPECT_FALSE(canResumeGeneration(state, "nu"));
    EXPECT_FALSE(canResumeGeneration(state, ""));

    write(0,
          "2006/02/01 (nuq)\n2006/02/01:10:00:00\talpha\t3\n2006/02/01:10:00:01\tbeta\t0\n"
          "2006/02/01:10:00:02\tgamma\t1\n");
    load();
    EXPECT_FALSE(canResumeGeneration(state, "nuq")) << "a finished generation rotates";

    setKeywords({});
    EXPECT_FALSE(canResumeGeneration(state, "nuq")) << "no keywords: nothing to continue";
}

TEST_F(HistoryFolder, AKeywordNoRecordCanHoldNeverKeepsAGenerationOpen) {
    const std::pair<const char*, bool> keywords[] = {
        {"a b", true}, {"\x1B[1m", true}, {"a\tb", false}, {"a\rb", false}, {"a\nb", false}, {"\t", false}};
    for (const auto& [keyword, recordable] : keywords) EXPECT_EQ(recordableKeyword(keyword), recordable) << keyword;

    // Its record would have four fields, which no reader takes: it never gets a result, and the
    // generation would be continued by every later start.
    setKeywords({"alpha", "a\tb", "beta\r\n"});
    write(0, "2006/02/01 (nuq)\r\n2006/02/01:10:00:00\talpha\t3\r\n");
    load();
    EXPECT_FALSE(canResumeGeneration(state, "nuq"));
}

TEST_F(HistoryFolder, ResumeNeedsAProperFirstLine) {
    load();
    EXPECT_FALSE(canResumeGeneration(state, "nuq")) << "no 0.txt";
    write(0, "");
    EXPECT_FALSE(canResumeGeneration(state, "nuq")) << "empty 0.txt";
    write(0, "\r\n2006/02/01 (nuq)\r\n");
    EXPECT_FALSE(canResumeGeneration(state, "nuq")) << "empty first line";
    write(0, "2006/02/01 (nuq\r\n");
    EXPECT_FALSE(canResumeGeneration(state, "nuq")) << "no closing parenthesis";
    write(0, "2006/02/01(nuq)\r\n");
    EXPECT_FALSE(canResumeGeneration(state, "nuq")) << "no space before the parenthesis";
    write(0, "2006/02/01 (nuq) extra (x)\n");
    EXPECT_TRUE(canResumeGeneration(state, "nuq")) << "the first pair decides";
    write(0, "2006/02/01 (nuq)");
    EXPECT_TRUE(canResumeGeneration(state, "nuq")) << "a header without a line end";
}

TEST_F(HistoryFolder, EngineNameWithClosingParenthesisNeverResumes) {
    write(0, "2006/02/01 (a)b)\r\n");
    load();
    EXPECT_FALSE(canResumeGeneration(state, "a)b"));
}

TEST_F(HistoryFolder, RotationWithOnlyFilesZeroAndOne) {
    const std::string old0 = "2006/02/02 (nuq)\r\n2006/02/02:10:00:00\talpha\t3\r\n";
    const std::string old1 = "2006/02/01 (nuq)\r\n2006/02/01:10:00:00\talpha\t8\r\n";
    write(0, old0);
    write(1, old1);
    load();
    ASSERT_EQ(rotate("2006/02/03 (nuq)"), RotationOutcome::Rotated);

    EXPECT_EQ(read(0), "2006/02/03 (nuq)\r\n");  // the new generation's header
    EXPECT_EQ(read(1), old0);
    EXPECT_EQ(read(2), old1);
    EXPECT_FALSE(exists(3));
    EXPECT_FALSE(exists(4));
    EXPECT_TRUE(state.historyTables[0].empty());
    EXPECT_EQ(state.historyTables[1], (HistoryTable{{"alpha", 3}}));
    EXPECT_EQ(state.historyTables[2], (HistoryTable{{"alpha", 8}}));
    EXPECT_EQ(ui.captions[1], "2006/02/03 (nuq)");
    EXPECT_EQ(ui.captions[2], "2006/02/02 (nuq)");
    EXPECT_EQ(ui.captions[3], "2006/02/01 (nuq)");
    EXPECT_EQ(ui.captions[4], "-");
    EXPECT_EQ(column(1), (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(column(2), (std::vector<std::string>{"3", "", ""}));
    EXPECT_EQ(column(3), (std::vector<std::string>{"8", "", ""}));

    ASSERT_TRUE(writeGenerationHeader(folder, "2006/02/03 (nuq)"));
    EXPECT_EQ(read(0), "2006/02/03 (nuq)\r\n");
}

TEST_F(HistoryFolder, RotationArchivesTheOldestGenerationUnderItsStart) {
    for (int k = 0; k < 5; ++k)
        write(k, "2006/01/0" + std::to_string(9 - k) + " (nuq)\r\n2006/01/0" + std::to_string(9 - k) +
                     ":1" + std::to_string(k) + ":00:00\talpha\t" + std::to_string(k + 1) + "\r\n");
    const std::string oldest = read(4);
    load();
    ASSERT_EQ(rotate("2006/02/03 (nuq)"), RotationOutcome::Rotated);
    EXPECT_EQ(read(0), "2006/02/03 (nuq)\r\n");
    for (int k = 1; k < 5; ++k) EXPECT_EQ(read(k).substr(0, 18), "2006/01/0" + std::to_string(10 - k) + " (nuq)\r\n");
    EXPECT_EQ(readBytes(site() / "archive" / "20060105-140000.txt"), oldest);
    EXPECT_EQ(state.historyTables[4], (HistoryTable{{"alpha", 4}}));
    EXPECT_EQ(std::distance(fs::directory_iterator(site()), fs::directory_iterator()), 6)
        << "0.txt to 4.txt and the archive: no marker, no draft left";
}

TEST_F(HistoryFolder, ArchiveNamesSortByTheRunsStartAndNeverReplaceOneAnother) {
    write(4, "2006/01/05 (nuq)\r\n");  // no record: the header's date
    EXPECT_EQ(archiveName(folder + "\\4.txt"), "20060105-000000.txt");
    write(4, "odd\r\n");
    EXPECT_EQ(archiveName(folder + "\\4.txt"), "00000000-000000.txt");
    for (int run = 0; run < 3; ++run) {
        write(4, "2006/01/05 (nuq)\r\nrun " + std::to_string(run) + "\r\n");
        ASSERT_EQ(rotateGenerations(folder, "2006/02/03 (nuq)"), RotationOutcome::Rotated);
    }
    EXPECT_EQ(readBytes(site() / "archive" / "20060105-000000.txt"), "2006/01/05 (nuq)\r\nrun 0\r\n");
    EXPECT_EQ(readBytes(site() / "archive" / "20060105-000000-2.txt"), "2006/01/05 (nuq)\r\nrun 1\r\n");
    EXPECT_EQ(readBytes(site() / "archive" / "20060105-000000-3.txt"), "2006/01/05 (nuq)\r\nrun 2\r\n");
}

TEST_F(HistoryFolder, ARotationThatCannotBeMadeChangesNoFile) {
    const std::string old0 = "2006/02/02 (nuq)\r\n2006/02/02:10:00:00\talpha\t3\r\n";
    const std::string old2 = "2006/02/01 (nuq)\r\n";
    write(0, old0);
    write(2, old2);
    fs::create_directory(site() / "1.txt");  // not a generation file: nothing may move
    load();
    EXPECT_EQ(rotate("2006/02/03 (nuq)"), RotationOutcome::Failed);
    EXPECT_EQ(read(0), old0);
    EXPECT_TRUE(fs::is_directory(site() / "1.txt"));
    EXPECT_EQ(read(2), old2);
    EXPECT_FALSE(exists(3));
    EXPECT_EQ(state.historyTables[0], (HistoryTable{{"alpha", 3}}));
    EXPECT_EQ(std::distance(fs::directory_iterator(site()), fs::directory_iterator()), 3);
}

TEST_F(HistoryFolder, HeaderIsWrittenOnlyWhenZeroIsMissing) {
    const std::string existing = "2006/02/01 (nuq)\r\n2006/02/01:10:00:00\talpha\t3\r\n";
    write(0, existing);
    EXPECT_TRUE(writeGenerationHeader(folder, "2006/02/05 (other)"));
    EXPECT_EQ(read(0), existing);

    EXPECT_FALSE(writeGenerationHeader(scratch.file("no-such-folder"), "2006/02/05 (nuq)"));
    EXPECT_FALSE(fs::exists(scratch.native() / "no-such-folder"));
}

TEST_F(HistoryFolder, AppendingStartsOnAWholeLine) {
    // A record cut short (no line end) goes, so the next record is not glued to it.
    write(0, "2006/02/01 (nuq)\r\n2006/02/01:10:00:00\talpha\t3\r\n2006/02/01:10:00:01\tbeta\t1");
    ASSERT_TRUE(endLastLine(folder));
    EXPECT_EQ(read(0), "2006/02/01 (nuq)\r\n2006/02/01:10:00:00\talpha\t3\r\n");
    // A header without its line end is ended.
    write(0, "2006/02/01 (nuq)");
    ASSERT_TRUE(endLastLine(folder));
    EXPECT_EQ(read(0), "2006/02/01 (nuq)\r\n");
    ASSERT_TRUE(endLastLine(folder));
    EXPECT_EQ(read(0), "2006/02/01 (nuq)\r\n") << "a whole last line is left as it is";
    write(0, "");
    ASSERT_TRUE(endLastLine(folder));
    EXPECT_EQ(read(0), "");
    fs::remove(site() / "0.txt");
    EXPECT_TRUE(endLastLine(folder)) << "no 0.txt: nothing to end";
    fs::create_directory(site() / "0.txt");
    EXPECT_FALSE(endLastLine(folder));
}

#ifndef _WIN32
TEST_F(HistoryFolder, FilesThatAreNotRegularAreNeitherFollowedNorWaitedOn) {
    const fs::path outside = scratch.native() / "outside.txt";
    writeBytes(outside, "2006/02/01 (nuq)\r\n2006/02/01:10:00:00\talpha\t3\r\n");
    fs::create_symlink(outside, site() / "0.txt");
    ASSERT_EQ(mkfifo((site() / "1.txt").c_str(), 0600), 0);  // a reader would wait forever
    load();
    EXPECT_TRUE(state.historyTables[0].empty());
    EXPECT_TRUE(state.historyTables[1].empty());
    EXPECT_FALSE(canResumeGeneration(state, "nuq"));
    EXPECT_FALSE(appendToFile(folder + "\\0.txt", "x\r\n"));
    EXPECT_FALSE(appendToFile(folder + "\\1.txt", "x\r\n"));
    EXPECT_EQ(readBytes(outside), "2006/02/01 (nuq)\r\n2006/02/01:10:00:00\talpha\t3\r\n");
    EXPECT_FALSE(endLastLine(folder));
    EXPECT_EQ(rotateGenerations(folder, "2006/02/03 (nuq)"), RotationOutcome::Failed);
    // A dangling link is not created through either.
    fs::remove(outside);
    EXPECT_FALSE(writeGenerationHeader(folder, "2006/02/03 (nuq)"));
    EXPECT_FALSE(fs::exists(outside));
}
#endif

TEST_F(HistoryFolder, ARunHoldsTheFoldersLockUntilItLetsGo) {
    FileLock first = lockHistory(folder);
    ASSERT_TRUE(first.held());
    const FileLock second = lockHistory(folder);
    EXPECT_FALSE(second.held()) << "a second run on the same survey";
    EXPECT_TRUE(second.busy());
    first.release();
    FileLock third = lockHistory(folder);
    EXPECT_TRUE(third.held()) << "the lock file left behind is no lock";
    const FileLock nowhere = lockHistory(scratch.file("no-such-folder"));
    EXPECT_FALSE(nowhere.held());
    EXPECT_FALSE(nowhere.busy()) << "a folder that takes no lock file is no other run";
}

}  // namespace
}  // namespace vexor
