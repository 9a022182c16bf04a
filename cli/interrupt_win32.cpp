// The console's Ctrl-C and Ctrl-Break as an abort request.
#include "cli/interrupt.h"

#include <windows.h>

#include <atomic>

namespace vexor::cli {
namespace {

std::atomic<bool> requested{false};

// Runs on a thread of its own that the console starts. Returning FALSE for a second event
// passes it on to the default handler, which ends the process.
BOOL WINAPI onConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    return requested.exchange(true) ? FALSE : TRUE;
}

}  // namespace

void watchForInterrupt() { SetConsoleCtrlHandler(onConsoleEvent, TRUE); }

bool interruptRequested() { return requested.load(); }

}  // namespace vexor::cli
