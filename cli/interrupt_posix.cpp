// SIGINT as an abort request.
#include "cli/interrupt.h"

#include <csignal>

namespace vexor::cli {
namespace {

volatile std::sig_atomic_t requested = 0;

extern "C" void onInterrupt(int) { requested = 1; }

}  // namespace

void watchForInterrupt() {
    // A shell starts background jobs with SIGINT ignored so that Ctrl-C at the terminal spares
    // them; that choice is kept.
    struct sigaction previous {};
    if (sigaction(SIGINT, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) return;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;  // the second SIGINT takes the default way out
    sigaction(SIGINT, &action, nullptr);
}

bool interruptRequested() { return requested != 0; }

}  // namespace vexor::cli
