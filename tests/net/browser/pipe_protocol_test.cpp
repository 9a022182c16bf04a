// The child with two message pipes and the NUL-framed JSON messages over them, against small
// shell and Python programs standing in for the browser on descriptors 3 and 4.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <string>

#include "deadline.h"
#include "platform/pipe_child.h"
#include "web/browser_protocol.h"

namespace vexor {
namespace {

using namespace std::chrono_literals;

PipeChild shell(const std::string& script) {
    std::string error;
    PipeChild child = PipeChild::start("/bin/sh", {"-c", script}, error);
    EXPECT_TRUE(child.running()) << error;
    return child;
}

std::chrono::steady_clock::time_point in(std::chrono::milliseconds wait) {
    return std::chrono::steady_clock::now() + wait;
}

// What the stand-in writes on its descriptor 4, and what the first command then comes to.
struct ExchangeCase {
    const char* name;
    const char* script;
    BrowserWait wait;
    const char* result;      // the answer's result as JSON text ("null": none)
    const char* error;       // the browser's error message
    std::size_t events;      // events kept while waiting
    std::chrono::milliseconds deadline = 10000ms;
};

const ExchangeCase EXCHANGES[] = {
    {"merged and split messages", R"(printf '{"method":"A"}\0{"method":"B","params":{"n":1}}\0{"id":1,"res' >&4;
         sleep 0.2; printf 'ult":{"v":7}}\0' >&4; cat <&3 >/dev/null)",
     BrowserWait::Done, R"({"v":7})", "", 2},
    {"an answer to an earlier command is passed over",
     R"(printf '{"id":9,"result":{"v":1}}\0{"id":1,"result":{"v":2}}\0' >&4; cat <&3 >/dev/null)",
     BrowserWait::Done, R"({"v":2})", "", 0},
    {"an error answer", R"(printf '{"id":1,"error":{"code":-32601,"message":"no such method"}}\0' >&4;
         cat <&3 >/dev/null)",
     BrowserWait::Done, "null", "no such method", 0},
    {"the pipe closes", "printf '{\"method\":\"A\"}\\0' >&4; exec 4>&-; cat <&3 >/dev/null", BrowserWait::Closed, "null", "",
     1},
    {"a message that is not JSON", R"(printf 'not json\0{"id":1,"result":{}}\0' >&4; cat <&3 >/dev/null)",
     BrowserWait::Malformed, "null", "", 0},
    {"JSON that is not an object", R"(printf '[1,2]\0' >&4; cat <&3 >/dev/null)", BrowserWait::Malformed, "null", "",
     0},
    {"a message past the cap", "yes aaaaaaaaaaaaaaa | head -c 70000000 >&4; cat <&3 >/dev/null",
     BrowserWait::Malformed, "null", "", 0},
    {"no answer before the deadline", "cat <&3 >/dev/null", BrowserWait::Deadline, "null", "", 0, 300ms},
};

TEST(BrowserConnection, ExchangesWithAStandIn) {
    const std::atomic<bool> never{false};
    for (const auto& c : EXCHANGES) {
        SCOPED_TRACE(c.name);
        PipeChild child = shell(c.script);
        BrowserConnection connection(child);
        const auto answer = connection.call("Page.enable", nlohmann::json::object(), "", in(c.deadline), never);
        EXPECT_EQ(answer.wait, c.wait);
        EXPECT_EQ(answer.result.dump(), c.result);
        EXPECT_EQ(answer.error, c.error);
        std::size_t events = 0;
        for (BrowserEvent event; connection.nextEvent(event, in(0ms), never) == BrowserWait::Done;) ++events;
        EXPECT_EQ(events, c.events);
        if (c.wait == BrowserWait::Closed || c.wait == BrowserWait::Malformed) {
            // A broken connection stays broken, and says so at once.
            EXPECT_EQ(connection.call("Page.enable", {}, "", in(3000ms), never).wait, c.wait);
        }
    }
}

TEST(BrowserConnection, SendsTheCommandNulEndedAndCollectsEventsByOrder) {
    // The stand-in answers the first command with the command itself, after an event.
    const char* echo =
        "import os\n"
        "data = b''\n"
        "while b'\\0' not in data:\n"
        "    data += os.read(3, 65536)\n"
        "command, rest = data.split(b'\\0', 1)\n"
        "os.write(4, b'{\"method\":\"Page.loadEventFired\",\"sessionId\":\"S1\"}\\0')\n"
        "os.write(4, b'{\"id\":1,\"result\":' + command + b',\"rest\":' + str(len(rest)).encode() + b'}\\0')\n"
        "os.read(3, 1)\n";
    std::string error;
    PipeChild child = PipeChild::start("/usr/bin/python3", {"-c", echo}, error);
    ASSERT_TRUE(child.running()) << error;
    BrowserConnection connection(child);
    const std::atomic<bool> never{false};
    const auto answer = connection.call("Page.navigate", {{"url", "http://a.test/\xE6\x9D\xB1"}}, "S1", in(5000ms), never);
    ASSERT_EQ(answer.wait, BrowserWait::Done);
    EXPECT_EQ(answer.result.dump(),
              R"({"id":1,"method":"Page.navigate","params":{"url":"http://a.test/東"},"sessionId":"S1"})");
    BrowserEvent event;
    ASSERT_EQ(connection.nextEvent(event, in(0ms), never), BrowserWait::Done);
    EXPECT_EQ(event.method, "Page.loadEventFired");
    EXPECT_EQ(event.sessionId, "S1");
}

TEST(BrowserConnection, AnAbortEndsTheWait) {
    PipeChild child = shell("cat <&3 >/dev/null");
    BrowserConnection connection(child);
    const std::atomic<bool> raised{true};
    EXPECT_EQ(connection.call("Page.enable", {}, "", in(30000ms), raised).wait, BrowserWait::Aborted);
}

TEST(PipeChild, TheChildHasOnlyItsStreamsAndTheTwoPipes) {
    // A descriptor this program opened without close-on-exec must not reach the child.
    const int stray = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(stray, 0);
    // No pipeline: the shell would hold the pipe's descriptors for a moment while ls looks.
    PipeChild child = shell("exec >&4; ls /proc/$$/fd");
    std::string seen;
    while (child.read(seen, 5000ms) == PipeChild::Read::Data) {
    }
    ::close(stray);
    EXPECT_EQ(seen, "0\n1\n2\n3\n4\n");
}

TEST(PipeChild, StopEndsTheChildAndWhatItStarted) {
    PipeChild child = shell("sleep 60 & printf started >&4; wait");
    std::string seen;
    ASSERT_EQ(child.read(seen, 5000ms), PipeChild::Read::Data);
    const long group = child.processId();
    ASSERT_GT(group, 0);
    child.stop(100ms);
    EXPECT_FALSE(child.running());
    // The group, sleep included, is gone once the killed processes have been reaped.
    EXPECT_TRUE(testing::waitUntil([group] { return ::kill(static_cast<pid_t>(-group), 0) == -1 && errno == ESRCH; },
                                   5000ms));
}

TEST(PipeChild, AProgramThatCannotRunIsNotStarted) {
    std::string error;
    const PipeChild child = PipeChild::start("/nonexistent/browser", {}, error);
    EXPECT_FALSE(child.running());
    EXPECT_NE(error.find("/nonexistent/browser"), std::string::npos) << error;
}

}  // namespace
}  // namespace vexor
