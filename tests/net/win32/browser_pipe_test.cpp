// The browser's pipe plumbing on Windows, against the stand-in browser that sits beside this
// program: the command line and the pipes a child gets, a conversation of the calls the browser
// fetcher makes, how a child ends (on stop, and with a killed parent), and finding the browser
// through the App Paths registry entry.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "deadline.h"
#include "japanese.h"
#include "platform/files.h"
#include "platform/pipe_child.h"
#include "platform/text.h"
#include "temp_folder.h"
#include "web/browser_fetcher.h"
#include "web/browser_location.h"

namespace vexor {
namespace {

using namespace std::chrono_literals;
using testing::cp932;
using testing::TempFolder;
using testing::utf8Bytes;

std::string besideThisProgram(const std::string& name) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::string self = wideToCp932(std::wstring(path, length)).value();
    return self.substr(0, self.rfind('\\') + 1) + name;
}

const std::string STAND_IN = besideThisProgram("stand_in_browser.exe");

void setEnvironment(const wchar_t* name, const std::string& value) {
    SetEnvironmentVariableW(name, value.empty() ? nullptr : cp932ToWide(value).c_str());
}

// The lines of the stand-in's log that begin with prefix, without it.
std::vector<std::string> logged(const std::string& logFile, const std::string& prefix) {
    std::vector<std::string> lines;
    forEachLine(logFile, [&](std::string_view line, bool) {
        if (line.substr(0, prefix.size()) == prefix) lines.emplace_back(line.substr(prefix.size()));
    });
    return lines;
}

// The NUL-terminated messages a child writes, one at a time; "" when none comes in time.
class Messages {
public:
    explicit Messages(PipeChild& child) : child_(child) {}
    std::string next() {
        for (auto end = std::chrono::steady_clock::now() + testing::TEST_DEADLINE;
             std::chrono::steady_clock::now() < end;) {
            if (const std::size_t nul = pending_.find('\0'); nul != std::string::npos) {
                std::string message = pending_.substr(0, nul);
                pending_.erase(0, nul + 1);
                return message;
            }
            if (child_.read(pending_, 1s) == PipeChild::Read::Closed) break;
        }
        return std::string();
    }

private:
    PipeChild& child_;
    std::string pending_;
};

class BrowserPipe : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(replaceFileContent(page, utf8Bytes(u8"<p class=\"r\">\u9806\u4f4d \\ 1</p>\n")));
        setEnvironment(L"VEXOR_STAND_IN_PAGE", page);
        setEnvironment(L"VEXOR_STAND_IN_LOG", logFile);
    }
    void TearDown() override {
        for (const wchar_t* name : {L"VEXOR_STAND_IN_PAGE", L"VEXOR_STAND_IN_LOG", L"VEXOR_STAND_IN_LINGER"})
            SetEnvironmentVariableW(name, nullptr);
    }

    TempFolder folder;
    const std::string page = folder.file("page.html");
    const std::string logFile = folder.file("stand-in.log");
};

