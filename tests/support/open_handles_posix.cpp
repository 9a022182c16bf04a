// The entries of /proc/self/fd, less the one the listing itself holds.
#include <filesystem>
#include <system_error>

#include "open_handles.h"

namespace vexor::testing {

int openHandleCount() {
    std::error_code error;
    int count = 0;
    for (std::filesystem::directory_iterator it("/proc/self/fd", error), end; !error && it != end;
         it.increment(error))
        ++count;
    return error ? -1 : count - 1;
}

}  // namespace vexor::testing
