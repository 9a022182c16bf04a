// Local time from the system.
#include <windows.h>

#include "platform/clock.h"

namespace vexor {

SystemTime localNow() {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    return SystemTime{local.wYear,   local.wMonth,  local.wDayOfWeek, local.wDay,
                      local.wHour,   local.wMinute, local.wSecond,    local.wMilliseconds};
}

}  // namespace vexor