TEST_F(BrowserPipe, ACallerReadsTheServedPageThroughThePipes) {
    // Arguments the runtime's splitter could take apart wrongly: a blank, a quote, backslashes
    // before a quote and at the end, and a last character whose second byte is a backslash.
    const std::vector<std::string> arguments = {"--headless=new",
                                                "--user-data-dir=" + cp932(u8"C:\\\u30c7\u30fc\u30bf \u8868"),
                                                "say \"a\\\"b\" \\\\", "C:\\trailing\\"};
    // An inheritable handle of this program's own, which the child must not get.
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE ownRead = nullptr, ownWrite = nullptr;
    ASSERT_TRUE(CreatePipe(&ownRead, &ownWrite, &inheritable, 0));
    std::string error;
    PipeChild child = PipeChild::start(STAND_IN, arguments, error);
    CloseHandle(ownWrite);
    ASSERT_TRUE(child.running()) << error;
    EXPECT_FALSE(PeekNamedPipe(ownRead, nullptr, 0, nullptr, nullptr, nullptr)) << "the child holds a copy";
    CloseHandle(ownRead);
    Messages messages(child);
    const auto call = [&](int id, const std::string& method, const std::string& params, bool inSession) {
        const std::string session = inSession ? ",\"sessionId\":\"S1\"" : "";
        EXPECT_TRUE(child.write("{\"id\":" + std::to_string(id) + ",\"method\":\"" + method +
                                "\",\"params\":" + params + session + "}" + std::string(1, '\0')));
        return messages.next();
    };

    EXPECT_EQ(call(1, "Target.createTarget", "{\"url\":\"about:blank\"}", false),
              "{\"id\":1,\"result\":{\"targetId\":\"T1\"}}");
    EXPECT_EQ(call(2, "Target.attachToTarget", "{\"targetId\":\"T1\",\"flatten\":true}", false),
              "{\"id\":2,\"result\":{\"sessionId\":\"S1\"}}");
    EXPECT_EQ(call(3, "Page.navigate", "{\"url\":\"http://engine.test/search?q=a%20b\"}", true),
              "{\"id\":3,\"result\":{\"frameId\":\"F1\",\"loaderId\":\"L1\"},\"sessionId\":\"S1\"}");
    EXPECT_EQ(messages.next(),
              "{\"method\":\"Network.responseReceived\",\"params\":{\"requestId\":\"R1\",\"loaderId\":\"L1\","
              "\"type\":\"Document\",\"response\":{\"url\":\"http://engine.test/search?q=a%20b\",\"status\":200}},"
              "\"sessionId\":\"S1\"}");
    EXPECT_EQ(messages.next(), "{\"method\":\"Page.loadEventFired\",\"params\":{\"timestamp\":1},\"sessionId\":\"S1\"}");
    EXPECT_EQ(call(4, "Runtime.evaluate", "{\"expression\":\"document.documentElement.outerHTML\"}", true),
              utf8Bytes(u8"{\"id\":4,\"result\":{\"result\":{\"type\":\"string\",\"value\":"
                        u8"\"<p class=\\\"r\\\">\u9806\u4f4d \\\\ 1</p>\\u000a\"}},\"sessionId\":\"S1\"}"));
    EXPECT_EQ(call(5, "Browser.close", "{}", false), "{\"id\":5,\"result\":{}}");

    // The stand-in ends after Browser.close: its pipe closes and it no longer runs.
    EXPECT_EQ(messages.next(), "");
    EXPECT_TRUE(testing::waitUntil([&] { return !child.running(); }));
    child.stop();

    std::vector<std::string> expected;
    for (const std::string& argument : arguments) expected.push_back(cp932ToUtf8(argument));
    std::vector<std::string> seen = logged(logFile, "argument ");
    ASSERT_EQ(seen.size(), expected.size() + 1);
    EXPECT_EQ(seen.back().rfind("--remote-debugging-io-pipes=", 0), 0u) << seen.back();
    seen.pop_back();
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(logged(logFile, "method "),
              (std::vector<std::string>{"Target.createTarget", "Target.attachToTarget", "Page.navigate",
                                        "Runtime.evaluate", "Browser.close"}));
}

// A child that ends by itself once its pipes close is left to end (exit status 0); one that
// keeps running is killed with the job (exit status 1).
TEST_F(BrowserPipe, StopEndsTheChildEitherWay) {
    for (const bool lingers : {false, true}) {
        SCOPED_TRACE(lingers ? "lingering child" : "child that ends");
        setEnvironment(L"VEXOR_STAND_IN_LINGER", lingers ? "1" : "");
        std::string error;
        PipeChild child = PipeChild::start(STAND_IN, {}, error);
        ASSERT_TRUE(child.running()) << error;
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                     static_cast<DWORD>(child.processId()));
        ASSERT_NE(process, nullptr);
        Messages messages(child);
        EXPECT_TRUE(child.write(std::string("{\"id\":7,\"method\":\"Page.enable\"}") + '\0'));
        EXPECT_EQ(messages.next(), "{\"id\":7,\"result\":{}}");

        child.stop(500ms);
        EXPECT_FALSE(child.running());
        EXPECT_EQ(child.processId(), 0);
        EXPECT_FALSE(child.write("x"));
        EXPECT_EQ(WaitForSingleObject(process, 0), WAIT_OBJECT_0);
        DWORD status = 99;
        GetExitCodeProcess(process, &status);
        EXPECT_EQ(status, lingers ? 1u : 0u);
        CloseHandle(process);
    }
}

TEST_F(BrowserPipe, AProgramThatCannotStartGivesAReason) {
    for (const std::string& program : {folder.file("missing.exe"), page}) {
        SCOPED_TRACE(program);
        std::string error;
        PipeChild child = PipeChild::start(program, {"--headless"}, error);
        EXPECT_FALSE(child.running());
        EXPECT_EQ(child.processId(), 0);
        EXPECT_NE(error.find(program), std::string::npos) << error;
        EXPECT_FALSE(child.write("{}"));
        std::string into;
        EXPECT_EQ(child.read(into, 10ms), PipeChild::Read::Closed);
    }
}

