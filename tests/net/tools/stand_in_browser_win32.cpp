// A stand-in for a Chromium-family browser, for the Windows build's tests under Wine, where no
// browser runs: it takes its remote-debugging pipes from "--remote-debugging-io-pipes=R,W",
// reads NUL-terminated JSON messages from handle R and answers on handle W the way a browser
// answers the calls the browser fetcher makes; any other call gets an empty result.
// Environment:
//   VEXOR_STAND_IN_PAGE    a file whose content is the rendered page Runtime.evaluate returns
//   VEXOR_STAND_IN_LOG     a file it appends its command line and every method it receives to
//   VEXOR_STAND_IN_LINGER  "1": keep running when the pipes close, as a hung browser would
// Exit status 0 after Browser.close or when its pipe ends, 2 without usable pipes.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string utf8(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), length, nullptr,
                        nullptr);
    return bytes;
}

std::wstring environmentValue(const wchar_t* name) {
    wchar_t value[32768];
    const DWORD length = GetEnvironmentVariableW(name, value, 32768);
    return length > 0 && length < 32768 ? std::wstring(value, length) : std::wstring();
}

void log(const std::string& line) {
    const std::wstring path = environmentValue(L"VEXOR_STAND_IN_LOG");
    if (path.empty()) return;
    if (FILE* file = _wfopen(path.c_str(), L"ab")) {
        std::fwrite(line.data(), 1, line.size(), file);
        std::fputc('\n', file);
        std::fclose(file);
    }
}

std::string pageContent() {
    std::ifstream file(environmentValue(L"VEXOR_STAND_IN_PAGE").c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The end of the JSON value that starts at pos (a string, an object, an array or a scalar).
std::size_t valueEnd(const std::string& json, std::size_t pos) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = pos; i < json.size(); ++i) {
        const char c = json[i];
        if (inString) {
            if (c == '\\') ++i;
            else if (c == '"') {
                inString = false;
                if (depth == 0) return i + 1;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            if (depth == 0) return i;
            if (--depth == 0) return i + 1;
        } else if (c == ',' && depth == 0) {
            return i;
        }
    }
    return json.size();
}

// The raw text of the value of key among the members of the object json ("" when absent).
std::string member(const std::string& json, const std::string& key) {
    const std::string quoted = "\"" + key + "\"";
    std::size_t i = json.find('{');
    while (i != std::string::npos && i < json.size()) {
        const std::size_t name = json.find('"', i);
        if (name == std::string::npos) break;
        const std::size_t nameEnd = valueEnd(json, name);
        const std::size_t colon = json.find(':', nameEnd);
        if (colon == std::string::npos) break;
        std::size_t value = json.find_first_not_of(" \t\r\n", colon + 1);
        if (value == std::string::npos) break;
        const std::size_t end = valueEnd(json, value);
        if (json.compare(name, nameEnd - name, quoted) == 0) return json.substr(value, end - value);
        i = end;  // at the ',' or '}' after the value
        if (i < json.size() && json[i] == '}') break;
        ++i;
    }
    return std::string();
}

// The content of a JSON string's raw text, escapes of quotes and backslashes undone.
std::string stringValue(const std::string& raw) {
    if (raw.size() < 2 || raw.front() != '"') return std::string();
    std::string text;
    for (std::size_t i = 1; i + 1 < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 2 < raw.size()) ++i;
        text += raw[i];
    }
    return text;
}

std::string quoted(const std::string& text) {
    std::string json = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            json += escape;
        } else {
            json += static_cast<char>(c);
        }
    }
    return json + "\"";
}

class Browser {
public:
    explicit Browser(HANDLE out) : out_(out) {}

    // Answers one message; false once the browser is to end.
    bool answer(const std::string& message) {
        const std::string id = member(message, "id");
        const std::string method = stringValue(member(message, "method"));
        const std::string sessionRaw = member(message, "sessionId");
        session_ = sessionRaw.empty() ? std::string() : ",\"sessionId\":" + sessionRaw;
        log("method " + method);
        if (method == "Target.createTarget") return reply(id, "{\"targetId\":\"T1\"}");
        if (method == "Target.attachToTarget") return reply(id, "{\"sessionId\":\"S1\"}");
        if (method == "Page.navigate") return navigate(id, stringValue(member(member(message, "params"), "url")));
        if (method == "Runtime.evaluate")
            return reply(id, "{\"result\":{\"type\":\"string\",\"value\":" + quoted(pageContent()) + "}}");
        const bool sent = reply(id, "{}");
        return sent && method != "Browser.close";
    }

private:
    bool navigate(const std::string& id, const std::string& url) {
        const std::string n = std::to_string(++navigations_);
        return reply(id, "{\"frameId\":\"F1\",\"loaderId\":\"L" + n + "\"}") &&
               send("{\"method\":\"Network.responseReceived\",\"params\":{\"requestId\":\"R" + n +
                    "\",\"loaderId\":\"L" + n + "\",\"type\":\"Document\",\"response\":{\"url\":" + quoted(url) +
                    ",\"status\":200}}" + session_ + "}") &&
               send("{\"method\":\"Page.loadEventFired\",\"params\":{\"timestamp\":" + n + "}" + session_ + "}");
    }

    bool reply(const std::string& id, const std::string& result) {
        return send("{\"id\":" + id + ",\"result\":" + result + session_ + "}");
    }

    bool send(const std::string& json) {
        const std::string bytes = json + '\0';
        DWORD written = 0;
        return WriteFile(out_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               written == bytes.size();
    }

    HANDLE out_;
    std::string session_;
    int navigations_ = 0;
};

HANDLE handleArgument(const wchar_t* text, wchar_t** end) {
    return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(std::wcstoull(text, end, 10)));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Each argument as this program's C runtime split the command line, one per line.
    for (int i = 1; i < argc; ++i) log("argument " + utf8(argv[i]));
    const std::wstring prefix = L"--remote-debugging-io-pipes=";
    HANDLE in = nullptr;
    HANDLE out = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::wcsncmp(argv[i], prefix.c_str(), prefix.size()) != 0) continue;
        wchar_t* comma = nullptr;
        in = handleArgument(argv[i] + prefix.size(), &comma);
        if (comma && *comma == L',') out = handleArgument(comma + 1, nullptr);
    }
    if (!in || !out) return 2;

    Browser browser(out);
    std::string pending;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(in, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        pending.append(buffer, got);
        for (std::size_t end; (end = pending.find('\0')) != std::string::npos;) {
            const std::string message = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!browser.answer(message)) return 0;
        }
    }
    log("pipe closed");
    if (environmentValue(L"VEXOR_STAND_IN_LINGER") == L"1") Sleep(INFINITE);
    return 0;
}
