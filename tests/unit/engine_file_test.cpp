// Engine definition files: the byte format, the reader on damaged files, the safe writer.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "app/engine_files.h"
#include "app/text_format.h"
#include "app/texts.h"
#include "engine/engine_file.h"
#include "engine/page_marks.h"
#include "fake_ui.h"
#include "japanese.h"
#include "platform/files.h"
#include "temp_folder.h"

namespace vexor {
namespace {

using testing::FakeUi;
using testing::TempFolder;

const std::string MAGIC = "_VEXOR_ENGINE_DEFINITION_";

std::string le32(uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
            static_cast<char>(v >> 24)};
}
std::string str(const std::string& text) { return le32(static_cast<uint32_t>(text.size())) + text; }

EngineDefinition learntEngine() {
    EngineDefinition e;
    e.keyword = testing::cp932(u8"検索表示");
    e.page2Url = "http://search.example/find?q=%8C%9F&start=10";
    e.page3Url = "http://search.example/find?q=%8C%9F&start=20";
    e.queryTemplate = "http://search.example/find?q=%s&start=%d";
    e.pageStep = 10;
    e.pageOffset = -1;
    e.keywordEncoding = KeywordEncoding::Utf8;
    e.firstResultUrl = "http://one.example/";
    e.tenthResultUrl = "http://ten.example/";
    e.startMarker = "<ol class=\"results\">";
    e.endMarker = "</ol>";
    e.learnedAt = SystemTime{2006, 2, 3, 1, 9, 5, 7, 250};
    e.linkRules = {{LinkSelection::FirstTen, 2, "<a href=\""},
                   {LinkSelection::ExactlyTen, -3, "url="},
                   {LinkSelection::LastTen, 1, ""}};
    return e;
}

std::string readFailed(const std::string& path) {
    return formatWithText(texts::FMT_ENGINE_READ_FAILED, path);
}

TEST(EngineFile, ResetRecordIsNinetyBytesAndRoundTrips) {
    TempFolder folder;
    const std::string path = folder.file("empty.eng");
    ASSERT_EQ(writeEngineFile(EngineDefinition{}, path), EngineFileWrite::Written);
    const std::string bytes = readWholeFile(path).value();
    EXPECT_EQ(bytes.size(), 90u);
    EXPECT_EQ(bytes.substr(0, 29), MAGIC + std::string("\x64\0\0\0", 4));
    EngineDefinition read = learntEngine();
    ASSERT_EQ(readEngineFile(read, path), EngineFileRead::Read);
    EXPECT_EQ(read, EngineDefinition{});
    EXPECT_FALSE(isLearnt(read));
}

TEST(EngineFile, FieldsStandInTheDocumentedOrder) {
    EngineDefinition e;
    e.version = 5;  // writers store the record's version
    e.keyword = "abc";
    e.queryTemplate = "q=%s&p=%d";
    e.pageStep = 10;
    e.pageOffset = -1;
    e.keywordEncoding = KeywordEncoding::EucJp;
    e.endMarker = "</ol>";
    e.learnedAt = SystemTime{2006, 2, 3, 1, 9, 5, 7, 250};
    e.linkRules = {{LinkSelection::LastTen, 2, "<a"}};
    const std::string expected = MAGIC + le32(5) + str("abc") + str("") + str("") +
                                 str("q=%s&p=%d") + le32(10) + le32(0xFFFFFFFF) + "\x01" +
                                 str("") + str("") + str("") + str("</ol>") +
                                 std::string("\xD6\x07\x02\x00\x03\x00\x01\x00\x09\x00\x05\x00"
                                             "\x07\x00\xFA\x00", 16) +
                                 le32(1) + "\x02" + le32(2) + str("<a");
    EXPECT_EQ(engineFileBytes(e), expected);
    EngineDefinition read;
    ASSERT_EQ(parseEngineFile(expected, read), EngineFileRead::Read);
    e.version = 100;  // the stored version is not taken over
    EXPECT_EQ(read, e);
}

TEST(EngineFile, LearntRecordRoundTripsByteExact) {
    TempFolder folder;
    const std::string path = folder.file(testing::cp932(u8"検索エンジン.eng"));
    const EngineDefinition engine = learntEngine();
    ASSERT_EQ(writeEngineFile(engine, path), EngineFileWrite::Written);
    EXPECT_EQ(readWholeFile(path), engineFileBytes(engine));
    EngineDefinition read;
    ASSERT_EQ(readEngineFile(read, path), EngineFileRead::Read);
    EXPECT_EQ(read, engine);
    EXPECT_EQ(engineFileBytes(read), engineFileBytes(engine));
}

TEST(EngineFile, EveryCutFailsAndKeepsWhatWasReadBefore) {
    const EngineDefinition engine = learntEngine();
    const std::string bytes = engineFileBytes(engine);
    std::size_t lastRules = 0;
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        EngineDefinition read = engine;
        const EngineFileRead outcome = parseEngineFile(bytes.substr(0, length), read);
        ASSERT_EQ(outcome, length < MAGIC.size() ? EngineFileRead::WrongMagic : EngineFileRead::Truncated)
            << "cut at " << length;
        EXPECT_EQ(read.version, 100);
        EXPECT_GE(read.linkRules.size(), lastRules);  // rules only ever grow with the length
        lastRules = read.linkRules.size();
        for (std::size_t i = 0; i < read.linkRules.size(); ++i)
            EXPECT_EQ(read.linkRules[i], engine.linkRules[i]);
    }
    EXPECT_EQ(lastRules, 2u);  // cut inside the third rule: two complete rules kept

