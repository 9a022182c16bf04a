// Talking to the fake search engine (tools/fake_engine) from a test: its control endpoints on
// the host control.test, reached through fetchPage and the proxy that with-fake-engine sets, so
// that the Windows build under Wine uses them the same way.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexor::test {

// One line of the engine's request log.
struct LoggedRequest {
    std::string method;  // "CONNECT" for a tunnel, then the tunnel's requests
    std::string target;  // as on the request line
    std::string host;
    std::string port;    // as named in the target or Host header; empty when none
    std::string path;    // path and query; empty for CONNECT
    std::string userAgent;
    std::string pragma;
    std::string cacheControl;
    std::string acceptEncoding;
    std::string scheme;  // "https" for a request inside a tunnel, else "http"
    double time = 0;     // seconds since the engine started, when the request line came
};

// The body of GET http://control.test<pathAndQuery>.
std::string controlRequest(const std::string& pathAndQuery);

// %-escaping of a UTF-8 text for a control parameter.
std::string escapeParam(const std::string& utf8);

// The engine's own list of the addresses of the keyword's results on host, in rank order.
std::vector<std::string> listedResults(const std::string& utf8Keyword, const std::string& host);

// The logged requests (of host, when not empty), oldest first.
std::vector<LoggedRequest> loggedRequests(const std::string& host = "");

// Fixture for tests that need the engine: fails when no engine was started for the program,
// and clears the engine's log, placements and fault rules before each test.
class FakeEngineTest : public ::testing::Test {
protected:
    void SetUp() override;
};

}  // namespace vexor::test
