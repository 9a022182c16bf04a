// Fetching pages with a Chromium-family browser driven over its remote-debugging pipe, for
// engines that answer only clients that run their scripts. One browser process per session,
// started at the session's first fetch and closed when the session goes; one tab, reused for
// every page. A page is read as the rendered document once it has settled: the load event, then
// a quiet period without network activity in the tab, all within the page's deadline.
//
// The body is the document's outerHTML as the browser gives it: UTF-8, whatever the page was
// sent in. Its <meta> still names the charset the page came in, so a page sent in Shift-JIS or
// EUC-JP comes back with a charset declaration that its bytes no longer follow. The engine layer
// reads pages as bytes and never decodes by the declared charset: links are ASCII (non-ASCII in
// an address the browser writes %-escaped), and the block-page signs are looked for in UTF-8 as
// well as in code page 932 and EUC-JP, so a rendered page reads as the page it came from did.
// Text in the page other than links (titles, snippets) is UTF-8 here.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "web/page_fetcher.h"

namespace vexor {

// The browser's own profile, a folder of this name in the workspace: what a person gives the
// browser (a consent, a cookie) stays there from one run to the next.
inline constexpr char BROWSER_PROFILE_FOLDER[] = "browser-profile";

inline constexpr int BROWSER_QUIET_MS = 400;

struct BrowserOptions {
    std::string program;        // the browser to start (findBrowser); "" when none was found
    std::string profileFolder;  // --user-data-dir: vexor's own, in the workspace
    std::string proxy;          // "" : none given (the environment's/system's); else
                                // "http://host:port" passed as --proxy-server
    bool showWindow = false;    // headless unless true
    std::chrono::milliseconds pageDeadline{PAGE_DEADLINE_MS};
    std::chrono::milliseconds quietPeriod{BROWSER_QUIET_MS};  // after the load event
};

// Where the session's browser stands.
enum class BrowserState {
    NotStarted,   // no fetch has needed it yet, or it was closed
    Running,
    NoProgram,    // options.program is empty: no browser was found
    StartFailed,  // it could not be started, ended at once or did not answer as a browser
    Ended,        // it ended or broke off while in use; the next fetch starts it again
};

class BrowserSession {
public:
    explicit BrowserSession(BrowserOptions options);
    ~BrowserSession();  // close()
    BrowserSession(const BrowserSession&) = delete;
    BrowserSession& operator=(const BrowserSession&) = delete;

    // A fetch as PageFetcher makes it. The browser is started by the first fetch, from the
    // calling thread: on Linux the browser is killed when the thread that started it ends, so
    // the thread that fetches for a whole run starts it. A browser that cannot be started or
    // breaks off gives Network (state() and problem() say why), the deadline Timeout, an
    // address the browser could not load Network; an abort gives an empty body and no failure.
    // The tab stays on the page fetched, so that a person can act on it in the window (a
    // consent, a captcha) before the same address is fetched again.
    //
    // A proxy other than the options' ("" or the same: the options') is used through a tab of
    // its own in a browser context of its own, opened at its first fetch and kept: such a
    // context starts without the profile's cookies and keeps none after the session.
    FetchOutcome fetch(const std::string& address, std::string& body, const std::atomic<bool>& abortFlag,
                       const std::string& proxy = "");

    // Runs script in the page of the last fetch's tab as a person's action there would (it counts as a user
    // gesture; a promise is awaited) and gives its value as JSON text; nothing when there is no
    // browser, the script threw, or the page's deadline passed.
    std::optional<std::string> evaluate(const std::string& script, const std::atomic<bool>& abortFlag);

    BrowserState state() const;
    // Why the browser is not running, in one line of technical detail ("" while it runs or has
    // not been needed): for the caller's message beside its own words.
    std::string problem() const;

    // Asks the browser to close (so that it writes its profile: a consent given in the window
    // is kept only then), then ends it and everything it started. Called by the thread that
    // fetched before it ends, since the browser dies with that thread without writing its
    // profile. A later fetch starts a new browser.
    void close();

private:
    struct Browser;
    bool ensureBrowser(const std::atomic<bool>& abortFlag);
    // The session id of the tab that fetches through proxy, opened when needed; null when it
    // cannot be opened.
    const std::string* tabFor(const std::string& proxy, const std::atomic<bool>& abortFlag);
    void lose(BrowserState state, std::string problem);

    const BrowserOptions options_;
    mutable std::mutex mutex_;
    std::unique_ptr<Browser> browser_;
    BrowserState state_ = BrowserState::NotStarted;
    std::string problem_;
};

// A fetcher whose copies share one session; the browser closes when the last copy goes.
PageFetcher browserFetcher(BrowserOptions options);
// A fetcher that fetches through session, for a caller that keeps the session to ask it why the
// browser did not start, or to act on the page.
PageFetcher browserFetcher(std::shared_ptr<BrowserSession> session);

}  // namespace vexor