TEST_F(BrowserPipe, TheChildDiesWithAKilledParent) {
    // The stand-in keeps running when its pipes close, so only the job can end it.
    setEnvironment(L"VEXOR_STAND_IN_LINGER", "1");
    const std::string pidFile = folder.file("child.pid");
    std::wstring commandLine = cp932ToWide("\"" + besideThisProgram("pipe_child_parent.exe") + "\" \"" +
                                           STAND_IN + "\" \"" + pidFile + "\"");
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION parent = {};
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                               nullptr, &startup, &parent));
    CloseHandle(parent.hThread);
    std::optional<std::string> pid;
    EXPECT_TRUE(testing::waitUntil([&] { return (pid = readWholeFile(pidFile)).has_value(); }));
    HANDLE child = pid ? OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, std::stoul(*pid)) : nullptr;
    EXPECT_NE(child, nullptr);
    if (child) {
        EXPECT_EQ(WaitForSingleObject(child, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    }

    TerminateProcess(parent.hProcess, 9);
    WaitForSingleObject(parent.hProcess, INFINITE);
    CloseHandle(parent.hProcess);
    if (!child) return;
    const DWORD waited = WaitForSingleObject(child, 30000);
    EXPECT_EQ(waited, WAIT_OBJECT_0);
    if (waited != WAIT_OBJECT_0) TerminateProcess(child, 9);
    CloseHandle(child);
}

// findBrowser with the current user's App Paths entry for chrome.exe set to each value (no
// entry for an empty one); Wine's prefix has no browser installed otherwise.
TEST(FindBrowser, TakesTheSettingThenAnAppPathsEntryThatExists) {
    const wchar_t* key = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\chrome.exe";
    const std::string folder = STAND_IN.substr(0, STAND_IN.rfind('\\'));
    SetEnvironmentVariableW(L"VEXOR_STAND_IN_FOLDER", cp932ToWide(folder).c_str());
    struct Case {
        std::string configured;
        DWORD type;
        std::string value;
        std::string expected;
    };
    const Case cases[] = {
        {"C:\\nowhere\\msedge.exe", REG_SZ, "", "C:\\nowhere\\msedge.exe"},
        {"", REG_SZ, "", ""},
        {"", REG_SZ, "\"" + STAND_IN + "\"", STAND_IN},
        {"", REG_EXPAND_SZ, "%VEXOR_STAND_IN_FOLDER%\\stand_in_browser.exe", STAND_IN},
        {"", REG_SZ, "C:\\nowhere\\chrome.exe", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        if (!c.value.empty()) {
            const std::wstring value = cp932ToWide(c.value);
            ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key, nullptr, c.type, value.c_str(),
                                      static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
                      ERROR_SUCCESS);
        }
        const std::string found = findBrowser(c.configured);
        RegDeleteKeyW(HKEY_CURRENT_USER, key);
        EXPECT_EQ(found, c.expected);
    }
    SetEnvironmentVariableW(L"VEXOR_STAND_IN_FOLDER", nullptr);
}

TEST_F(BrowserPipe, TheBrowserFetcherReadsThePageAsTheStandInRendersItAndClosesIt) {
    const std::string address = "http://plain.engine.test/search?q=abc&start=0";
    const std::string profile = folder.file("browser-profile");
    std::string body;
    const std::atomic<bool> abortFlag{false};
    {
        const PageFetcher fetch = browserFetcher(BrowserOptions{STAND_IN, profile, "", false});
        const FetchOutcome outcome = fetch(address, body, abortFlag);
        EXPECT_EQ(outcome.failure, FetchFailure::None);
        EXPECT_EQ(outcome.status, 200);
        EXPECT_EQ(outcome.finalAddress, address);
    }
    EXPECT_EQ(body, utf8Bytes(u8"<p class=\"r\">\u9806\u4f4d \\ 1</p>\n"));
    // The fetcher's last copy gone, the browser was told to close and has ended.
    const std::vector<std::string> methods = logged(logFile, "method ");
    ASSERT_FALSE(methods.empty());
    EXPECT_EQ(methods.front(), "Target.createTarget");
    EXPECT_EQ(methods.back(), "Browser.close");
    EXPECT_NE(std::find(methods.begin(), methods.end(), "Page.navigate"), methods.end());
    const std::vector<std::string> arguments = logged(logFile, "argument ");
    for (const std::string& expected : {std::string("--remote-debugging-pipe"), std::string("--headless=new"),
                                        "--user-data-dir=" + cp932ToUtf8(profile)})
        EXPECT_NE(std::find(arguments.begin(), arguments.end(), expected), arguments.end()) << expected;
}

}  // namespace
}  // namespace vexor
