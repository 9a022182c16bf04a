// The page fetcher over WinINet in asynchronous mode. Every call that may block is issued with
// the FetchContext as its context value; onInternetStatus, on the library's threads, turns the
// notifications into three events that the calling thread waits on. The library's 5 s time-outs
// end a stalled connection; the waits for a response and for each read also end at an abort or
// at the page's deadline, and then the handles are closed, which cancels the operation.
// Certificates are WinINet's to verify (the system's trust store; no flag that ignores a
// problem is ever set). Redirects are followed here, hop by hop, rather than by WinINet, which
// under Wine follows one from https to http as readily as any other.
// A keep-alive fetcher opens one internet handle (a Session) for all its pages; connection and
// request handles live for one hop of one attempt and are closed on every path.
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <string>

#include "web/address_scheme.h"
#include "web/fetch_attempts.h"
#include "web/page_fetcher.h"
#include "web/retry_after.h"

namespace vexor {
namespace {

using Clock = std::chrono::steady_clock;

// How often a wait for the library looks at the abort flag and the deadline.
constexpr DWORD WAIT_SLICE_MS = 20;

// Requests of a session after which it judges whether the library reuses its connections.
constexpr int REUSE_PROBE_REQUESTS = 3;

// What a session has seen of connection reuse, counted by the status callback. Shared with the
// fetch contexts, which may outlive their session by a cancelled operation's last notification.
struct ReuseCounts {
    std::atomic<int> requests{0};     // requests sent
    std::atomic<int> connections{0};  // connections the library opened for them
};

// Whether the session's requests ask the server to close the connection after its answer. A
// library that opened a new connection for every one of the first requests does not reuse them
// (Wine's WinINet never takes a connection made through a proxy out of its pool) and would only
// keep each one open and idle for a minute: a long survey would hold thousands of sockets.
bool asksToClose(const ReuseCounts& counts) {
    const int requests = counts.requests.load();
    return requests >= REUSE_PROBE_REQUESTS && counts.connections.load() >= requests;
}

// The internet handle of a fetcher, with its options and status callback, and what its
// connections have shown.
struct Session {
    HINTERNET handle = nullptr;
    bool proxied = false;  // opened with a proxy of its own
    std::shared_ptr<ReuseCounts> reuse = std::make_shared<ReuseCounts>();

    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session() {
        if (handle) InternetCloseHandle(handle);
    }
};

// Shared by the fetch and the library: an operation cancelled at an abort or a deadline may
// still complete, and write into chunk, after the fetch has returned. So the context lives on
// the heap until the last of its holders lets go: the fetch, and each connection or request
// handle made with it until the library announces that handle's closing, its last notification.
struct FetchContext {
    HINTERNET internetHandle = nullptr;  // the session's; not closed here
    bool proxied = false;                // the session's
    std::shared_ptr<ReuseCounts> reuse;
    std::atomic<HINTERNET> connectHandle{nullptr};  // written by the callback, too
    std::atomic<HINTERNET> requestHandle{nullptr};  // written by the callback, too
    HANDLE connectCreated = nullptr;
    HANDLE requestCreated = nullptr;
    HANDLE requestComplete = nullptr;
    std::atomic<bool> responseEnded{false};
    // Error of the operation that completed last by notification; 0 when it succeeded.
    std::atomic<DWORD> completionError{0};
    INTERNET_BUFFERSA chunk{};
    char buffer[READ_CHUNK + 1] = {};
    std::atomic<int> holders{1};
};

void release(FetchContext* ctx) {
    if (ctx->holders.fetch_sub(1) != 1) return;
    for (HANDLE event : {ctx->requestComplete, ctx->requestCreated, ctx->connectCreated})
        if (event) CloseHandle(event);
    delete ctx;
}

void CALLBACK onInternetStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info,
                               DWORD infoLength) {
    auto* ctx = reinterpret_cast<FetchContext*>(context);
    if (!ctx) return;
    if (status == INTERNET_STATUS_HANDLE_CLOSING) {
        release(ctx);
        return;
    }
    if (!info) return;
    switch (status) {
    case INTERNET_STATUS_HANDLE_CREATED: {
        const auto* result = static_cast<const INTERNET_ASYNC_RESULT*>(info);
        const auto handle = reinterpret_cast<HINTERNET>(result->dwResult);
        if (!ctx->connectHandle.load()) {
            ctx->connectHandle = handle;
            SetEvent(ctx->connectCreated);
        } else {
            ctx->requestHandle = handle;
            SetEvent(ctx->requestCreated);
        }
        break;
    }
    case INTERNET_STATUS_REQUEST_COMPLETE: {
        const auto* result = static_cast<const INTERNET_ASYNC_RESULT*>(info);
        ctx->completionError =
            result->dwResult ? 0 : (result->dwError ? result->dwError : ERROR_INTERNET_INTERNAL_ERROR);
        SetEvent(ctx->requestComplete);
        break;
    }
    case INTERNET_STATUS_CONNECTED_TO_SERVER:
        if (ctx->reuse) ctx->reuse->connections.fetch_add(1);
        break;
    case INTERNET_STATUS_RESPONSE_RECEIVED:
        if (infoLength >= sizeof(DWORD) && *static_cast<const DWORD*>(info) == 0)
            ctx->responseEnded = true;
        break;
    default:
        break;
    }
}

// Where one address is fetched from.
struct FetchTarget {
    bool secure;
    std::string host;
    INTERNET_PORT port;
    std::string path;  // request target: the path together with the query, because the extra
                       // information is not asked for separately
};

// Host and request target of an address; an https address keeps its port (443 when it names
// none), every other one is fetched by plain HTTP from port 80. A user name is not used.
bool splitAddress(const std::string& address, FetchTarget& target) {
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = 1;  // ask for pointers into address
    parts.dwUrlPathLength = 1;
    if (!InternetCrackUrlA(address.c_str(), 0, 0, &parts)) return false;
    if (!parts.lpszHostName || !parts.lpszUrlPath || parts.dwHostNameLength == 0) return false;
    target.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    target.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    target.port = target.secure ? parts.nPort : INTERNET_DEFAULT_HTTP_PORT;
    target.path.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    return true;
}

FetchFailure failureOf(DWORD error) {
    switch (error) {
        case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
        case ERROR_INTERNET_SEC_CERT_CN_INVALID:
        case ERROR_INTERNET_INVALID_CA:
        case ERROR_INTERNET_SEC_CERT_ERRORS:
        case ERROR_INTERNET_SEC_CERT_NO_REV:
        case ERROR_INTERNET_SEC_CERT_REV_FAILED:
        case ERROR_INTERNET_SEC_INVALID_CERT:
        case ERROR_INTERNET_SEC_CERT_REVOKED:
            return FetchFailure::Certificate;
        case ERROR_INTERNET_SECURITY_CHANNEL_ERROR:
            return FetchFailure::SecureChannel;
        default:
            return FetchFailure::Network;
    }
}

DWORD statusOf(HINTERNET request) {
    DWORD status = 0;
    DWORD length = sizeof status;
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length,
                        nullptr))
        return 0;
    return status;
}

