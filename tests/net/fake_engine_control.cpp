#include "fake_engine_control.h"

#include <atomic>
#include <cstdlib>
#include <sstream>

#include "platform/bytes.h"
#include "web/page_fetcher.h"

namespace vexor::test {

std::string controlRequest(const std::string& pathAndQuery) {
    const std::atomic<bool> never{false};
    std::string body;
    fetchPage("http://control.test" + pathAndQuery, body, never);
    return body;
}

std::string escapeParam(const std::string& utf8) {
    std::string out;
    for (const unsigned char c : utf8) {
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
            c == '-' || c == '.' || c == '_')
            out += static_cast<char>(c);
        else
            appendHexEscape(out, c);
    }
    return out;
}

std::vector<std::string> listedResults(const std::string& utf8Keyword, const std::string& host) {
    std::istringstream lines(controlRequest("/results?keyword=" + escapeParam(utf8Keyword) + "&engine=" + host));
    std::vector<std::string> results;
    for (std::string line; std::getline(lines, line);) results.push_back(line.substr(line.find('\t') + 1));
    return results;
}

std::vector<LoggedRequest> loggedRequests(const std::string& host) {
    const std::string filter = host.empty() ? "" : "?host=" + escapeParam(host);
    // An empty log is an empty body, which the fetcher would ask for again and again.
    if (controlRequest("/count" + filter) == "0\n") return {};
    const std::string log = controlRequest("/log" + filter);
    std::vector<LoggedRequest> requests;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> f;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
        f.resize(12);  // trailing empty fields
        requests.push_back({f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10],
                            f[11].empty() ? 0.0 : std::stod(f[11])});
    }
    return requests;
}

void FakeEngineTest::SetUp() {
    ASSERT_NE(std::getenv("VEXOR_FAKE_ENGINE"), nullptr)
        << "run this program through tests/net/with-fake-engine";
    ASSERT_EQ(controlRequest("/reset"), "ok\n") << "the fake engine does not answer";
}

}  // namespace vexor::test
