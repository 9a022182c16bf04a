// The NUL-framed JSON messages of the browser's remote-debugging pipe.
#include "web/browser_protocol.h"

#include <algorithm>

namespace vexor {
namespace {

constexpr std::chrono::milliseconds ABORT_CHECK{100};

bool isBroken(BrowserWait wait) { return wait == BrowserWait::Closed || wait == BrowserWait::Malformed; }

BrowserEvent eventOf(nlohmann::json& message) {
    BrowserEvent event;
    event.method = browserText(message, "method");
    event.sessionId = browserText(message, "sessionId");
    if (const auto p = message.find("params"); p != message.end()) event.params = std::move(*p);
    return event;
}

}  // namespace

std::string browserText(const nlohmann::json& object, const char* key) {
    if (!object.is_object()) return {};
    const auto field = object.find(key);
    return field != object.end() && field->is_string() ? field->get<std::string>() : std::string();
}

BrowserConnection::BrowserConnection(PipeChild& child) : child_(child) {}

BrowserWait BrowserConnection::readMessage(nlohmann::json& message, std::chrono::steady_clock::time_point deadline,
                                           const std::atomic<bool>& abortFlag) {
    if (isBroken(broken_)) return broken_;
    std::size_t searched = 0;  // bytes of received_ known to hold no NUL
    for (;;) {
        const auto end = received_.find('\0', searched);
        if (end != std::string::npos) {
            // A message that is not JSON (or not an object) cannot be answered or skipped
            // safely: the stream is not what the browser sends.
            message = nlohmann::json::parse(received_.begin(), received_.begin() + static_cast<long>(end), nullptr,
                                            false);
            received_.erase(0, end + 1);
            if (message.is_discarded() || !message.is_object()) return broken_ = BrowserWait::Malformed;
            return BrowserWait::Done;
        }
        searched = received_.size();
        if (received_.size() > BROWSER_MESSAGE_CAP) return broken_ = BrowserWait::Malformed;
        if (abortFlag.load()) return BrowserWait::Aborted;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return BrowserWait::Deadline;
        const auto wait = std::min<std::chrono::steady_clock::duration>(deadline - now, ABORT_CHECK);
        const auto read =
            child_.read(received_, std::chrono::ceil<std::chrono::milliseconds>(wait));
        if (read == PipeChild::Read::Closed) return broken_ = BrowserWait::Closed;
    }
}

BrowserAnswer BrowserConnection::call(const std::string& method, const nlohmann::json& params,
                                      const std::string& sessionId, std::chrono::steady_clock::time_point deadline,
                                      const std::atomic<bool>& abortFlag) {
    BrowserAnswer answer;
    if (isBroken(broken_)) {
        answer.wait = broken_;
        return answer;
    }
    const long id = nextId_++;
    nlohmann::json command{{"id", id}, {"method", method}, {"params", params}};
    if (!sessionId.empty()) command["sessionId"] = sessionId;
    // Invalid UTF-8 in a text (none is sent on purpose) becomes U+FFFD rather than an exception.
    std::string text = command.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    text.push_back('\0');
    if (!child_.write(text)) {
        answer.wait = broken_ = BrowserWait::Closed;
        return answer;
    }
    for (;;) {
        nlohmann::json message;
        answer.wait = readMessage(message, deadline, abortFlag);
        if (answer.wait != BrowserWait::Done) return answer;
        const auto idField = message.find("id");
        if (idField == message.end()) {
            events_.push_back(eventOf(message));
            continue;
        }
        // An answer to an earlier command that was given up (deadline, abort) is dropped.
        if (!idField->is_number_integer() || idField->get<long>() != id) continue;
        if (const auto error = message.find("error"); error != message.end()) {
            answer.error = browserText(*error, "message");
            if (answer.error.empty()) answer.error = "error";
        } else if (const auto result = message.find("result"); result != message.end()) {
            answer.result = std::move(*result);
        }
        return answer;
    }
}

BrowserWait BrowserConnection::nextEvent(BrowserEvent& event, std::chrono::steady_clock::time_point deadline,
                                         const std::atomic<bool>& abortFlag) {
    for (;;) {
        if (!events_.empty()) {
            event = std::move(events_.front());
            events_.pop_front();
            return BrowserWait::Done;
        }
        nlohmann::json message;
        const BrowserWait wait = readMessage(message, deadline, abortFlag);
        if (wait != BrowserWait::Done) return wait;
        if (message.contains("id")) continue;  // an answer nobody waits for any more
        event = eventOf(message);
        return BrowserWait::Done;
    }
}

}  // namespace vexor