// The response's Retry-After in seconds; -1 when it has none.
int retryAfterOf(HINTERNET request) {
    char value[256];
    DWORD length = sizeof value - 1;
    if (!HttpQueryInfoA(request, HTTP_QUERY_RETRY_AFTER, value, &length, nullptr)) return -1;
    return retryAfterSeconds(std::string_view(value, length), std::time(nullptr));
}

// Where a redirect leads, made absolute against the address that was asked for; empty when the
// response names no place.
std::string redirectTarget(HINTERNET request, const std::string& current) {
    DWORD length = 0;
    HttpQueryInfoA(request, HTTP_QUERY_LOCATION, nullptr, &length, nullptr);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || length == 0) return std::string();
    std::string location(length, '\0');
    if (!HttpQueryInfoA(request, HTTP_QUERY_LOCATION, location.data(), &length, nullptr))
        return std::string();
    location.resize(length);
    DWORD combinedLength = 0;
    InternetCombineUrlA(current.c_str(), location.c_str(), nullptr, &combinedLength, ICU_NO_ENCODE);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || combinedLength == 0) return location;
    std::string combined(combinedLength, '\0');
    if (!InternetCombineUrlA(current.c_str(), location.c_str(), combined.data(), &combinedLength,
                             ICU_NO_ENCODE))
        return location;
    combined.resize(combinedLength);
    return combined;
}

