// The page fetcher over libcurl. It sends the request the Windows fetcher sends: GET of path and
// query, by plain HTTP to port 80 of the address's host, or over TLS to the port an https
// address names (443 when none); the fixed user agent; a reload that bypasses caches; no
// compression asked for. A keep-alive fetcher given a proxy sends every request through it (with
// CONNECT for https); otherwise proxies as curl users set them: http_proxy, and https_proxy with
// CONNECT for https. Certificates are verified against the system's trust store, or against
// the bundle that CURL_CA_BUNDLE names, the variable the curl tool reads (libcurl itself reads
// none). Redirects are followed here, hop by hop, so that one from https to http is refused
// before anything is sent. 5 s to connect and at most 5 s without data; the page's deadline over
// the whole fetch; up to FETCH_ATTEMPTS attempts while the body is empty (fetch_attempts.h); the
// abort flag and the deadline are checked between chunks and at least once a second.
// A keep-alive fetcher shares one libcurl connection cache (and TLS sessions) between its
// fetches, so that the pages of an engine reuse one connection as WinINet's do.
#include <curl/curl.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/bytes.h"
#include "web/address_scheme.h"
#include "web/fetch_attempts.h"
#include "web/page_fetcher.h"
#include "web/retry_after.h"

namespace vexor {
namespace {

constexpr long HTTP_PORT = 80;
constexpr long HTTPS_PORT = 443;

// Where one address is fetched from.
struct FetchTarget {
    bool secure;
    std::string host;  // as in the address; an IPv6 host keeps its brackets
    long port;
    std::string path;  // request target: path and query, without a fragment
};

// The port of an https authority: decimal digits from 1 to 65535.
std::optional<long> portNumber(const std::string& digits) {
    if (digits.empty() || digits.size() > 5 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const long port = std::stol(digits);
    if (port < 1 || port > 65535) return std::nullopt;
    return port;
}

// Target of an address "scheme://[user@]host[:port]/...". Only an https address keeps its port;
// every other one is fetched by plain HTTP from port 80, whatever its scheme and port say.
std::optional<FetchTarget> splitAddress(const std::string& address) {
    const auto schemeEnd = address.find("://");
    if (schemeEnd == std::string::npos || schemeEnd == 0) return std::nullopt;
    const bool secure = schemeOf(address) == AddressScheme::Https;
    const auto hostStart = schemeEnd + 3;
    auto authorityEnd = address.find_first_of("/?#", hostStart);
    if (authorityEnd == std::string::npos) authorityEnd = address.size();
    std::string authority = address.substr(hostStart, authorityEnd - hostStart);
    if (const auto at = authority.rfind('@'); at != std::string::npos) authority.erase(0, at + 1);
    long port = secure ? HTTPS_PORT : HTTP_PORT;
    const auto portStart = authority.rfind(':');
    const bool bracketed = !authority.empty() && authority.front() == '[';
    if (portStart != std::string::npos && (!bracketed || authority[portStart - 1] == ']')) {
        const std::string digits = authority.substr(portStart + 1);
        authority.erase(portStart);
        if (secure && !digits.empty()) {
            const auto named = portNumber(digits);
            if (!named) return std::nullopt;
            port = *named;
        }
    }
    if (authority.empty()) return std::nullopt;
    std::string path = address.substr(authorityEnd);
    if (const auto hash = path.find('#'); hash != std::string::npos) path.erase(hash);
    if (path.empty() || path.front() != '/') path.insert(0, "/");
    return FetchTarget{secure, authority, port, path};
}

// A request line cannot carry spaces or control bytes; every other byte (raw Shift-JIS
// included) goes out as it is.
std::string escapeForRequestLine(const std::string& path) {
    std::string out;
    out.reserve(path.size());
    for (const unsigned char c : path) {
        if (c <= 0x20 || c == 0x7F) {
            appendHexEscape(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// The address libcurl is given for a target.
std::string curlAddress(const FetchTarget& target) {
    std::string url = target.secure ? "https://" : "http://";
    url += target.host;
    if (target.secure && target.port != HTTPS_PORT) url += ":" + std::to_string(target.port);
    return url + escapeForRequestLine(target.path);
}

FetchFailure failureOf(CURLcode code) {
    switch (code) {
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_INVALIDCERTSTATUS:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
            return FetchFailure::Certificate;
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_ENGINE_NOTFOUND:
        case CURLE_SSL_ENGINE_SETFAILED:
        case CURLE_SSL_ENGINE_INITFAILED:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_SHUTDOWN_FAILED:
        case CURLE_SSL_CRL_BADFILE:
        case CURLE_USE_SSL_FAILED:
            return FetchFailure::SecureChannel;
        default:
            return FetchFailure::Network;
    }
}

using Clock = std::chrono::steady_clock;

struct Transfer {
    std::string& body;
    const std::atomic<bool>& abortFlag;
    Clock::time_point deadline;
    Clock::time_point lastData = Clock::now();  // of the last bytes received, headers included
    bool aborted = false;
    bool capped = false;
    bool timedOut = false;
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

// Called at least once a second, data or not: ends a transfer on an abort, at the page's
// deadline, or as a failure when nothing has arrived for the network time-out.
int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto& t = *static_cast<Transfer*>(user);
    if (t.abortFlag.load()) {
        t.aborted = true;
        return 1;
    }
    if (Clock::now() >= t.deadline) {
        t.timedOut = true;
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

// The Retry-After of the response just received (not of a proxy's answer to CONNECT).
int retryAfterOf(CURL* curl) {
    curl_header* header = nullptr;
    if (curl_easy_header(curl, "Retry-After", 0, CURLH_HEADER, -1, &header) != CURLHE_OK)
        return -1;
    return retryAfterSeconds(header->value, std::time(nullptr));
}

// One GET of url. body ends empty when the transfer failed, except after an abort or at the
// cap, where it keeps what was read. The address the outcome names is left to the caller.
FetchOutcome getOnce(CURL* curl, const std::string& url, std::string& body,
                     const std::atomic<bool>& abortFlag, Clock::time_point deadline) {
    body.clear();
    Transfer transfer{body, abortFlag, deadline};
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    const CURLcode result = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    FetchOutcome got{FetchFailure::None, static_cast<int>(status), retryAfterOf(curl), {}};
    if (transfer.timedOut) {
        got.failure = FetchFailure::Timeout;  // never a partial page
    } else if (result != CURLE_OK && !transfer.aborted && !transfer.capped) {
        got.failure = failureOf(result);
    }
    if (got.failure != FetchFailure::None) body.clear();
    return got;
}

// One attempt: the GET of address and of each redirect it leads to.
FetchOutcome fetchOnce(CURL* curl, const std::string& address, std::string& body,
                       const std::atomic<bool>& abortFlag, Clock::time_point deadline) {
    std::string current = address;
    for (int hop = 0;; ++hop) {
        const auto target = splitAddress(current);
        if (!target) {
            body.clear();
            return {FetchFailure::BadAddress, 0};
        }
        FetchOutcome got = getOnce(curl, curlAddress(*target), body, abortFlag, deadline);
        if (got.status != 0) got.finalAddress = current;
        if (got.failure != FetchFailure::None || !isRedirectStatus(got.status) || abortFlag.load())
            return got;
        body.clear();
        char* location = nullptr;
        curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &location);
        if (location == nullptr || hop == MAX_REDIRECTS || !redirectFollowed(current, location)) {
            got.failure = FetchFailure::Redirect;
            return got;
        }
        current = location;
    }
}

// Connections, TLS sessions and name lookups kept between the fetches of a keep-alive fetcher,
// with the locks libcurl asks for when several threads use them.
struct ConnectionShare {
    CURLSH* handle = curl_share_init();
    std::array<std::mutex, CURL_LOCK_DATA_LAST> locks;

    ConnectionShare() {
        if (!handle) return;
        curl_share_setopt(handle, CURLSHOPT_LOCKFUNC, lock);
        curl_share_setopt(handle, CURLSHOPT_UNLOCKFUNC, unlock);
        curl_share_setopt(handle, CURLSHOPT_USERDATA, this);
        for (const curl_lock_data data : {CURL_LOCK_DATA_CONNECT, CURL_LOCK_DATA_SSL_SESSION, CURL_LOCK_DATA_DNS})
            curl_share_setopt(handle, CURLSHOPT_SHARE, data);
    }
    ~ConnectionShare() {
        if (handle) curl_share_cleanup(handle);
    }
    ConnectionShare(const ConnectionShare&) = delete;
    ConnectionShare& operator=(const ConnectionShare&) = delete;

    static void lock(CURL*, curl_lock_data data, curl_lock_access, void* user) {
        static_cast<ConnectionShare*>(user)->locks[data].lock();
    }
    static void unlock(CURL*, curl_lock_data data, void* user) {
        static_cast<ConnectionShare*>(user)->locks[data].unlock();
    }
};

// A fetch as both fetchers make it; share, when given, keeps the connections.
FetchOutcome fetchWith(ConnectionShare* share, const std::string& userAgent, const std::string& proxy,
                       std::chrono::milliseconds pageDeadline, const std::string& address,
                       std::string& body, const std::atomic<bool>& abortFlag) {
    const Clock::time_point deadline = Clock::now() + pageDeadline;
    body.clear();
    if (!splitAddress(address)) return {FetchFailure::BadAddress, 0};
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    // What a reload sends: the no-cache headers of HTTP/1.0 and HTTP/1.1.
    std::unique_ptr<curl_slist, SlistDeleter> headers(
        curl_slist_append(nullptr, "Pragma: no-cache"));
    if (!curl || !headers || !curl_slist_append(headers.get(), "Cache-Control: no-cache"))
        return {FetchFailure::Network, 0};

    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(c, CURLOPT_USERAGENT, userAgent.c_str());
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    if (const char* bundle = std::getenv("CURL_CA_BUNDLE"); bundle && *bundle)
        curl_easy_setopt(c, CURLOPT_CAINFO, bundle);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(NETWORK_TIMEOUT_MS));
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, onHeaderLine);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, onBodyChunk);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    if (share && share->handle) curl_easy_setopt(c, CURLOPT_SHARE, share->handle);
    if (!proxy.empty()) {
        curl_easy_setopt(c, CURLOPT_PROXY, proxy.c_str());
        curl_easy_setopt(c, CURLOPT_NOPROXY, "");  // the environment's no_proxy names no exception
    }

    return attemptPage(
        [&](std::string& attemptBody, Clock::time_point until) {
            return fetchOnce(c, address, attemptBody, abortFlag, until);
        },
        body, abortFlag, deadline);
}

}  // namespace

FetchOutcome fetchPage(const std::string& address, std::string& body,
                       const std::atomic<bool>& abortFlag) {
    return fetchWith(nullptr, USER_AGENT, {}, std::chrono::milliseconds(PAGE_DEADLINE_MS), address,
                     body, abortFlag);
}

PageFetcher keepAliveFetcher(const std::string& userAgent, std::chrono::milliseconds pageDeadline,
                             const std::string& proxy) {
    auto share = std::make_shared<ConnectionShare>();
    return [share, userAgent, pageDeadline, proxy](const std::string& address, std::string& body,
                                                   const std::atomic<bool>& abortFlag) {
        return fetchWith(share.get(), userAgent, proxy, pageDeadline, address, body, abortFlag);
    };
}

}  // namespace vexor
