// The child with two message pipes on POSIX: fork and exec, the child reading this program's
// messages on its descriptor 3 and writing its own on descriptor 4, its standard streams on
// /dev/null and no other descriptor of this program (every other one is closed in the child
// before exec, so a descriptor opened elsewhere without close-on-exec cannot leak into it). The
// child leads a process group of its own, so that stop() reaches everything it started; on Linux
// it also gets SIGKILL when its parent goes, so that a killed vexor leaves no browser behind.
// Program path and arguments arrive as code page 932 text, like every text of the core, and go
// to exec as UTF-8.
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <thread>

#include "platform/path_text.h"
#include "platform/pipe_child.h"
#include "platform/text.h"

namespace vexor {
namespace {

constexpr int CHILD_READS_FD = 3;
constexpr int CHILD_WRITES_FD = 4;
// A rendered page is megabytes: a wider pipe from the child takes it in fewer wake-ups.
constexpr std::size_t READ_SIZE = 1 << 20;
constexpr std::chrono::milliseconds REAP_CHECK{20};

void closeIfOpen(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// The forked child's failure: errno goes to errorFd, which the parent reads.
[[noreturn]] void failChild(int errorFd) {
    const int code = errno;
    [[maybe_unused]] const auto written = ::write(errorFd, &code, sizeof code);
    _exit(127);
}

// In the forked child: only async-signal-safe calls, then exec. A successful exec closes errorFd
// (close-on-exec) unread.
[[noreturn]] void becomeChild(const char* program, char* const* argv, int childReads, int childWrites,
                              int errorFd, pid_t parent) {
    setpgid(0, 0);
#ifdef __linux__
    // The signal comes when the thread that forked ends, not the process: the browser is
    // therefore started from the thread that fetches with it for the whole run.
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0) failChild(errorFd);
    if (getppid() != parent) _exit(127);  // the parent died before the signal was armed
#else
    (void)parent;
#endif
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    signal(SIGPIPE, SIG_DFL);

    // Out of the way of 0..4 first, so that the dup2 calls below cannot overwrite each other.
    const int reads = fcntl(childReads, F_DUPFD, 10);
    const int writes = fcntl(childWrites, F_DUPFD, 10);
    const int nothing = ::open("/dev/null", O_RDWR);
    if (reads < 0 || writes < 0 || nothing < 0) failChild(errorFd);
    if (dup2(nothing, 0) < 0 || dup2(nothing, 1) < 0 || dup2(nothing, 2) < 0 ||
        dup2(reads, CHILD_READS_FD) < 0 || dup2(writes, CHILD_WRITES_FD) < 0)
        failChild(errorFd);
    // Everything above 4 goes, except the error pipe, which close-on-exec closes on success.
    const int keep = fcntl(errorFd, F_DUPFD_CLOEXEC, CHILD_WRITES_FD + 1);
    if (keep < 0) failChild(errorFd);
    errorFd = keep;
    if (keep > CHILD_WRITES_FD + 1) close_range(CHILD_WRITES_FD + 1, static_cast<unsigned>(keep) - 1, 0);
    close_range(static_cast<unsigned>(keep) + 1, UINT_MAX, 0);
    execv(program, argv);
    failChild(errorFd);
}

// Blocks SIGPIPE in the calling thread while writing to a pipe whose reader may be gone, so that
// the write fails with EPIPE instead of ending the process; a signal raised by this write is
// taken back before the mask is restored.
bool writeWithoutPipeSignal(int fd, std::string_view bytes) {
    sigset_t pipeSignal;
    sigset_t before;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &before);
    sigset_t pending;
    sigpending(&pending);
    const bool alreadyPending = sigismember(&pending, SIGPIPE) == 1;
    bool whole = true;
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            whole = false;
            break;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    if (!whole && errno == EPIPE && !alreadyPending) {
        const timespec now{0, 0};
        sigtimedwait(&pipeSignal, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    return whole;
}

}  // namespace

struct PipeChild::State {
    pid_t pid = -1;
    int toChild = -1;    // this program writes, the child reads on its descriptor 3
    int fromChild = -1;  // the child writes on its descriptor 4, this program reads
    bool reaped = false;
};

PipeChild::PipeChild() = default;
PipeChild::~PipeChild() { stop(); }
PipeChild::PipeChild(PipeChild&&) noexcept = default;
PipeChild& PipeChild::operator=(PipeChild&& other) noexcept {
    if (this != &other) {
        stop();
        state_ = std::move(other.state_);
    }
    return *this;
}

PipeChild PipeChild::start(const std::string& program, const std::vector<std::string>& arguments,
                           std::string& error) {
    PipeChild child;
    // Everything exec needs is made before fork: the child may only make async-signal-safe calls.
    const std::string path = cp932ToUtf8(withSlashSeparators(program));
    std::vector<std::string> words{path};
    for (const auto& argument : arguments) words.push_back(cp932ToUtf8(argument));
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    int down[2] = {-1, -1};
    int up[2] = {-1, -1};
    int report[2] = {-1, -1};
    if (pipe2(down, O_CLOEXEC) != 0 || pipe2(up, O_CLOEXEC) != 0 || pipe2(report, O_CLOEXEC) != 0) {
        error = std::string("no pipe for the child: ") + std::strerror(errno);
        for (int* p : {down, up, report}) {
            closeIfOpen(p[0]);
            closeIfOpen(p[1]);
        }
        return child;
    }
#ifdef F_SETPIPE_SZ
    fcntl(up[0], F_SETPIPE_SZ, static_cast<int>(READ_SIZE));  // a wish: the default size works too
#endif
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) becomeChild(path.c_str(), argv.data(), down[0], up[1], report[1], parent);
    const int forkErrno = errno;
    closeIfOpen(down[0]);
    closeIfOpen(up[1]);
    closeIfOpen(report[1]);
    if (pid < 0) {
        error = std::string("cannot start ") + path + ": " + std::strerror(forkErrno);
        closeIfOpen(down[1]);
        closeIfOpen(up[0]);
        closeIfOpen(report[0]);
        return child;
    }
    // Set here too, so that the group exists whichever of the two runs first.
    setpgid(pid, pid);