void closeHandle(std::atomic<HINTERNET>& handle) {
    if (HINTERNET h = handle.exchange(nullptr)) InternetCloseHandle(h);
}

// The five time-outs, 5 s each; a failure to set one is not fatal.
void setTimeouts(HINTERNET handle) {
    DWORD timeout = NETWORK_TIMEOUT_MS;
    for (const DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_CONTROL_RECEIVE_TIMEOUT,
          INTERNET_OPTION_CONTROL_SEND_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
          INTERNET_OPTION_DATA_RECEIVE_TIMEOUT}) {
        InternetSetOptionA(handle, option, &timeout, sizeof timeout);
    }
}

// A proxy as WinINet takes one for every scheme: "host:port", without "http://" or a final "/".
std::string proxyServer(std::string proxy) {
    if (proxy.rfind("http://", 0) == 0) proxy.erase(0, 7);
    while (!proxy.empty() && proxy.back() == '/') proxy.pop_back();
    return proxy;
}

// A session with userAgent, through proxy when it is not empty (for every host: "<-loopback>"
// takes loopback addresses off WinINet's implicit bypass list), else as the system is set up;
// its handle is null when the library could not open one.
std::shared_ptr<Session> openSession(const std::string& userAgent, const std::string& proxy = {}) {
    auto session = std::make_shared<Session>();
    HINTERNET handle =
        proxy.empty()
            ? InternetOpenA(userAgent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, INTERNET_FLAG_ASYNC)
            : InternetOpenA(userAgent.c_str(), INTERNET_OPEN_TYPE_PROXY, proxyServer(proxy).c_str(),
                            "<-loopback>", INTERNET_FLAG_ASYNC);
    if (!handle) return session;
    setTimeouts(handle);
    if (InternetSetStatusCallbackA(handle, onInternetStatus) == INTERNET_INVALID_STATUS_CALLBACK) {
        InternetCloseHandle(handle);
        return session;
    }
    session->handle = handle;
    session->proxied = !proxy.empty();
    return session;
}

bool openContext(FetchContext& ctx, const Session& session) {
    ctx.connectHandle = nullptr;
    ctx.requestHandle = nullptr;
    ctx.connectCreated = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ctx.requestCreated = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ctx.requestComplete = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!ctx.connectCreated || !ctx.requestCreated || !ctx.requestComplete) return false;
    ctx.internetHandle = session.handle;
    ctx.reuse = session.reuse;
    ctx.proxied = session.proxied;
    return ctx.internetHandle != nullptr;
}

void closeContext(FetchContext& ctx) {
    closeHandle(ctx.requestHandle);
    closeHandle(ctx.connectHandle);
}

// Counts a handle made with the context as one of its holders (see FetchContext).
void hold(FetchContext& ctx) { ctx.holders.fetch_add(1); }

// How a wait for the library ended.
enum class Waited { Completed, Aborted, TimedOut };

