// Fetching one page by HTTP GET. The body comes back byte for byte (NUL bytes included), empty
// when nothing could be read after 20 attempts. abortFlag is owned by the caller and may be
// set from another thread; the fetch notices it before every attempt and every read.
#pragma once

#include <atomic>
#include <functional>
#include <string>

namespace vexor {

// The seam through which learning and the rank search fetch; tests pass scripted fetchers.
using PageFetcher =
    std::function<void(const std::string& address, std::string& body, const std::atomic<bool>& abortFlag)>;

// The real fetcher: WinINet on Windows (page_fetcher_win32.cpp), libcurl on POSIX
// (page_fetcher_posix.cpp).
void fetchPage(const std::string& address, std::string& body, const std::atomic<bool>& abortFlag);

inline constexpr char USER_AGENT[] =
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; .NET CLR 1.1.4322)";
inline constexpr int FETCH_ATTEMPTS = 20;
inline constexpr int READ_CHUNK = 255;
inline constexpr int READS_PER_ATTEMPT = 9999;
inline constexpr long BODY_CAP = static_cast<long>(READ_CHUNK) * READS_PER_ATTEMPT;  // 2,549,745
inline constexpr int NETWORK_TIMEOUT_MS = 5000;

}  // namespace vexor
