// The fixed date and time pictures, the same in every locale.
#include "platform/clock.h"

#include <cstdio>

namespace vexor {

std::string formatDate(const SystemTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%04u/%02u/%02u", unsigned{time.year}, unsigned{time.month},
                  unsigned{time.day});
    return text;
}

std::string formatTime(const SystemTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", unsigned{time.hour}, unsigned{time.minute},
                  unsigned{time.second});
    return text;
}

std::string formatHourMinute(const SystemTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u", unsigned{time.hour}, unsigned{time.minute});
    return text;
}

}  // namespace vexor