// Waits for the completion of the operation just started, or for an abort or the deadline,
// which close the handles and so cancel the operation.
Waited awaitCompletion(FetchContext& ctx, const std::atomic<bool>& abortFlag,
                       Clock::time_point deadline) {
    for (;;) {
        const bool aborted = abortFlag.load();
        const auto now = Clock::now();
        if (aborted || now >= deadline) {
            closeHandle(ctx.requestHandle);
            closeHandle(ctx.connectHandle);
            return aborted ? Waited::Aborted : Waited::TimedOut;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count();
        const auto slice = static_cast<DWORD>(std::clamp<long long>(left, 1, WAIT_SLICE_MS));
        if (WaitForSingleObject(ctx.requestComplete, slice) == WAIT_OBJECT_0) return Waited::Completed;
    }
}

// Sends a GET of target with the handles of the context. error is that of the first step that
// failed, 0 when the response has arrived.
Waited sendRequest(FetchContext& ctx, const FetchTarget& target, const std::atomic<bool>& abortFlag,
                   Clock::time_point deadline, DWORD& error) {
    closeHandle(ctx.requestHandle);  // handles of the attempt or hop before
    closeHandle(ctx.connectHandle);
    // Stale notifications of the attempt before must not stand for this one's.
    for (HANDLE event : {ctx.connectCreated, ctx.requestCreated, ctx.requestComplete})
        ResetEvent(event);
    const auto context = reinterpret_cast<DWORD_PTR>(&ctx);
    error = 0;

    HINTERNET connection = InternetConnectA(ctx.internetHandle, target.host.c_str(), target.port,
                                            nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, context);
    if (connection) {
        ctx.connectHandle = connection;
    } else {
        if (error = GetLastError(); error != ERROR_IO_PENDING) return Waited::Completed;
        error = 0;
        WaitForSingleObject(ctx.connectCreated, INFINITE);
    }
    hold(ctx);

    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                        INTERNET_FLAG_NO_AUTO_REDIRECT | (target.secure ? INTERNET_FLAG_SECURE : 0);
    HINTERNET request = HttpOpenRequestA(ctx.connectHandle.load(), "GET", target.path.c_str(), nullptr,
                                         nullptr, nullptr, flags, context);
    if (request) {
        ctx.requestHandle = request;
    } else {
        if (error = GetLastError(); error != ERROR_IO_PENDING) return Waited::Completed;
        error = 0;
        WaitForSingleObject(ctx.requestCreated, INFINITE);
        request = ctx.requestHandle.load();
    }
    hold(ctx);

    // Handles made from the internet handle inherit its time-outs on Windows but not under
    // Wine, where a request without them waits for a stalled server without end.
    setTimeouts(request);
    ResetEvent(ctx.requestComplete);
    ctx.completionError = 0;
    // The library pools a tunnel to an https server for every session of the process alike, so
    // that a later request through another proxy could go down this proxy's tunnel: a tunnel
    // through a proxy of the settings is never kept.
    const bool closes = asksToClose(*ctx.reuse) || (ctx.proxied && target.secure);
    const char* headers = closes ? "Connection: close\r\n" : nullptr;
    ctx.reuse->requests.fetch_add(1);
    if (HttpSendRequestA(request, headers, headers ? static_cast<DWORD>(-1L) : 0, nullptr, 0))
        return Waited::Completed;
    if (error = GetLastError(); error != ERROR_IO_PENDING) return Waited::Completed;
    const Waited waited = awaitCompletion(ctx, abortFlag, deadline);
    error = waited == Waited::Completed ? ctx.completionError.load() : 0;
    return waited;
}

// Reads the body of the request that has been sent. body ends empty when a read failed; an
// abort keeps what was read. The reads go into the context's chunk, which a read cancelled by
// an abort or the deadline may still fill after the fetch has returned.
Waited readBody(FetchContext& ctx, std::string& body, const std::atomic<bool>& abortFlag,
                Clock::time_point deadline) {
    const HINTERNET request = ctx.requestHandle.load();
    const auto context = reinterpret_cast<DWORD_PTR>(&ctx);
    ctx.responseEnded = false;
    for (int reads = 0; reads < READS_PER_ATTEMPT; ++reads) {
        if (abortFlag.load()) return Waited::Aborted;
        if (Clock::now() >= deadline) return Waited::TimedOut;
        INTERNET_BUFFERSA& chunk = ctx.chunk;
        chunk = INTERNET_BUFFERSA{};
        chunk.dwStructSize = sizeof chunk;
        chunk.lpvBuffer = ctx.buffer;
        chunk.dwBufferLength = READ_CHUNK;
        ResetEvent(ctx.requestComplete);
        ctx.completionError = 0;
        if (!InternetReadFileExA(request, &chunk, 0, context)) {
            if (GetLastError() != ERROR_IO_PENDING) {
                body.clear();  // a failed read spoils the whole page
                return Waited::Completed;
            }
            if (const Waited waited = awaitCompletion(ctx, abortFlag, deadline);
                waited != Waited::Completed)
                return waited;
            if (ctx.completionError.load() != 0) {
                body.clear();
                return Waited::Completed;
            }
        }
        // Every byte counts, NUL bytes too.
        body.append(ctx.buffer, chunk.dwBufferLength);
        if (chunk.dwBufferLength == 0) {
            ctx.responseEnded = true;
            break;
        }
        if (ctx.responseEnded.load()) break;
    }
    return Waited::Completed;
}

// One attempt: the GET of address and of each redirect it leads to.
FetchOutcome fetchOnce(FetchContext& ctx, const std::string& address, std::string& body,
                       const std::atomic<bool>& abortFlag, Clock::time_point deadline) {
    body.clear();
    std::string current = address;
    for (int hop = 0;; ++hop) {
        FetchTarget target;
        if (!splitAddress(current, target)) return {FetchFailure::BadAddress, 0};
        DWORD error = 0;
        const Waited sent = sendRequest(ctx, target, abortFlag, deadline, error);
        if (sent == Waited::Aborted) return {};
        if (sent == Waited::TimedOut) return {FetchFailure::Timeout, 0};
        if (error) return {failureOf(error), 0};
        const HINTERNET request = ctx.requestHandle.load();
        const DWORD status = statusOf(request);
        FetchOutcome got{FetchFailure::None, static_cast<int>(status), retryAfterOf(request),
                         status ? current : std::string()};
        if (isRedirectStatus(status)) {
            const std::string next = redirectTarget(request, current);
            if (next.empty() || hop == MAX_REDIRECTS || !redirectFollowed(current, next)) {
                got.failure = FetchFailure::Redirect;
                return got;
            }
            if (abortFlag.load()) return got;
            current = next;
            continue;
        }
        const Waited read = readBody(ctx, body, abortFlag, deadline);
        if (read == Waited::TimedOut) {
            body.clear();  // never a partial page
            got.failure = FetchFailure::Timeout;
        } else if (read == Waited::Completed && body.empty() &&
                   (status == 0 || !ctx.responseEnded.load())) {
            // No status line means no answer came: Wine completes a request whose connection
            // was reset as if an empty one had.
            got.failure = FetchFailure::Network;
        }
        return got;
    }
}

FetchOutcome fetchWith(const Session& session, std::chrono::milliseconds pageDeadline,
                       const std::string& address, std::string& body,
                       const std::atomic<bool>& abortFlag) {
    const Clock::time_point deadline = Clock::now() + pageDeadline;
    body.clear();
    auto* ctx = new FetchContext;
    FetchOutcome outcome{FetchFailure::Network, 0};
    if (openContext(*ctx, session)) {
        outcome = attemptPage(
            [&](std::string& attemptBody, Clock::time_point until) {
                return fetchOnce(*ctx, address, attemptBody, abortFlag, until);
            },
            body, abortFlag, deadline);
    }
    closeContext(*ctx);
    release(ctx);
    return outcome;
}

}  // namespace

FetchOutcome fetchPage(const std::string& address, std::string& body,
                       const std::atomic<bool>& abortFlag) {
    return fetchWith(*openSession(USER_AGENT), std::chrono::milliseconds(PAGE_DEADLINE_MS), address,
                     body, abortFlag);
}

// One session for every page: WinINet keeps the connections it reuses in a pool of its own.
PageFetcher keepAliveFetcher(const std::string& userAgent, std::chrono::milliseconds pageDeadline,
                             const std::string& proxy) {
    std::shared_ptr<const Session> session = openSession(userAgent, proxy);
    return [session, pageDeadline](const std::string& address, std::string& body,
                                   const std::atomic<bool>& abortFlag) {
        return fetchWith(*session, pageDeadline, address, body, abortFlag);
    };
}

}  // namespace vexor
