// A child program that talks with this one over two pipes of its own besides its standard
// streams: the browser, whose remote-debugging messages travel over them. On POSIX the child
// reads this program's messages on its descriptor 3 and writes its own on descriptor 4; on
// Windows the two are anonymous pipes the child inherits, whose handle numbers are added to its
// command line as "--remote-debugging-io-pipes=READ,WRITE". The child's standard streams go
// nowhere. The child and everything it starts die with this program, also when this program is
// killed: its own process group and a parent-death signal on Linux, a job object that kills on
// close on Windows. (pipe_child_posix.cpp / pipe_child_win32.cpp)
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vexor {

class PipeChild {
public:
    PipeChild();
    ~PipeChild();  // stop()
    PipeChild(PipeChild&&) noexcept;
    PipeChild& operator=(PipeChild&&) noexcept;
    PipeChild(const PipeChild&) = delete;
    PipeChild& operator=(const PipeChild&) = delete;

    // Starts program (a path; not looked up on PATH) with arguments. Not running, with a
    // one-line reason in error, when it cannot be started.
    static PipeChild start(const std::string& program, const std::vector<std::string>& arguments,
                           std::string& error);

    bool running() const;
    long processId() const;  // 0 when not running

    // Writes all of bytes to the child's message pipe; false when the pipe is broken or closed.
    bool write(std::string_view bytes);

    enum class Read { Data, Quiet, Closed };
    // Appends what the child has written to its message pipe, waiting up to wait for the first
    // byte: Data when bytes came, Quiet when none came in time, Closed when the pipe has ended.
    Read read(std::string& into, std::chrono::milliseconds wait);

    // Closes the pipes, gives the child up to grace to end on its own, then kills it and all it
    // started, and waits for it. Does nothing when not running.
    void stop(std::chrono::milliseconds grace = std::chrono::milliseconds(3000));

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace vexor
