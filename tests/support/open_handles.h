// How many handles the process holds open: kernel handles on Windows (sockets, events, threads
// and files alike), file descriptors on POSIX (sockets included). A leak of any of them shows as
// a count that grows with the work done.
#pragma once

namespace vexor::testing {

// The count now; -1 when the system cannot tell.
int openHandleCount();

}  // namespace vexor::testing
