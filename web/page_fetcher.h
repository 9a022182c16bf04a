// Fetching one page by HTTP GET. The body comes back byte for byte (NUL bytes included),
// whatever the HTTP status, and empty when nothing could be read after FETCH_ATTEMPTS attempts or
// within the page's deadline; the outcome says why it is empty, which status the server answered
// with, when it asks to be asked again and where the answer came from. An error status (400 and
// above) is never asked for again here: the caller decides what to do about it. Attempts after
// the first wait twice as long each time (fetch_attempts.h), so that a failing server is never
// asked in a burst, and a server that takes the request and then says nothing is asked twice at
// most. abortFlag is
// owned by the caller and may be set from another thread; the fetch notices it before every
// attempt and every read, and during every wait.
//
// An http address is fetched by plain HTTP from port 80 of its host (also when it names another
// port or an unknown scheme); an https address over TLS from the port it names or 443, with the
// server's certificate verified against the system's trust store. Redirects are followed from
// http to http or https and from https to https; one to http from https is refused.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>

namespace vexor {

// Why a fetch brought no body.
enum class FetchFailure {
    None,           // a body came back, or the fetch was aborted
    EmptyBody,      // the server answered every attempt with an empty body, or answered an
                    // error status with one (never asked again)
    BadAddress,     // the address names no host (or no valid https port): nothing was sent
    Network,        // no connection, or it broke off or stalled (the proxy's included)
    Certificate,    // the server's certificate did not verify: authority, name or dates
    SecureChannel,  // the TLS handshake failed for another reason
    Redirect,       // a redirect that is not followed: to http from https, to another scheme,
                    // or one past the tenth; or a redirect status without a Location
    Timeout,        // the page's deadline passed before the page was whole
};

struct FetchOutcome {
    FetchFailure failure = FetchFailure::None;
    int status = 0;  // HTTP status of the last response received; 0 when none came
    int retryAfterSeconds = -1;  // the last response's Retry-After in seconds, -1 when it had none
                                 // (an HTTP date counts from now, 0 when past; capped at 86400)
    std::string finalAddress{};  // the address the last response came from, after the redirects
                                 // followed ("" when no response came)

    friend bool operator==(const FetchOutcome&, const FetchOutcome&) = default;
};

// The seam through which learning and the rank search fetch; tests pass scripted fetchers.
using PageFetcher = std::function<FetchOutcome(const std::string& address, std::string& body,
                                               const std::atomic<bool>& abortFlag)>;

inline constexpr int PAGE_DEADLINE_MS = 30000;

// The real fetcher with the fixed user agent and a deadline of PAGE_DEADLINE_MS a page: WinINet
// on Windows (page_fetcher_win32.cpp), libcurl on POSIX (page_fetcher_posix.cpp). On POSIX it
// keeps no connection open once the page has come.
FetchOutcome fetchPage(const std::string& address, std::string& body,
                       const std::atomic<bool>& abortFlag);

// The real fetcher that sends userAgent and keeps connections open from one page to the next,
// as WinINet does in any case: pages of one engine then cost one connection and one TLS
// handshake, not one each. Each page ends as a Timeout once pageDeadline has passed since its
// fetch began, headers, body, retries and the pauses between them counted together. The copies
// of the fetcher share its connections; it may be used from several threads. A proxy
// ("host:port", or with "http://" before it) carries every request, loopback hosts included,
// in place of the environment's or the system's proxy settings; a proxy that cannot be reached
// or refuses the tunnel ends the page as a Network failure.
PageFetcher keepAliveFetcher(const std::string& userAgent,
                             std::chrono::milliseconds pageDeadline =
                                 std::chrono::milliseconds(PAGE_DEADLINE_MS),
                             const std::string& proxy = {});

inline constexpr char USER_AGENT[] =
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; .NET CLR 1.1.4322)";
inline constexpr int FETCH_ATTEMPTS = 6;
inline constexpr int READ_CHUNK = 255;
inline constexpr int READS_PER_ATTEMPT = 9999;
inline constexpr long BODY_CAP = static_cast<long>(READ_CHUNK) * READS_PER_ATTEMPT;  // 2,549,745
inline constexpr int NETWORK_TIMEOUT_MS = 5000;
inline constexpr int MAX_REDIRECTS = 10;

// Whether an HTTP status says the answer is no page: one outside 2xx. 0, no status told (as
// scripted fetchers answer), is taken as no failure.
inline bool isFailingStatus(int status) { return status != 0 && (status < 200 || status > 299); }

}  // namespace vexor
