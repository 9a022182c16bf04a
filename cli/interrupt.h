// Ctrl-C for vexor-cli: the first one becomes a request that the main thread polls and turns
// into an abort of the survey (as the Windows program's abort command does); a second one
// ends the process at once, for a user who will not wait for a slow page to give up.
// The request is process-wide by nature: signal and console handlers can reach nothing else.
#pragma once

namespace vexor::cli {

// Installs the handler (interrupt_posix.cpp / interrupt_win32.cpp).
void watchForInterrupt();

bool interruptRequested();

}  // namespace vexor::cli
