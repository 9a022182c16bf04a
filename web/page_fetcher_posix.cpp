// The page fetcher over libcurl. It sends the request the Windows fetcher sends: GET of
// path and query by plain HTTP to port 80 of the address's host, the fixed user agent, a reload
// that bypasses caches, through the proxy named by http_proxy, redirects followed, no
// compression asked for. 5 s to connect and at most 5 s without data; up to 20 attempts while
// the body is empty; the abort flag is checked between chunks and at least once a second.
#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

#include "web/page_fetcher.h"

namespace vexor {
namespace {

// Host and request target (path with query) of an address "scheme://[user@]host[:port]/...".
// The scheme, the port and any user name are read past, never used.
bool splitAddress(const std::string& address, std::string& host, std::string& path) {
    const auto schemeEnd = address.find("://");
    if (schemeEnd == std::string::npos || schemeEnd == 0) return false;
    const auto hostStart = schemeEnd + 3;
    auto authorityEnd = address.find_first_of("/?#", hostStart);
    if (authorityEnd == std::string::npos) authorityEnd = address.size();
    std::string authority = address.substr(hostStart, authorityEnd - hostStart);
    if (const auto at = authority.rfind('@'); at != std::string::npos) authority.erase(0, at + 1);
    const auto portStart = authority.rfind(':');
    const bool bracketed = !authority.empty() && authority.front() == '[';
    if (portStart != std::string::npos && (!bracketed || authority[portStart - 1] == ']'))
        authority.erase(portStart);
    if (authority.empty()) return false;
    host = authority;
    path = address.substr(authorityEnd);
    if (const auto hash = path.find('#'); hash != std::string::npos) path.erase(hash);
    if (path.empty() || path.front() != '/') path.insert(0, "/");
    return true;
}

// A request line cannot carry spaces or control bytes; every other byte (raw Shift-JIS
// included) goes out as it is.
std::string escapeForRequestLine(const std::string& path) {
    static constexpr char HEX[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (const unsigned char c : path) {
        if (c <= 0x20 || c == 0x7F) {
            out += '%';
            out += HEX[c >> 4];
            out += HEX[c & 0x0F];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

using Clock = std::chrono::steady_clock;

struct Transfer {
    std::string& body;
    const std::atomic<bool>& abortFlag;
    Clock::time_point lastData = Clock::now();  // of the last bytes received, headers included
    bool aborted = false;
    bool capped = false;
};

size_t onHeaderLine(char*, size_t, size_t size, void* user) {
    static_cast<Transfer*>(user)->lastData = Clock::now();
    return size;
}

size_t onBodyChunk(char* data, size_t, size_t size, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    if (t.abortFlag.load()) {
        t.aborted = true;
        return 0;  // makes libcurl stop; what was read stays
    }
    t.lastData = Clock::now();
    const size_t take = std::min(size, static_cast<size_t>(BODY_CAP) - t.body.size());
    t.body.append(data, take);
    if (take < size) {
        t.capped = true;  // the rest of an oversized body is dropped
        return 0;
    }
    return size;
}

// Called at least once a second, data or not: ends a transfer on an abort, or as a failure
// when nothing has arrived for the network time-out.
int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto& t = *static_cast<Transfer*>(user);
    if (t.abortFlag.load()) {
        t.aborted = true;
        return 1;
    }
    return Clock::now() - t.lastData > std::chrono::milliseconds(NETWORK_TIMEOUT_MS) ? 1 : 0;
}

struct CurlDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct SlistDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

// One GET. body ends empty when the transfer failed, except after an abort or at the cap,
// where it keeps what was read.
void fetchOnce(CURL* curl, std::string& body, const std::atomic<bool>& abortFlag) {
    body.clear();
    Transfer transfer{body, abortFlag};
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    const CURLcode result = curl_easy_perform(curl);
    if (result != CURLE_OK && !transfer.aborted && !transfer.capped) body.clear();
}

}  // namespace

void fetchPage(const std::string& address, std::string& body, const std::atomic<bool>& abortFlag) {
    body.clear();
    std::string host, path;
    if (!splitAddress(address, host, path)) return;
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) return;
    // What a reload sends: the no-cache headers of HTTP/1.0 and HTTP/1.1.
    std::unique_ptr<curl_slist, SlistDeleter> headers(
        curl_slist_append(nullptr, "Pragma: no-cache"));
    if (!headers || !curl_slist_append(headers.get(), "Cache-Control: no-cache")) return;
    const std::string url = "http://" + host + escapeForRequestLine(path);

    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http");
    curl_easy_setopt(c, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(c, CURLOPT_USERAGENT, USER_AGENT);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(NETWORK_TIMEOUT_MS));
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, onHeaderLine);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, onBodyChunk);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);

    for (int attempt = 0; attempt < FETCH_ATTEMPTS && !abortFlag.load(); ++attempt) {
        fetchOnce(c, body, abortFlag);
        if (!body.empty()) break;
    }
}

}  // namespace vexor
