// File operations with code page 932 paths, and the replace that never loses the old file.
#include <gtest/gtest.h>

#include <algorithm>

#ifdef _WIN32
#include <process.h>
#else
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "japanese.h"
#include "platform/files.h"
#include "temp_folder.h"

namespace vexor {
namespace {

using testing::cp932;
using testing::TempFolder;

std::vector<std::string> sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

TEST(ReplaceFileContent, WritesNewFilesAndReplacesOldOnesByteForByte) {
    TempFolder folder;
    const std::string path = folder.file("data.bin");
    const std::string bytes("line\r\n\0\x95\x5C\xFF", 11);
    ASSERT_TRUE(replaceFileContent(path, bytes));
    EXPECT_EQ(readWholeFile(path), bytes);
    ASSERT_TRUE(replaceFileContent(path, "short"));
    EXPECT_EQ(readWholeFile(path), "short");
    ASSERT_TRUE(replaceFileContent(path, ""));
    EXPECT_EQ(readWholeFile(path), "");
    EXPECT_EQ(listFiles(folder.path(), ""), std::vector<std::string>{"data.bin"});
}

TEST(ReplaceFileContent, FailsWithoutTouchingAnythingWhenTheFolderIsMissing) {
    TempFolder folder;
    EXPECT_FALSE(replaceFileContent(folder.file("missing\\data.bin"), "x"));
    EXPECT_FALSE(fileExists(folder.file("missing\\data.bin")));
    EXPECT_TRUE(listFiles(folder.path(), "").empty());
}

TEST(ReplaceFileContent, LeavesNoTemporaryFileWhenTheFinalStepFails) {
    TempFolder folder;
    // A folder where the file should go: the temporary file is written, the replace fails.
    ASSERT_TRUE(makeDirectory(folder.file("target")));
    ASSERT_TRUE(replaceFileContent(folder.file("target\\inside.txt"), "kept"));
    EXPECT_FALSE(replaceFileContent(folder.file("target"), "new"));
    EXPECT_EQ(readWholeFile(folder.file("target\\inside.txt")), "kept");
    EXPECT_TRUE(listFiles(folder.path(), "").empty());
}

#ifndef _WIN32
// A write that fails half way (here: the file size limit) must leave the old file as it was.
TEST(ReplaceFileContent, KeepsTheOldFileWhenWritingTheNewOneFails) {
    TempFolder folder;
    const std::string path = folder.file("history.txt");
    const std::string old = "old content\r\n";
    ASSERT_TRUE(replaceFileContent(path, old));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(replaceFileContent(path, std::string(100000, 'n')) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the replace reported success";
    EXPECT_EQ(readWholeFile(path), old);
    EXPECT_EQ(listFiles(folder.path(), ""), std::vector<std::string>{"history.txt"});
}
#endif

TEST(Files, JapaneseNamesRoundTrip) {
    TempFolder folder;
    // 表 and ソ end in 0x5C, which must stay part of the name.
    const std::string sub = folder.file(cp932(u8"表ソ能"));
    const std::string name = cp932(u8"日本語の履歴ｱ.txt");
    const std::string path = sub + "\\" + name;
    ASSERT_TRUE(makeDirectory(sub));
    ASSERT_TRUE(replaceFileContent(path, "a"));
    ASSERT_TRUE(appendToFile(path, "b\r\n"));
    EXPECT_TRUE(fileExists(path));
    EXPECT_EQ(readWholeFile(path), "ab\r\n");
    EXPECT_EQ(listFiles(sub, ".TXT"), std::vector<std::string>{name});
    EXPECT_EQ(listFiles(folder.path(), ""), std::vector<std::string>{});  // the folder is no file

    const std::string copy = sub + "\\" + cp932(u8"写し.txt");
    ASSERT_TRUE(copyFileReplacing(path, copy));
    EXPECT_EQ(readWholeFile(copy), "ab\r\n");
    EXPECT_TRUE(removeFile(path));
    EXPECT_FALSE(fileExists(path));
    EXPECT_FALSE(removeFile(path));
    EXPECT_EQ(readWholeFile(path), std::nullopt);
}

TEST(Files, ExistenceListingAndFolders) {
    TempFolder folder;
    for (const char* name : {"a.ENG", "b.eng", "c.txt", "eng"}) ASSERT_TRUE(replaceFileContent(folder.file(name), name));
    ASSERT_TRUE(makeDirectory(folder.file("d.eng")));
    EXPECT_FALSE(makeDirectory(folder.file("d.eng")));  // exists already
    EXPECT_EQ(sorted(listFiles(folder.path(), ".eng")), (std::vector<std::string>{"a.ENG", "b.eng"}));
    EXPECT_TRUE(listFiles(folder.file("none"), ".eng").empty());
    EXPECT_TRUE(fileExists(folder.file("c.txt")));
    EXPECT_FALSE(fileExists(folder.file("d.eng")));
    EXPECT_FALSE(fileExists(folder.file("x.txt")));
    EXPECT_FALSE(copyFileReplacing(folder.file("x.txt"), folder.file("y.txt")));
    EXPECT_FALSE(fileExists(folder.file("y.txt")));
    ASSERT_TRUE(copyFileReplacing(folder.file("a.ENG"), folder.file("b.eng")));
    EXPECT_EQ(readWholeFile(folder.file("b.eng")), "a.ENG");
}

TEST(Files, AppendCreatesThenAppends) {
    TempFolder folder;
    const std::string path = folder.file("0.txt");
    ASSERT_TRUE(appendToFile(path, "one\r\n"));
    ASSERT_TRUE(appendToFile(path, "two\r\n"));
    EXPECT_EQ(readWholeFile(path), "one\r\ntwo\r\n");
    EXPECT_FALSE(appendToFile(folder.file("missing\\0.txt"), "x"));
}

#ifndef _WIN32
TEST(Files, AnAppendIsWholeOrNothing) {
    TempFolder folder;
    const std::string path = folder.file("0.txt");
    ASSERT_TRUE(appendToFile(path, "header\r\n"));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{12, 12};  // room for four bytes of the next record only: a full disk
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(appendToFile(path, "2006/02/01:10:00:00\tkw\t11\r\n") ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the failed append was not told as one";
    EXPECT_EQ(readWholeFile(path), "header\r\n") << "no part of the record stays behind";
}
#endif

TEST(Files, LinesAreReadWholeAcrossChunks) {
    TempFolder folder;
    const std::string path = folder.file("long.txt");
    const std::string longLine(200000, 'x');  // beyond any one chunk
    std::string content = "a\r\n\n" + longLine + "\r\nb";
    // A CR LF split between two chunks still ends its line.
    const std::size_t fill = 65536 - (content.size() % 65536) - 1;
    content += std::string(fill, 'y') + "\r\nz\r";
    ASSERT_TRUE(replaceFileContent(path, content));
    std::vector<std::pair<std::string, bool>> lines;
    ASSERT_TRUE(forEachLine(path, [&](std::string_view line, bool terminated) {
        lines.emplace_back(std::string(line), terminated);
    }));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], std::make_pair(std::string("a"), true));
    EXPECT_EQ(lines[1], std::make_pair(std::string(""), true));
    EXPECT_EQ(lines[2], std::make_pair(longLine, true));
    EXPECT_EQ(lines[3].first, "b" + std::string(fill, 'y'));
    EXPECT_TRUE(lines[3].second);
    EXPECT_EQ(lines[4], std::make_pair(std::string("z"), false));
    EXPECT_FALSE(forEachLine(folder.file("missing.txt"), [](std::string_view, bool) {}));
    EXPECT_FALSE(forEachLine(folder.path(), [](std::string_view, bool) {}));
}

TEST(ReplaceFileContent, WritesInPlaceWhereNoTemporaryFileFitsBesideTheTarget) {
    TempFolder folder;
    const std::string path = folder.file(std::string(255, 'n'));  // at the name length limit
    ASSERT_TRUE(appendToFile(path, "old"));
    EXPECT_EQ(replaceFileContentTelling(path, "new content"), ReplaceOutcome::Replaced);
    EXPECT_EQ(readWholeFile(path), "new content");
    EXPECT_EQ(listFiles(folder.path(), "").size(), 1u);
    // Neither a temporary file nor the target can be made: the target is what cannot be made.
    EXPECT_EQ(replaceFileContentTelling(folder.file(std::string(256, 'n')), "x"),
              ReplaceOutcome::NotCreated);
}

TEST(TempFileWriter, ReadsThePidOfTemporaryFileSuffixesOnly) {
    const struct {
        std::string suffix;
        std::optional<std::uint64_t> writer;
    } cases[] = {
        {tempFileSuffix(4242, 0), 4242},
        {tempFileSuffix(4294967295u, 99), 4294967295u},
        {".tmp1-", std::nullopt},
        {".tmp-0", std::nullopt},
        {".tmp12x-0", std::nullopt},
        {".tmp12-0.html", std::nullopt},
        {".tmp+12-0", std::nullopt},
        {".TMP12-0", std::nullopt},
        {"tmp12-0", std::nullopt},
        {".tmp12", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(tempFileWriter(c.suffix), c.writer) << c.suffix;
}

// What a writer killed part way leaves: its temporary file, which the next replace of the same
// target clears unless its process still runs.
TEST(ReplaceFileContent, RemovesTemporaryFilesOfEndedWritersOnly) {
    TempFolder folder;
    // No process has this id: beyond the largest POSIX pid, and no multiple of 4 on Windows.
    constexpr std::uint64_t ENDED = 99999999;
#ifdef _WIN32
    const auto running = static_cast<std::uint64_t>(_getpid());
#else
    const auto running = static_cast<std::uint64_t>(getpid());
#endif
    const std::vector<std::string> left = {
        "data.bin" + tempFileSuffix(ENDED, 0), "data.bin" + tempFileSuffix(ENDED, 3)};
    const std::vector<std::string> kept = {
        "data.bin" + tempFileSuffix(running, 7),  // a writer that still runs
        "other.bin" + tempFileSuffix(ENDED, 0),   // another target's
        "data.bin.tmp12x-0", "data.bin.old"};
    for (const auto& name : left) ASSERT_TRUE(replaceFileContent(folder.file(name), "partial"));
    for (const auto& name : kept) ASSERT_TRUE(replaceFileContent(folder.file(name), "kept"));
    ASSERT_TRUE(replaceFileContent(folder.file("data.bin"), "new"));
    std::vector<std::string> expected = kept;
    expected.push_back("data.bin");
    EXPECT_EQ(sorted(listFiles(folder.path(), "")), sorted(expected));
    EXPECT_EQ(readWholeFile(folder.file("data.bin")), "new");
}

TEST(Files, AbsolutePathsAreTakenFromTheGivenFolder) {
    TempFolder folder;
    const std::string base = folder.path();
#ifdef _WIN32
    const std::string sep = "\\";
#else
    const std::string sep = "/";
#endif
    EXPECT_EQ(absolutePath(base, "relative.txt"), base + sep + "relative.txt");
    EXPECT_EQ(absolutePath(base, "sub\\..\\.\\relative.txt"), base + sep + "relative.txt");
    EXPECT_EQ(absolutePath(base, "sub/x/../y.txt"), base + sep + "sub" + sep + "y.txt");
    EXPECT_EQ(absolutePath("/elsewhere", base + sep + "sub"), base + sep + "sub");
    EXPECT_TRUE(isAbsolutePath(base));
    EXPECT_FALSE(isAbsolutePath("engine\\nuq.eng"));
    EXPECT_FALSE(isAbsolutePath(""));
    // The working directory is never consulted: a file made through the result is where the
    // folder says.
    ASSERT_TRUE(replaceFileContent(absolutePath(base, "relative.txt"), "r"));
    EXPECT_EQ(readWholeFile(folder.file("relative.txt")), "r");
    EXPECT_TRUE(isAbsolutePath(workingDirectory()));
}

TEST(JoinPath, UsesTheWindowsSeparatorOnce) {
    EXPECT_EQ(joinPath("engine", "nuq.eng"), "engine\\nuq.eng");
    EXPECT_EQ(joinPath("engine\\", "nuq.eng"), "engine\\nuq.eng");
    EXPECT_EQ(joinPath("/tmp/", "a"), "/tmp/a");
    EXPECT_EQ(joinPath("", "a"), "a");
    // A folder ending in 表 (95 5C) does not end in a separator.
    EXPECT_EQ(joinPath("\x95\x5C", "a"), "\x95\x5C\\a");
}

}  // namespace
}  // namespace vexor