    int childErrno = 0;
    ssize_t got;
    do {
        got = ::read(report[0], &childErrno, sizeof childErrno);
    } while (got < 0 && errno == EINTR);
    closeIfOpen(report[0]);

    child.state_ = std::make_unique<State>();
    child.state_->pid = pid;
    child.state_->toChild = down[1];
    child.state_->fromChild = up[0];
    if (got > 0) {
        error = "cannot start " + path + ": " + std::strerror(childErrno);
        child.stop(std::chrono::milliseconds(0));
    }
    return child;
}

bool PipeChild::running() const {
    if (!state_ || state_->reaped) return false;
    // WNOWAIT leaves an ended child a zombie, so that its process id (and group id) stays ours
    // until stop() has killed the group.
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(state_->pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == 0;
}

long PipeChild::processId() const { return running() ? static_cast<long>(state_->pid) : 0; }

bool PipeChild::write(std::string_view bytes) {
    if (!state_ || state_->toChild < 0) return false;
    return writeWithoutPipeSignal(state_->toChild, bytes);
}

PipeChild::Read PipeChild::read(std::string& into, std::chrono::milliseconds wait) {
    if (!state_ || state_->fromChild < 0) return Read::Closed;
    pollfd watched{state_->fromChild, POLLIN, 0};
    int ready;
    do {
        ready = poll(&watched, 1, static_cast<int>(std::clamp<long long>(wait.count(), 0, INT_MAX)));
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) return Read::Closed;
    if (ready == 0) return Read::Quiet;
    const std::size_t had = into.size();
    into.resize(had + READ_SIZE);
    ssize_t n;
    do {
        n = ::read(state_->fromChild, into.data() + had, READ_SIZE);
    } while (n < 0 && errno == EINTR);
    into.resize(had + static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
    return n > 0 ? Read::Data : Read::Closed;
}

void PipeChild::stop(std::chrono::milliseconds grace) {
    if (!state_ || state_->reaped) return;
    closeIfOpen(state_->toChild);
    closeIfOpen(state_->fromChild);
    const auto giveUp = std::chrono::steady_clock::now() + grace;
    while (running() && std::chrono::steady_clock::now() < giveUp) std::this_thread::sleep_for(REAP_CHECK);
    // The whole group, also when the leader ended on its own: what it started may still run.
    kill(-state_->pid, SIGKILL);
    while (waitpid(state_->pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    state_->reaped = true;
}

}  // namespace vexor
