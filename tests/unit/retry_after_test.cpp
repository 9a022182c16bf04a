#include "web/retry_after.h"

#include <gtest/gtest.h>

namespace vexor {
namespace {

constexpr std::time_t SUN_06_NOV_1994_08_49_37 = 784111777;

TEST(RetryAfter, ReadsSecondsAndTheThreeDateFormsFromNow) {
    const std::time_t now = SUN_06_NOV_1994_08_49_37 - 100;
    const struct {
        const char* value;
        int seconds;
    } cases[] = {
        {"120", 120},
        {" 0\t", 0},
        {"86401", RETRY_AFTER_CAP_SECONDS},
        {"99999999999999999999", RETRY_AFTER_CAP_SECONDS},
        {"Sun, 06 Nov 1994 08:49:37 GMT", 100},
        {"Sunday, 06-Nov-94 08:49:37 GMT", 100},
        {"Sun Nov  6 08:49:37 1994", 100},
        {"sun, 06 NOV 1994 08:51:17 gmt", 200},
        {"Sat, 05 Nov 1994 08:49:37 GMT", 0},     // passed
        {"Thu, 01 Jan 2099 00:00:00 GMT", RETRY_AFTER_CAP_SECONDS},
        {"", -1},
        {"-5", -1},
        {"1.5", -1},
        {"soon", -1},
        {"Sun, 06 Foo 1994 08:49:37 GMT", -1},
        {"Sun, 06 Nov 1994 25:49:37 GMT", -1},
        {"Sun, 06 Nov 1994 08:49 GMT", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(retryAfterSeconds(c.value, now), c.seconds) << c.value;
}

TEST(RetryAfter, CountsDatesAcrossYearsAndLeapDays) {
    // 2000-03-01 00:00:00 GMT is 951868800; a day before is the leap day.
    EXPECT_EQ(retryAfterSeconds("Wed, 01 Mar 2000 00:00:00 GMT", 951868800 - 86400), 86400);
    EXPECT_EQ(retryAfterSeconds("Tue, 29 Feb 2000 23:59:59 GMT", 951868800 - 86400), 86399);
    EXPECT_EQ(retryAfterSeconds("Thu, 01 Jan 1970 00:00:10 GMT", 0), 10);
}

}  // namespace
}  // namespace vexor
