#include "engine/engine_name.h"

#include <gtest/gtest.h>

namespace vexor {
namespace {

TEST(BaseName, CutsAtTheLastBackslashAndTheLastFullStopAfterIt) {
    EXPECT_EQ(baseName("engine\\nuq.eng"), "nuq");
    EXPECT_EQ(baseName("C:\\tools\\engine\\a.b.eng"), "a.b");
    EXPECT_EQ(baseName("a.x\\name"), "name");
    EXPECT_EQ(baseName("plain"), "plain");
    EXPECT_EQ(baseName(""), "");
    EXPECT_EQ(baseName("dir\\"), "");
}

TEST(BaseName, ASecondByteOfADoubleByteCharacterIsNeitherSeparatorNorDot) {
    // 表 is 95 5C in code page 932; 2E as a second byte does not occur, but 5C does.
    EXPECT_EQ(baseName("engine\\\x95\x5C.eng"), "\x95\x5C");
    EXPECT_EQ(baseNameAtBackslash("\x95\x5C\x83\x5C"), "\x95\x5C\x83\x5C");
}

TEST(BaseName, HeaderRuleKeepsSlashesAndCutsAtTheLastFullStop) {
    EXPECT_EQ(baseNameAtBackslash("2006/02/01 (nuq)"), "2006/02/01 (nuq)");
    EXPECT_EQ(baseNameAtBackslash("2006/02/01 (my.engine)"), "2006/02/01 (my");
}

// Windows takes both separators in paths, so engine/nuq.eng must name the engine nuq there too:
// a survey run with that path and one with engine\nuq.eng continue one generation.
TEST(BaseName, PathsSplitAtSlashesTooOnEveryPlatform) {
    EXPECT_EQ(baseName("/home/u/engine/nuq.eng"), "nuq");
    EXPECT_EQ(baseName("engine/a.b.eng"), "a.b");
    EXPECT_EQ(baseName("C:/tools\\engine/nuq.eng"), baseName("engine\\nuq.eng"));
}

}  // namespace
}  // namespace vexor