    // Named cuts: inside the first string, after the four strings, inside learnedAt.
    EngineDefinition read;
    EXPECT_EQ(parseEngineFile(bytes.substr(0, 29 + 4 + 3), read), EngineFileRead::Truncated);
    EXPECT_EQ(read, EngineDefinition{});
    const std::size_t afterTemplate = 29 + 4 * 4 + engine.keyword.size() + engine.page2Url.size() +
                                      engine.page3Url.size() + engine.queryTemplate.size();
    EXPECT_EQ(parseEngineFile(bytes.substr(0, afterTemplate + 2), read), EngineFileRead::Truncated);
    EXPECT_EQ(read.queryTemplate, engine.queryTemplate);
    EXPECT_EQ(read.pageStep, 0);
    const std::size_t timeAt = bytes.find(std::string("\xD6\x07", 2));
    ASSERT_NE(timeAt, std::string::npos);
    EXPECT_EQ(parseEngineFile(bytes.substr(0, timeAt + 5), read), EngineFileRead::Truncated);
    EXPECT_EQ(read.endMarker, engine.endMarker);
    EXPECT_EQ(read.keywordEncoding, KeywordEncoding::Utf8);
    EXPECT_EQ(read.learnedAt, (SystemTime{2006, 2, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(read.linkRules.empty());
}

TEST(EngineFile, ReadFailuresShowOneWarningWithThePathAsGiven) {
    TempFolder folder;
    const Workspace workspace{folder.path()};
    FakeUi ui;
    ASSERT_TRUE(replaceFileContent(folder.file("cut.eng"),
                                   engineFileBytes(learntEngine()).substr(0, 60)));
    EngineDefinition read;
    EXPECT_EQ(readEngineFile(read, folder.file("cut.eng")), EngineFileRead::Truncated);
    EXPECT_FALSE(loadEngineFile(read, workspace, "cut.eng", ui));
    EXPECT_EQ(read.keyword, learntEngine().keyword);  // read before the cut
    EXPECT_EQ(readEngineFile(read, folder.file("missing.eng")), EngineFileRead::CannotOpen);
    EXPECT_FALSE(loadEngineFile(read, workspace, "missing.eng", ui));
    EXPECT_EQ(read, EngineDefinition{});
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, readFailed("cut.eng"));
    EXPECT_EQ(ui.messages[0].owner, Owner::MainWindow);
    EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
    EXPECT_FALSE(ui.messages[0].question);
    EXPECT_EQ(ui.messages[1].text, readFailed("missing.eng"));
}

TEST(EngineFile, AnyDifferenceInTheMagicFails) {
    const std::string good = engineFileBytes(learntEngine());
    for (std::size_t i = 0; i < MAGIC.size(); ++i) {
        std::string bad = good;
        bad[i] = static_cast<char>(bad[i] ^ 0x20);
        EngineDefinition read;
        EXPECT_EQ(parseEngineFile(bad, read), EngineFileRead::WrongMagic) << "byte " << i;
        EXPECT_EQ(read, EngineDefinition{});
    }
}

TEST(EngineFile, StoredVersionIsIgnoredAndExtraBytesToo) {
    std::string bytes = engineFileBytes(learntEngine());
    bytes.replace(25, 4, le32(7));
    bytes += "trailing garbage";
    EngineDefinition read;
    ASSERT_EQ(parseEngineFile(bytes, read), EngineFileRead::Read);
    EXPECT_EQ(read.version, 100);
    EXPECT_EQ(read, learntEngine());
}

TEST(EngineFile, StringsEndAtTheirFirstNul) {
    const std::string bytes = MAGIC + le32(100) + str(std::string("ab\0cd", 5)) +
                              str(std::string("\0x", 2)) + str("p3") +
                              engineFileBytes(EngineDefinition{}).substr(29 + 12);
    EngineDefinition read;
    ASSERT_EQ(parseEngineFile(bytes, read), EngineFileRead::Read);
    EXPECT_EQ(read.keyword, "ab");
    EXPECT_EQ(read.page2Url, "");
    EXPECT_EQ(read.page3Url, "p3");  // the fields after it are read from the right place
    EXPECT_EQ(read.queryTemplate, "");
}

TEST(EngineFile, HugeCountsFailWithoutReadingOrAllocating) {
    EngineDefinition read;
    // A string announced as nearly 4 GiB in a file of a few dozen bytes.
    EXPECT_EQ(parseEngineFile(MAGIC + le32(100) + le32(0xFFFFFFF0) + "abc", read),
              EngineFileRead::Truncated);
    EXPECT_EQ(read.keyword, "");
    // Four billion rules announced, one present.
    std::string bytes = engineFileBytes(EngineDefinition{});
    bytes.replace(bytes.size() - 4, 4, le32(0xFFFFFFFF));
    bytes += std::string("\x01", 1) + le32(1) + str("<a");
    EXPECT_EQ(parseEngineFile(bytes, read), EngineFileRead::Truncated);
    ASSERT_EQ(read.linkRules.size(), 1u);
    EXPECT_EQ(read.linkRules[0].prefix, "<a");
    // A rule's prefix count one byte beyond the end.
    bytes = engineFileBytes(EngineDefinition{});
    bytes.replace(bytes.size() - 4, 4, le32(1));
    bytes += std::string("\x00", 1) + le32(1) + le32(3) + "ab";
    EXPECT_EQ(parseEngineFile(bytes, read), EngineFileRead::Truncated);
    EXPECT_TRUE(read.linkRules.empty());
}

TEST(EngineFile, UnknownCodesAreKeptAsStored) {
    EngineDefinition odd = learntEngine();
    odd.keywordEncoding = static_cast<KeywordEncoding>(9);
    odd.linkRules[0].selection = static_cast<LinkSelection>(200);
    EngineDefinition read;
    ASSERT_EQ(parseEngineFile(engineFileBytes(odd), read), EngineFileRead::Read);
    EXPECT_EQ(read, odd);
}

// An engine learnt with extended rules, as learning leaves it: the plain form in linkRules.
EngineDefinition extendedEngine() {
    EngineDefinition e = learntEngine();
    e.linkRules = {{LinkSelection::ExactlyTen, 1, "<h3><a href=\""}};
    e.extendedRules = {{LinkSelection::EveryLink, "<h3><a href=\"", "wrapped:/url", ""},
                       {LinkSelection::LastTen, " u=\"", "", ""}};
    return e;
}

// The extension's bytes for extendedEngine().
std::string extensionBytes() {
    const std::string block = le32(2) + "\x03" + str("<h3><a href=\"") + str("wrapped:/url") + "\x02" +
                              str(" u=\"") + str("");
    return "VXEXXRUL" + str(block);
}

TEST(EngineFile, ExtendedRulesFollowTheLastRuleInATaggedBlock) {
    const EngineDefinition engine = extendedEngine();
    EngineDefinition plainOnly = engine;
    plainOnly.extendedRules.clear();
    const std::string bytes = engineFileBytes(engine);
    // Before the extension the bytes are those of the same record without extended rules, which
    // is all an earlier reader takes: it stops after the last rule.
    EXPECT_EQ(bytes, engineFileBytes(plainOnly) + extensionBytes());
    EngineDefinition read;
    ASSERT_EQ(parseEngineFile(bytes, read), EngineFileRead::Read);
    EXPECT_EQ(read, engine);
    EXPECT_EQ(bytes.substr(25, 4), le32(100)) << "the version stays what every reader accepts";
}

TEST(EngineFile, FilesWithoutAnExtensionReadAsEver) {
    const std::string plain = engineFileBytes(learntEngine());
    EXPECT_EQ(plain.find("VXEX"), std::string::npos);
    EngineDefinition read;
    ASSERT_EQ(parseEngineFile(plain + "VXE", read), EngineFileRead::Read) << "too short to be the mark";
    EXPECT_TRUE(read.extendedRules.empty());
    ASSERT_EQ(parseEngineFile(plain + "VXEY and more", read), EngineFileRead::Read);
    EXPECT_EQ(read, learntEngine());
}

TEST(EngineFile, UnknownBlocksAreSkippedAndADamagedExtensionFails) {
    const std::string plain = engineFileBytes(extendedEngine()).substr(0, engineFileBytes(extendedEngine()).size() -
                                                                         extensionBytes().size());
    const std::string rules = extensionBytes().substr(4);
    EngineDefinition read;
    // A block of a later version before and after the known one.
    ASSERT_EQ(parseEngineFile(plain + "VXEX" + "LATR" + str("anything") + rules + "NEXT" + str(""), read),
              EngineFileRead::Read);
    EXPECT_EQ(read, extendedEngine());
    // Cut anywhere after the mark, the file fails as a cut file does, with the plain rules read.
    for (std::size_t cut = 5; cut < rules.size(); ++cut) {
        EXPECT_EQ(parseEngineFile(plain + "VXEX" + rules.substr(0, cut), read), EngineFileRead::Truncated)
            << "cut at " << cut;
        EXPECT_TRUE(read.extendedRules.empty());
        EXPECT_EQ(read.linkRules, extendedEngine().linkRules);
    }
    // A block whose rules do not fill it exactly.
    const std::string longer = "XRUL" + str(le32(0) + "x");
    EXPECT_EQ(parseEngineFile(plain + "VXEX" + longer, read), EngineFileRead::Truncated);
    const std::string shorter = "XRUL" + str(le32(1) + "\x03" + str("<a"));
    EXPECT_EQ(parseEngineFile(plain + "VXEX" + shorter, read), EngineFileRead::Truncated);
    EXPECT_TRUE(read.extendedRules.empty());
}

// Rules' contexts and containers follow the rules in blocks that earlier readers skip; one
// string for every extended rule, or the file is damaged.
TEST(EngineFile, RuleContextsAndContainersFollowTheExtendedRulesInBlocksOfTheirOwn) {
    EngineDefinition engine = extendedEngine();
    engine.extendedRules[1].context = "<div class=\"g\"><h3 class=\"r\"><a";
    const std::string bytes = engineFileBytes(engine);
    const std::string contexts = "XCTX" + str(le32(2) + str("") + str(engine.extendedRules[1].context));
    EXPECT_EQ(bytes, engineFileBytes(extendedEngine()) + contexts);
    EngineDefinition read;
    ASSERT_EQ(parseEngineFile(bytes, read), EngineFileRead::Read);
    EXPECT_EQ(read, engine);
    const std::string rulesOnly = engineFileBytes(extendedEngine());
    ASSERT_EQ(parseEngineFile(rulesOnly + "XCTX" + str(le32(1) + str("<a")), read), EngineFileRead::Truncated);
    EXPECT_EQ(read.extendedRules, extendedEngine().extendedRules) << "the rules stay, without contexts";

    engine.extendedRules[0].container = "li algo \x01";
    const std::string containers = "XCON" + str(le32(2) + str(engine.extendedRules[0].container) + str(""));
    EXPECT_EQ(engineFileBytes(engine), bytes + containers);
    ASSERT_EQ(parseEngineFile(bytes + containers, read), EngineFileRead::Read);
    EXPECT_EQ(read, engine);
    ASSERT_EQ(parseEngineFile(bytes + "XCON" + str(le32(3)), read), EngineFileRead::Truncated);
    EXPECT_TRUE(read.extendedRules[0].container.empty()) << "the rules stay, without containers";
}

TEST(EngineFile, ResultsPageMarksFollowInABlockOfTheirOwnWithinBounds) {
    const std::vector<std::string> marks = {"<form action=\"/find\">", "<div id=\"nav\">"};
    const std::string marksBlock = "MARK" + str(le32(2) + str(marks[0]) + str(marks[1]));
    // Alone, and after the extended rules.
    EngineDefinition alone = learntEngine();
    alone.resultsPageMarks = marks;
    EngineDefinition both = extendedEngine();
    both.resultsPageMarks = marks;
    const std::pair<const EngineDefinition*, std::string> layouts[] = {
        {&alone, engineFileBytes(learntEngine()) + "VXEX" + marksBlock},
        {&both, engineFileBytes(extendedEngine()) + marksBlock}};
    for (const auto& [engine, bytes] : layouts) {
        EXPECT_EQ(engineFileBytes(*engine), bytes);
        EngineDefinition read;
        ASSERT_EQ(parseEngineFile(bytes, read), EngineFileRead::Read);
        EXPECT_EQ(read, *engine);
    }
    // Damaged or past the bounds: Truncated, without marks, the rules before it read.
    const std::string plain = engineFileBytes(learntEngine()) + "VXEX";
    const std::string damaged[] = {
        "MARK" + str(le32(2) + str(marks[0])),                                    // one mark short
        "MARK" + str(le32(1) + str(marks[0]) + "x"),                              // a byte left over
        "MARK" + str(le32(1) + le32(40) + marks[0]),                              // a mark cut short
        "MARK" + str(le32(MOST_PAGE_MARKS + 1) + [] {                             // too many marks
            std::string all;
            for (std::size_t i = 0; i <= MOST_PAGE_MARKS; ++i) all += str("<b class=\"x\">");
            return all;
        }()),
        "MARK" + str(le32(1) + str(std::string(LONGEST_PAGE_MARK + 1, 'x'))),   // a mark too long
        marksBlock.substr(0, marksBlock.size() - 1),                              // the file cut short
    };
    for (const std::string& block : damaged) {
        EngineDefinition read;
        EXPECT_EQ(parseEngineFile(plain + block, read), EngineFileRead::Truncated) << block;
        EXPECT_TRUE(read.resultsPageMarks.empty());
        EXPECT_EQ(read.linkRules, learntEngine().linkRules);
    }
}

TEST(EngineFile, AFileThatCannotBeCreatedIsToldApartAndSaidAsAWriteFailure) {
    TempFolder folder;
    FakeUi ui;
    EXPECT_EQ(writeEngineFile(learntEngine(), folder.file("missing\\x.eng")),
              EngineFileWrite::CannotCreate);
    EXPECT_FALSE(saveEngineFile(learntEngine(), Workspace{folder.path()}, "missing\\x.eng", ui));
#ifdef _WIN32
    const std::string shown = "missing\\x.eng";
#else
    const std::string shown = "missing/x.eng";  // messages show the system's separators
#endif
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{formatWithText(texts::FMT_ENGINE_WRITE_FAILED, shown)});
    EXPECT_TRUE(listFiles(folder.path(), "").empty());
}

TEST(EngineFile, AFailedReplaceWarnsAndLeavesWhatWasThere) {
    TempFolder folder;
    FakeUi ui;
    // A folder stands where the file should go: written, but it cannot take the folder's place.
    const std::string path = folder.file("engine.eng");
    ASSERT_TRUE(makeDirectory(path));
    EXPECT_EQ(writeEngineFile(learntEngine(), path), EngineFileWrite::CannotWrite);
    EXPECT_FALSE(saveEngineFile(learntEngine(), Workspace{folder.path()}, "engine.eng", ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, formatWithText(texts::FMT_ENGINE_WRITE_FAILED, "engine.eng"));
    EXPECT_EQ(ui.messages[0].owner, Owner::MainWindow);
    EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
    EXPECT_TRUE(listFiles(folder.path(), "").empty());
}

#ifndef _WIN32
TEST(EngineFile, ASaveThatFailsHalfWayKeepsThePreviousFile) {
    TempFolder folder;
    const std::string path = folder.file("nuq.eng");
    ASSERT_EQ(writeEngineFile(learntEngine(), path), EngineFileWrite::Written);
    EngineDefinition bigger = learntEngine();
    bigger.startMarker = std::string(100000, 's');
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{8192, 8192};  // the file size limit makes the write fail half way
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(writeEngineFile(bigger, path) == EngineFileWrite::CannotWrite ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the failed save was not told as one";
    EngineDefinition read;
    ASSERT_EQ(readEngineFile(read, path), EngineFileRead::Read);
    EXPECT_EQ(read, learntEngine());
    EXPECT_EQ(listFiles(folder.path(), ""), std::vector<std::string>{"nuq.eng"});
}
#endif

}  // namespace
}  // namespace vexor
