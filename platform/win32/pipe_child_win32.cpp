// The child with two message pipes on Windows: anonymous pipes whose child ends alone are handed
// down (an explicit handle list, so that no other handle of this program reaches the browser),
// and a job object that kills the child and all it starts when its last handle closes, which
// the system does also when this program is killed.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <thread>

#include "platform/pipe_child.h"
#include "platform/text.h"
#include "platform/windows_command_line.h"

namespace vexor {
namespace {

// Anonymous pipes have no overlapped reads, so a read with a wait polls for bytes at this pace.
constexpr std::chrono::milliseconds POLL_INTERVAL(10);
constexpr DWORD PIPE_BUFFER = 1 << 16;

void closeHandle(HANDLE& handle) {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    handle = nullptr;
}

// "WHAT PROGRAM (Windows error N)", the error taken before anything can change it.
std::string failure(const char* what, const std::string& program) {
    const DWORD code = GetLastError();
    return std::string(what) + " " + program + " (Windows error " + std::to_string(code) + ")";
}

std::string handleNumber(HANDLE handle) { return std::to_string(reinterpret_cast<std::uintptr_t>(handle)); }

// A job that kills its processes when its last handle closes.
HANDLE killOnCloseJob() {
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (job == nullptr) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        CloseHandle(job);
        return nullptr;
    }
    return job;
}

// The ends a child process is given, inheritable, and closed here once the child has them.
struct ChildEnds {
    HANDLE reads = nullptr;   // this program's messages come out here
    HANDLE writes = nullptr;  // the child's messages go in here
    HANDLE nul = nullptr;     // its standard streams
    ~ChildEnds() {
        closeHandle(reads);
        closeHandle(writes);
        closeHandle(nul);
    }
};

bool makeInheritable(HANDLE handle) { return SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT); }

// A process attribute list that limits inheritance to handles (which must outlive it).
class HandleListAttribute {
public:
    explicit HandleListAttribute(HANDLE* handles, std::size_t count) {
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        buffer_.resize(size);
        list_ = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.data());
        if (!InitializeProcThreadAttributeList(list_, 1, 0, &size)) {
            list_ = nullptr;
            return;
        }
        if (!UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles,
                                       count * sizeof(HANDLE), nullptr, nullptr)) {
            DeleteProcThreadAttributeList(list_);
            list_ = nullptr;
        }
    }
    ~HandleListAttribute() {
        if (list_) DeleteProcThreadAttributeList(list_);
    }
    HandleListAttribute(const HandleListAttribute&) = delete;
    HandleListAttribute& operator=(const HandleListAttribute&) = delete;
    LPPROC_THREAD_ATTRIBUTE_LIST get() const { return list_; }

private:
    std::string buffer_;
    LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

}  // namespace

struct PipeChild::State {
    HANDLE process = nullptr;
    HANDLE job = nullptr;         // nullptr when the system refused to put the child in one
    HANDLE toChild = nullptr;     // this program writes its messages here
    HANDLE fromChild = nullptr;   // and reads the child's here
    DWORD processId = 0;

    ~State() {
        closeHandle(toChild);
        closeHandle(fromChild);
        closeHandle(job);
        closeHandle(process);
    }
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
    auto state = std::make_unique<State>();
    ChildEnds ends;
    if (!CreatePipe(&ends.reads, &state->toChild, nullptr, PIPE_BUFFER) ||
        !CreatePipe(&state->fromChild, &ends.writes, nullptr, PIPE_BUFFER)) {
        error = failure("cannot make the pipes for", program);
        return child;
    }
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    ends.nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           &inheritable, OPEN_EXISTING, 0, nullptr);
    if (ends.nul == INVALID_HANDLE_VALUE || !makeInheritable(ends.reads) || !makeInheritable(ends.writes)) {
        error = failure("cannot prepare the handles for", program);
        return child;
    }
    HANDLE inherited[] = {ends.reads, ends.writes, ends.nul};
    HandleListAttribute attribute(inherited, std::size(inherited));
    if (!attribute.get()) {
        error = failure("cannot limit the handles inherited by", program);
        return child;
    }

    std::vector<std::string> all = arguments;
    all.push_back("--remote-debugging-io-pipes=" + handleNumber(ends.reads) + "," + handleNumber(ends.writes));
    std::wstring commandLine = cp932ToWide(windowsCommandLine(program, all));
    STARTUPINFOEXW startup = {};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = ends.nul;
    startup.StartupInfo.hStdOutput = ends.nul;
    startup.StartupInfo.hStdError = ends.nul;
    startup.lpAttributeList = attribute.get();
    PROCESS_INFORMATION created = {};
    // Suspended until it is in the job, so that nothing it starts escapes the job.
    if (!CreateProcessW(cp932ToWide(program).c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                        CREATE_SUSPENDED | CREATE_NO_WINDOW | EXTENDED_STARTUPINFO_PRESENT, nullptr,
                        nullptr, &startup.StartupInfo, &created)) {
        error = failure("cannot start", program);
        return child;
    }
    state->process = created.hProcess;
    state->processId = created.dwProcessId;
    state->job = killOnCloseJob();
    // Windows 7 cannot put a process in a second job: when this program runs in a job already,
    // the child stays in that one and stop() ends the child alone.
    if (state->job && !AssignProcessToJobObject(state->job, created.hProcess)) closeHandle(state->job);
    ResumeThread(created.hThread);
    CloseHandle(created.hThread);
    child.state_ = std::move(state);
    return child;
}

bool PipeChild::running() const {
    return state_ && state_->process && WaitForSingleObject(state_->process, 0) == WAIT_TIMEOUT;
}

long PipeChild::processId() const { return running() ? static_cast<long>(state_->processId) : 0; }

bool PipeChild::write(std::string_view bytes) {
    if (!state_ || !state_->toChild) return false;
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), PIPE_BUFFER));
        DWORD written = 0;
        if (!WriteFile(state_->toChild, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

PipeChild::Read PipeChild::read(std::string& into, std::chrono::milliseconds wait) {
    if (!state_ || !state_->fromChild) return Read::Closed;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(state_->fromChild, nullptr, 0, nullptr, &available, nullptr)) return Read::Closed;
        if (available > 0) {
            const std::size_t old = into.size();
            into.resize(old + available);
            DWORD got = 0;
            if (!ReadFile(state_->fromChild, into.data() + old, available, &got, nullptr)) {
                into.resize(old);
                return Read::Closed;
            }
            into.resize(old + got);
            return Read::Data;
        }
        // The child's children may hold its end of the pipe; a dead child has nothing more to say.
        if (WaitForSingleObject(state_->process, 0) != WAIT_TIMEOUT) return Read::Closed;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return Read::Quiet;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(POLL_INTERVAL, deadline - now));
    }
}

void PipeChild::stop(std::chrono::milliseconds grace) {
    if (!state_) return;
    closeHandle(state_->toChild);
    closeHandle(state_->fromChild);
    if (state_->process) {
        WaitForSingleObject(state_->process, static_cast<DWORD>(grace.count()));
        // Also ends what the child started and left behind.
        if (state_->job) TerminateJobObject(state_->job, 1);
        else TerminateProcess(state_->process, 1);
        WaitForSingleObject(state_->process, INFINITE);
    }
    state_.reset();
}

}  // namespace vexor
