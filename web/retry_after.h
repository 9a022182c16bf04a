// Reading a Retry-After header: how long a server asks its callers to wait before they ask again.
#pragma once

#include <ctime>
#include <string_view>

namespace vexor {

inline constexpr int RETRY_AFTER_CAP_SECONDS = 86400;

// The seconds that value (the header's value, white space around it allowed) asks for: a
// number of seconds, or an HTTP date (IMF-fixdate, RFC 850 or asctime form, always GMT) counted
// from now, 0 when it has passed; at most RETRY_AFTER_CAP_SECONDS. -1 when value is neither.
int retryAfterSeconds(std::string_view value, std::time_t now);

}  // namespace vexor
