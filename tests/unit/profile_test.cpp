// The settings file in the Windows profile format.
#include <gtest/gtest.h>

#include "japanese.h"
#include "platform/files.h"
#include "platform/profile_file.h"
#include "temp_folder.h"

namespace vexor {
namespace {

using testing::TempFolder;

TEST(Profile, MissingFileSectionOrKeyGivesTheFallback) {
    TempFolder folder;
    const std::string ini = folder.file("vexor.ini");
    EXPECT_EQ(readProfileInt(ini, "WINDOW", "left", -7), -7);
    EXPECT_EQ(readProfileString(ini, "FILE", "survey", "none"), "none");
    ASSERT_TRUE(replaceFileContent(ini, "[WINDOW]\r\ntop=3\r\n"));
    EXPECT_EQ(readProfileInt(ini, "WINDOW", "left", 42), 42);
    EXPECT_EQ(readProfileInt(ini, "OTHER", "top", 42), 42);
    EXPECT_EQ(readProfileString(ini, "WINDOW", "left", ""), "");
}

TEST(Profile, ReadsHandWrittenFilesWithoutCaseAndWithBlanks) {
    TempFolder folder;
    const std::string ini = folder.file("vexor.ini");
    ASSERT_TRUE(replaceFileContent(ini,
                                   "[Window]\r\n"
                                   "  Left = 15 \r\n"
                                   "top=-20\r\n"
                                   "width=abc\r\n"
                                   "\r\n"
                                   "[file]\r\n"
                                   "survey = \"C:\\data\\my list.txt\"\r\n"
                                   "engine=engine\\nuq.eng\r\n"));
    EXPECT_EQ(readProfileInt(ini, "WINDOW", "LEFT", 0), 15);
    EXPECT_EQ(readProfileInt(ini, "window", "width", 9), 0);  // present but not a number
    EXPECT_EQ(readProfileString(ini, "FILE", "Survey", ""), "C:\\data\\my list.txt");
    EXPECT_EQ(readProfileString(ini, "FILE", "engine", ""), "engine\\nuq.eng");
    EXPECT_EQ(readProfileString(ini, "WINDOW", "left", ""), "15");
}

TEST(Profile, WritesThenReadsBackAndReplacesKeysInPlace) {
    TempFolder folder;
    const std::string ini = folder.file("vexor.ini");
    writeProfileString(ini, "WINDOW", "left", "120");
    writeProfileString(ini, "WINDOW", "top", "80");
    writeProfileString(ini, "FILE", "engine", "engine\\nuq.eng");
    writeProfileString(ini, "window", "LEFT", "130");
    EXPECT_EQ(readProfileInt(ini, "WINDOW", "left", 0), 130);
    EXPECT_EQ(readProfileInt(ini, "WINDOW", "top", 0), 80);
    EXPECT_EQ(readProfileString(ini, "FILE", "engine", ""), "engine\\nuq.eng");
    const std::string content = readWholeFile(ini).value_or("");
    EXPECT_NE(content.find("\r\n"), std::string::npos);
    EXPECT_EQ(content.find("left=120"), std::string::npos);
}

TEST(Profile, ValuesAreCutAt259Bytes) {
    TempFolder folder;
    const std::string ini = folder.file("vexor.ini");
    const std::string value(400, 'v');
    writeProfileString(ini, "FILE", "survey", value);
    EXPECT_EQ(readProfileString(ini, "FILE", "survey", ""), value.substr(0, 259));
    EXPECT_EQ(readProfileString(ini, "FILE", "missing", value), value.substr(0, 259));
    // The cut never leaves half of a double-byte character.
    const std::string japanese = std::string(258, 'x') + "\x95\x5C";
    writeProfileString(ini, "FILE", "japanese", japanese);
    EXPECT_EQ(readProfileString(ini, "FILE", "japanese", ""), std::string(258, 'x'));
}

TEST(Profile, JapaneseValuesRoundTrip) {
    TempFolder folder;
    const std::string ini = folder.file("vexor.ini");
    const std::string path = testing::cp932(u8"C:\\調査\\表ソ.txt");
    writeProfileString(ini, "FILE", "survey", path);
    EXPECT_EQ(readProfileString(ini, "FILE", "survey", ""), path);
}

TEST(ProfileFile, WriteChangesOneLineAndKeepsEveryOtherByte) {
    TempFolder folder;
    const std::string ini = folder.file("vexor.ini");
    ASSERT_TRUE(replaceFileContent(ini, "; kept\r\n[A]\r\nx = 1\r\n\r\n[B]\ny=2\n"));
    writeProfileString(ini, "a", "z", "3");
    EXPECT_EQ(readWholeFile(ini), "; kept\r\n[A]\r\nx = 1\r\nz=3\r\n\r\n[B]\ny=2\n");
    writeProfileString(ini, "A", "X", "4");
    EXPECT_EQ(readWholeFile(ini), "; kept\r\n[A]\r\nX=4\r\nz=3\r\n\r\n[B]\ny=2\n");
    writeProfileString(ini, "b", "w", "5");
    EXPECT_EQ(readWholeFile(ini), "; kept\r\n[A]\r\nX=4\r\nz=3\r\n\r\n[B]\ny=2\nw=5\r\n");
    writeProfileString(ini, "C", "k", "v");
    EXPECT_EQ(readWholeFile(ini), "; kept\r\n[A]\r\nX=4\r\nz=3\r\n\r\n[B]\ny=2\nw=5\r\n[C]\r\nk=v\r\n");
}

TEST(ProfileFile, NewFilesAndFilesWithoutAFinalLineEnd) {
    TempFolder folder;
    const std::string ini = folder.file("vexor.ini");
    writeProfileString(ini, "WINDOW", "left", "1");
    EXPECT_EQ(readWholeFile(ini), "[WINDOW]\r\nleft=1\r\n");
    ASSERT_TRUE(replaceFileContent(ini, "[WINDOW]\r\nleft=1"));
    writeProfileString(ini, "WINDOW", "top", "2");
    EXPECT_EQ(readWholeFile(ini), "[WINDOW]\r\nleft=1\r\ntop=2");
    EXPECT_EQ(readProfileInt(ini, "WINDOW", "top", 0), 2);
}

TEST(ProfileFile, IntegersAsTheProfileReaderTakesThem) {
    TempFolder folder;
    const std::string ini = folder.file("vexor.ini");
    ASSERT_TRUE(replaceFileContent(ini, "[N]\r\na=-20\r\nb=12px\r\nc=\r\nd=+5\r\ne='7'\r\n"));
    EXPECT_EQ(readProfileInt(ini, "N", "a", 9), -20);
    EXPECT_EQ(readProfileInt(ini, "N", "b", 9), 12);
    EXPECT_EQ(readProfileInt(ini, "N", "c", 9), 0);
    EXPECT_EQ(readProfileInt(ini, "N", "d", 9), 0);
    EXPECT_EQ(readProfileInt(ini, "N", "e", 9), 7);
}

TEST(ProfileFile, KeysOfOtherSectionsAndDoubleByteNamesDoNotMatch) {
    TempFolder folder;
    const std::string ini = folder.file("vexor.ini");
    // ア is 83 41 and ャ 83 61: only ASCII letters fold, never a second byte.
    ASSERT_TRUE(replaceFileContent(ini, "top=1\r\n[A]\r\n\x83\x41=2\r\n[B]\r\ntop=3\r\n"));
    EXPECT_EQ(readProfileInt(ini, "A", "top", 9), 9);
    EXPECT_EQ(readProfileInt(ini, "A", "\x83\x41", 9), 2);
    EXPECT_EQ(readProfileInt(ini, "A", "\x83\x61", 9), 9);
    EXPECT_EQ(readProfileInt(ini, "b", "TOP", 9), 3);
}
}  // namespace
}  // namespace vexor
