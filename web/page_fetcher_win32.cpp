// The page fetcher over WinINet in asynchronous mode. Every call that may block is issued with
// the FetchContext as its context value; onInternetStatus, on the library's threads, turns the
// notifications into three events that the calling thread waits on. The library's 5 s time-outs
// bound every wait, so an abort is noticed within them even on a stalled connection.
// Certificates are WinINet's to verify (the system's trust store; no flag that ignores a
// problem is ever set). Redirects are followed here, hop by hop, rather than by WinINet, which
// under Wine follows one from https to http as readily as any other.
#include <windows.h>
#include <wininet.h>

#include <string>

#include "web/address_scheme.h"
#include "web/page_fetcher.h"

namespace vexor {
namespace {

struct FetchContext {
    HINTERNET internetHandle = nullptr;
    std::atomic<HINTERNET> connectHandle{nullptr};  // written by the callback, too
    std::atomic<HINTERNET> requestHandle{nullptr};  // written by the callback, too
    HANDLE connectCreated = nullptr;
    HANDLE requestCreated = nullptr;
    HANDLE requestComplete = nullptr;
    std::atomic<bool> responseEnded{false};
    // Error of the operation that completed last by notification; 0 when it succeeded.
    std::atomic<DWORD> completionError{0};
};

void CALLBACK onInternetStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info,
                               DWORD infoLength) {
    auto* ctx = reinterpret_cast<FetchContext*>(context);
    if (!ctx || !info) return;
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

bool openContext(FetchContext& ctx, const std::string& userAgent) {
    ctx.connectHandle = nullptr;
    ctx.requestHandle = nullptr;
    ctx.connectCreated = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ctx.requestCreated = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ctx.requestComplete = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!ctx.connectCreated || !ctx.requestCreated || !ctx.requestComplete) return false;
    ctx.internetHandle =
        InternetOpenA(userAgent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, INTERNET_FLAG_ASYNC);
    if (!ctx.internetHandle) return false;
    setTimeouts(ctx.internetHandle);
    return InternetSetStatusCallbackA(ctx.internetHandle, onInternetStatus) !=
           INTERNET_INVALID_STATUS_CALLBACK;
}

void closeContext(FetchContext& ctx) {
    closeHandle(ctx.requestHandle);
    closeHandle(ctx.connectHandle);
    if (ctx.internetHandle) InternetCloseHandle(ctx.internetHandle);
    ctx.internetHandle = nullptr;
    for (HANDLE* event : {&ctx.requestComplete, &ctx.requestCreated, &ctx.connectCreated}) {
        if (*event) CloseHandle(*event);
        *event = nullptr;
    }
}

// Waits for the completion of the operation just started; false when it failed.
bool awaitCompletion(FetchContext& ctx) {
    WaitForSingleObject(ctx.requestComplete, INFINITE);
    return ctx.completionError.load() == 0;
}

// Sends a GET of target with the handles of the context; the error of the first step that
// failed, 0 when the response has arrived.
DWORD sendRequest(FetchContext& ctx, const FetchTarget& target) {
    closeHandle(ctx.requestHandle);  // handles of the attempt or hop before
    closeHandle(ctx.connectHandle);
    // Stale notifications of the attempt before must not stand for this one's.
    for (HANDLE event : {ctx.connectCreated, ctx.requestCreated, ctx.requestComplete})
        ResetEvent(event);
    const auto context = reinterpret_cast<DWORD_PTR>(&ctx);

    HINTERNET connection = InternetConnectA(ctx.internetHandle, target.host.c_str(), target.port,
                                            nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, context);
    if (connection) {
        ctx.connectHandle = connection;
    } else {
        if (const DWORD error = GetLastError(); error != ERROR_IO_PENDING) return error;
        WaitForSingleObject(ctx.connectCreated, INFINITE);
    }

    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                        INTERNET_FLAG_NO_AUTO_REDIRECT | (target.secure ? INTERNET_FLAG_SECURE : 0);
    HINTERNET request = HttpOpenRequestA(ctx.connectHandle.load(), "GET", target.path.c_str(), nullptr,
                                         nullptr, nullptr, flags, context);
    if (request) {
        ctx.requestHandle = request;
    } else {
        if (const DWORD error = GetLastError(); error != ERROR_IO_PENDING) return error;
        WaitForSingleObject(ctx.requestCreated, INFINITE);
        request = ctx.requestHandle.load();
    }

    // Handles made from the internet handle inherit its time-outs on Windows but not under
    // Wine, where a request without them waits for a stalled server without end.
    setTimeouts(request);
    ResetEvent(ctx.requestComplete);
    ctx.completionError = 0;
    if (!HttpSendRequestA(request, nullptr, 0, nullptr, 0)) {
        if (const DWORD error = GetLastError(); error != ERROR_IO_PENDING) return error;
        WaitForSingleObject(ctx.requestComplete, INFINITE);
        return ctx.completionError.load();
    }
    return 0;
}

// Reads the body of the request that has been sent. body ends empty when a read failed; an
// abort keeps what was read.
void readBody(FetchContext& ctx, std::string& body, const std::atomic<bool>& abortFlag) {
    const HINTERNET request = ctx.requestHandle.load();
    const auto context = reinterpret_cast<DWORD_PTR>(&ctx);
    ctx.responseEnded = false;
    char buffer[READ_CHUNK + 1];
    for (int reads = 0; reads < READS_PER_ATTEMPT; ++reads) {
        if (abortFlag.load()) return;
        INTERNET_BUFFERSA chunk{};
        chunk.dwStructSize = sizeof chunk;
        chunk.lpvBuffer = buffer;
        chunk.dwBufferLength = READ_CHUNK;
        ResetEvent(ctx.requestComplete);
        ctx.completionError = 0;
        if (!InternetReadFileExA(request, &chunk, 0, context)) {
            if (GetLastError() != ERROR_IO_PENDING || !awaitCompletion(ctx)) {
                body.clear();  // a failed read spoils the whole page
                return;
            }
        }
        // Every byte counts, NUL bytes too.
        body.append(buffer, chunk.dwBufferLength);
        if (chunk.dwBufferLength == 0) {
            ctx.responseEnded = true;
            break;
        }
        if (ctx.responseEnded.load()) break;
    }
}

// One attempt: the GET of address and of each redirect it leads to.
FetchOutcome fetchOnce(FetchContext& ctx, const std::string& address, std::string& body,
                       const std::atomic<bool>& abortFlag) {
    body.clear();
    std::string current = address;
    for (int hop = 0;; ++hop) {
        FetchTarget target;
        if (!splitAddress(current, target)) return {FetchFailure::BadAddress, 0};
        if (const DWORD error = sendRequest(ctx, target)) return {failureOf(error), 0};
        const DWORD status = statusOf(ctx.requestHandle.load());
        if (isRedirectStatus(status)) {
            const std::string next = redirectTarget(ctx.requestHandle.load(), current);
            if (!next.empty()) {
                if (hop == MAX_REDIRECTS || !redirectFollowed(current, next))
                    return {FetchFailure::Redirect, static_cast<int>(status)};
                if (abortFlag.load()) return {FetchFailure::None, static_cast<int>(status)};
                current = next;
                continue;
            }
        }
        readBody(ctx, body, abortFlag);
        // No status line means no answer came: Wine completes a request whose connection was
        // reset as if an empty one had.
        const bool readFailed =
            body.empty() && (status == 0 || !ctx.responseEnded.load()) && !abortFlag.load();
        return {readFailed ? FetchFailure::Network : FetchFailure::None, static_cast<int>(status)};
    }
}

FetchOutcome fetchWith(const std::string& userAgent, const std::string& address,
                       std::string& body, const std::atomic<bool>& abortFlag) {
    body.clear();
    FetchContext ctx;
    FetchOutcome outcome{FetchFailure::Network, 0};
    if (openContext(ctx, userAgent)) {
        outcome = {};
        for (int attempt = 0; attempt < FETCH_ATTEMPTS && !abortFlag.load(); ++attempt) {
            outcome = fetchOnce(ctx, address, body, abortFlag);
            if (!body.empty() || !worthRetrying(outcome.failure)) break;
        }
        if (body.empty() && outcome.failure == FetchFailure::None && !abortFlag.load())
            outcome.failure = FetchFailure::EmptyBody;
    }
    closeContext(ctx);
    return outcome;
}

}  // namespace

FetchOutcome fetchPage(const std::string& address, std::string& body,
                       const std::atomic<bool>& abortFlag) {
    return fetchWith(USER_AGENT, address, body, abortFlag);
}

// WinINet keeps connections open between internet handles by itself.
PageFetcher keepAliveFetcher(const std::string& userAgent) {
    return [userAgent](const std::string& address, std::string& body,
                       const std::atomic<bool>& abortFlag) {
        return fetchWith(userAgent, address, body, abortFlag);
    };
}

}  // namespace vexor
