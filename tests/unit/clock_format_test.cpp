// The fixed date and time pictures and the local clock.
#include <gtest/gtest.h>

#include "platform/clock.h"

namespace vexor {
namespace {

TEST(ClockFormat, PadsEveryFieldWithZeros) {
    const SystemTime time{2006, 2, 3, 1, 9, 5, 7, 250};
    EXPECT_EQ(formatDate(time), "2006/02/01");
    EXPECT_EQ(formatTime(time), "09:05:07");
    EXPECT_EQ(formatHourMinute(time), "09:05");
    const SystemTime late{2023, 12, 0, 31, 23, 59, 59, 999};
    EXPECT_EQ(formatDate(late), "2023/12/31");
    EXPECT_EQ(formatTime(late), "23:59:59");
    EXPECT_EQ(formatHourMinute(late), "23:59");
    EXPECT_EQ(formatDate(SystemTime{}), "0000/00/00");
}

TEST(LocalNow, GivesACalendarTime) {
    const SystemTime now = localNow();
    EXPECT_GE(now.year, 2024);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_GE(now.day, 1);
    EXPECT_LE(now.day, 31);
    EXPECT_LE(now.dayOfWeek, 6);
    EXPECT_LE(now.hour, 23);
    EXPECT_LE(now.minute, 59);
    EXPECT_LE(now.second, 60);
    EXPECT_LE(now.milliseconds, 999);
}

}  // namespace
}  // namespace vexor
