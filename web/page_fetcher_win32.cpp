// The page fetcher over WinINet in asynchronous mode. Every call that may block is issued with
// the FetchContext as its context value; onInternetStatus, on the library's threads, turns the
// notifications into three events that the calling thread waits on. The library's 5 s time-outs
// bound every wait, so an abort is noticed within them even on a stalled connection.
#include <windows.h>
#include <wininet.h>

#include <string>

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

// Host and request target of an address: the path together with the query, because the extra
// information is not asked for separately. Scheme, port and user name are not used.
bool splitAddress(const std::string& address, std::string& host, std::string& path) {
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = 1;  // ask for pointers into address
    parts.dwUrlPathLength = 1;
    if (!InternetCrackUrlA(address.c_str(), 0, 0, &parts)) return false;
    if (!parts.lpszHostName || !parts.lpszUrlPath) return false;
    host.assign(parts.lpszHostName, parts.dwHostNameLength);
    path.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    return true;
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

bool openContext(FetchContext& ctx) {
    ctx.connectHandle = nullptr;
    ctx.requestHandle = nullptr;
    ctx.connectCreated = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ctx.requestCreated = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ctx.requestComplete = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!ctx.connectCreated || !ctx.requestCreated || !ctx.requestComplete) return false;
    ctx.internetHandle =
        InternetOpenA(USER_AGENT, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, INTERNET_FLAG_ASYNC);
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

// One attempt. body ends empty when any step or read failed; an abort keeps what was read.
void fetchOnce(FetchContext& ctx, const std::string& address, std::string& body,
               const std::atomic<bool>& abortFlag) {
    body.clear();
    ctx.responseEnded = false;
    closeHandle(ctx.requestHandle);  // handles of the attempt before
    closeHandle(ctx.connectHandle);
    // Stale notifications of the attempt before must not stand for this one's.
    for (HANDLE event : {ctx.connectCreated, ctx.requestCreated, ctx.requestComplete})
        ResetEvent(event);

    std::string host, path;
    if (!splitAddress(address, host, path)) return;
    const auto context = reinterpret_cast<DWORD_PTR>(&ctx);

    HINTERNET connection = InternetConnectA(ctx.internetHandle, host.c_str(), INTERNET_DEFAULT_HTTP_PORT,
                                            nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, context);
    if (connection) {
        ctx.connectHandle = connection;
    } else {
        if (GetLastError() != ERROR_IO_PENDING) return;
        WaitForSingleObject(ctx.connectCreated, INFINITE);
    }

    HINTERNET request = HttpOpenRequestA(ctx.connectHandle.load(), "GET", path.c_str(), nullptr, nullptr,
                                         nullptr, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE,
                                         context);
    if (request) {
        ctx.requestHandle = request;
    } else {
        if (GetLastError() != ERROR_IO_PENDING) return;
        WaitForSingleObject(ctx.requestCreated, INFINITE);
        request = ctx.requestHandle.load();
    }

    // Handles made from the internet handle inherit its time-outs on Windows but not under
    // Wine, where a request without them waits for a stalled server without end.
    setTimeouts(request);
    ResetEvent(ctx.requestComplete);
    ctx.completionError = 0;
    if (!HttpSendRequestA(request, nullptr, 0, nullptr, 0) && GetLastError() != ERROR_IO_PENDING)
        return;
    if (!awaitCompletion(ctx)) return;

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

}  // namespace

void fetchPage(const std::string& address, std::string& body, const std::atomic<bool>& abortFlag) {
    body.clear();
    FetchContext ctx;
    if (openContext(ctx)) {
        for (int attempt = 0; attempt < FETCH_ATTEMPTS && !abortFlag.load(); ++attempt) {
            fetchOnce(ctx, address, body, abortFlag);
            if (!body.empty()) break;
        }
    }
    closeContext(ctx);
}

}  // namespace vexor
