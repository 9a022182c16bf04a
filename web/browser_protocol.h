// The browser's remote-debugging protocol over the pipes of a PipeChild: messages are JSON texts
// each ended by a NUL byte, both ways. A command carries an id, a method, its params and, for a
// tab, the session id of the tab; the browser answers it with the same id (a result or an
// error) and sends events (a method and params, no id) whenever something happens. What comes
// from the browser is not trusted: a message longer than BROWSER_MESSAGE_CAP or one that is not
// a JSON object breaks the connection, as a closed pipe does.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <deque>
#include <nlohmann/json.hpp>
#include <string>

#include "platform/pipe_child.h"

namespace vexor {

inline constexpr std::size_t BROWSER_MESSAGE_CAP = 64u << 20;  // 64 MB: a rendered page and more

// Why a wait on the connection ended.
enum class BrowserWait {
    Done,       // the answer or the event came
    Deadline,   // the deadline passed first
    Aborted,    // the abort flag was raised
    Closed,     // the browser closed its pipe (it ended or crashed)
    Malformed,  // the browser sent a message that is no JSON object, or one past the cap
};

struct BrowserEvent {
    std::string method;
    std::string sessionId;  // "" for the browser's own events
    nlohmann::json params;
};

struct BrowserAnswer {
    BrowserWait wait = BrowserWait::Done;
    nlohmann::json result;  // the answer's result; null unless wait is Done and no error came
    std::string error;      // the browser's error message, when it answered with an error
};

// The text field key of a JSON object; "" when object is no object or the field is no text, as
// untrusted messages may have it.
std::string browserText(const nlohmann::json& object, const char* key);

class BrowserConnection {
public:
    explicit BrowserConnection(PipeChild& child);

    // Sends a command and waits for its answer until deadline, keeping the events that come
    // meanwhile for nextEvent. The abort flag is looked at at least every 100 ms. Once the
    // connection has broken (Closed, Malformed) every later call answers the same at once.
    BrowserAnswer call(const std::string& method, const nlohmann::json& params, const std::string& sessionId,
                       std::chrono::steady_clock::time_point deadline, const std::atomic<bool>& abortFlag);

    // The oldest event not taken yet, waiting for one until deadline.
    BrowserWait nextEvent(BrowserEvent& event, std::chrono::steady_clock::time_point deadline,
                          const std::atomic<bool>& abortFlag);

    // Forgets the events received and not taken.
    void dropEvents() { events_.clear(); }

private:
    // Reads one whole message into message, waiting until deadline.
    BrowserWait readMessage(nlohmann::json& message, std::chrono::steady_clock::time_point deadline,
                            const std::atomic<bool>& abortFlag);

    PipeChild& child_;
    std::string received_;  // bytes read and not yet taken as messages
    std::deque<BrowserEvent> events_;
    long nextId_ = 1;
    BrowserWait broken_ = BrowserWait::Done;  // Closed or Malformed once the connection broke
};

}  // namespace vexor
