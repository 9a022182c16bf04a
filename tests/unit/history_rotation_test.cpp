// The rotation of history generations: a rotation stopped after any of its steps, as a kill
// leaves it, is finished by the next run into exactly what an uninterrupted one gives.
#include "survey/history_rotation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "survey/history.h"
#include "temp_folder.h"
#include "test_workspace.h"

namespace vexor {
namespace {

namespace fs = std::filesystem;
using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

// Every file under a folder, by its path relative to it, with its bytes.
std::map<std::string, std::string> contents(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).generic_string()] = readBytes(entry.path());
    return files;
}

std::string generation(char name) {
    return std::string("2006/01/0") + name + " (nuq)\r\n2006/01/0" + name + ":10:00:00\tkw\t" + name + "\r\n";
}

constexpr char HEADER[] = "2006/02/03 (nuq)";

class Rotation : public ::testing::TestWithParam<std::string> {
protected:
    // The folder "site" with a generation file for each digit of present ("013": 0, 1 and 3).
    fs::path prepare(TempFolder& where, const std::string& present) {
        const fs::path site = where.native() / "site";
        fs::create_directory(site);
        for (const char k : present) writeBytes(site / (std::string(1, k) + ".txt"), generation(static_cast<char>('1' + (k - '0'))));
        return site;
    }
    std::string folderOf(TempFolder& where) { return where.file("site"); }
};

TEST_P(Rotation, StoppedAfterAnyStepItIsFinishedAsIfNeverStopped) {
    const std::string present = GetParam();
    TempFolder cleanRun;
    const fs::path clean = prepare(cleanRun, present);
    ASSERT_EQ(rotateGenerations(folderOf(cleanRun), HEADER), RotationOutcome::Rotated);
    const auto expected = contents(clean);

    // The steps of a rotation by hand, stopped after each: the new file, the marker, the moves
    // from the highest generation down, the new file in place of 0.txt.
    std::vector<std::string> moves;
    for (auto k = present.rbegin(); k != present.rend(); ++k) moves.push_back(std::string(1, *k));
    for (std::size_t stop = 0; stop <= moves.size() + 3; ++stop) {
        TempFolder run;
        const fs::path site = prepare(run, present);
        std::size_t step = 0;
        const auto next = [&] { return step++ < stop; };
        if (next()) writeBytes(site / "0.new", std::string(HEADER) + "\r\n");
        if (next()) writeBytes(site / "rotation", present + "\r\n" + HEADER + "\r\n");
        bool moved = stop >= 2;
        for (const std::string& k : moves) {
            if (!next()) {
                moved = false;
                break;
            }
            if (k == "4") {
                fs::create_directory(site / "archive");
                fs::rename(site / "4.txt", site / "archive" / archiveName(folderOf(run) + "\\4.txt"));
            } else {
                fs::rename(site / (k + ".txt"), site / (std::string(1, static_cast<char>(k[0] + 1)) + ".txt"));
            }
        }
        if (moved && next()) fs::rename(site / "0.new", site / "0.txt");

        finishInterruptedRotation(folderOf(run));
        if (stop < 2) {
            // Killed before the marker stood: nothing moved, and the draft is cleared away.
            TempFolder untouched;
            EXPECT_EQ(contents(site), contents(prepare(untouched, present))) << "stopped after " << stop;
        } else {
            EXPECT_EQ(contents(site), expected) << "stopped after " << stop;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(PresentGenerations, Rotation,
                         ::testing::Values("01234", "0", "", "013", "1234", "24", "4"));

TEST(RotationLeftovers, DraftsAndOldCopiesAreClearedAwayAndNothingElse) {
    TempFolder where;
    const fs::path site = where.native() / "site";
    fs::create_directory(site);
    for (const char* name : {"0.txt", "0.new", "rotation.new", "2.txt.tmp1234-0", "3.txt.tmp9-17",
                             "lock", "notes.txt", "2.txt.tmpx-1", "5.txt.tmp1-1"})
        writeBytes(site / name, name);
    EXPECT_FALSE(finishInterruptedRotation(where.file("site")));
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(site)) left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"0.txt", "2.txt.tmpx-1", "5.txt.tmp1-1", "lock", "notes.txt"}));
}

TEST(RotationLeftovers, AMarkerWithoutItsNewFileOnlyHadItsRemovalLeft) {
    TempFolder where;
    const fs::path site = where.native() / "site";
    fs::create_directory(site);
    writeBytes(site / "0.txt", std::string(HEADER) + "\r\n");
    writeBytes(site / "1.txt", generation('1'));
    writeBytes(site / "rotation", std::string("0\r\n") + HEADER + "\r\n");
    EXPECT_TRUE(finishInterruptedRotation(where.file("site")));
    EXPECT_FALSE(fs::exists(site / "rotation"));
    EXPECT_EQ(readBytes(site / "0.txt"), std::string(HEADER) + "\r\n");
    EXPECT_EQ(readBytes(site / "1.txt"), generation('1'));
}

}  // namespace
}  // namespace vexor
