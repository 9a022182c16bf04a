// Local time as the history, the learn command and the engine file use it, and its fixed
// text pictures. The clock itself is a seam so that tests can pin it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vexor {

// Eight 16-bit values in the order the engine file stores them.
struct SystemTime {
    uint16_t year = 0;
    uint16_t month = 0;
    uint16_t dayOfWeek = 0;
    uint16_t day = 0;
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t milliseconds = 0;

    friend bool operator==(const SystemTime&, const SystemTime&) = default;
};

// Returns the current local time; tests pass a lambda that returns a pinned time.
using Clock = std::function<SystemTime()>;

// The operating system's local time, to the millisecond (clock_win32.cpp / clock_posix.cpp).
SystemTime localNow();

// "yyyy/MM/dd", "HH:mm:ss" and "HH:mm": digits and separators only, identical in every locale.
std::string formatDate(const SystemTime& time);
std::string formatTime(const SystemTime& time);
std::string formatHourMinute(const SystemTime& time);

}  // namespace vexor
