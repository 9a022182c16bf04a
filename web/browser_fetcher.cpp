// The browser session: starting the browser with a tab of its own, reading a page as the tab
// renders it, and closing it all. The commands it sends: Target.createTarget and
// Target.attachToTarget once, then Page.enable and Network.enable for the tab (and for a tab of
// another proxy, Target.createBrowserContext with the proxy before them); per page
// Page.navigate, the events Network.* and Page.loadEventFired, Runtime.evaluate of a timer in
// the page while it settles and of the document's outerHTML; Browser.close at the end.
#include "web/browser_fetcher.h"

#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "platform/pipe_child.h"
#include "web/browser_protocol.h"

namespace vexor {
namespace {

using Clock = std::chrono::steady_clock;

// Starting a browser and opening its tab; its first start on a new profile is the slowest.
constexpr std::chrono::seconds START_DEADLINE{30};
constexpr std::chrono::seconds CLOSE_DEADLINE{3};
constexpr std::chrono::seconds STOP_GRACE{3};
// The quiet period ends at the latest this many quiet periods after the load event, so that a
// page that keeps a request open (a long poll) or polls all the time costs a short wait, not
// its whole deadline.
constexpr int QUIET_CAP_PERIODS = 5;
// The quiet period after the load event scales with the time the page took to load (a slow
// connection or a heavy page delays what its scripts do after the load as much), within the
// floor and options.quietPeriod: a script that fetches or writes results after the load starts
// its request within the floor, and the wait is then for that request.
constexpr int QUIET_LOAD_DIVISOR = 4;
constexpr std::chrono::milliseconds QUIET_FLOOR{15};

constexpr std::chrono::seconds READ_ALLOWANCE{5};

constexpr int NAVIGATE_ATTEMPTS = 3;
const char ABORTED_NAVIGATION[] = "net::ERR_ABORTED";

const char OUTER_HTML[] = "document.documentElement.outerHTML";

std::vector<std::string> browserArguments(const BrowserOptions& options) {
    std::vector<std::string> arguments{
        "--remote-debugging-pipe",
        "--user-data-dir=" + options.profileFolder,
        "--no-first-run",
        "--no-default-browser-check",
        // Nothing but the pages asked for goes out: no updates, reports, sync or lookups.
        "--disable-background-networking",
        "--disable-component-update",
        "--disable-sync",
        "--metrics-recording-only",
        "--disable-default-apps",
        "--no-pings",
        "--disable-domain-reliability",
        "--disable-client-side-phishing-detection",
        "--disable-breakpad",
        "--disable-extensions",
        "--disable-features=OptimizationHints,MediaRouter,Translate,AutofillServerCommunication,"
        "CertificateTransparencyComponentUpdater,InterestFeedContentSuggestions,DialMediaRouteProvider,"
        "NetworkTimeServiceQuerying,BackForwardCache",
        "--password-store=basic",
        // A window behind others or minimised keeps its timers on time: the page settles by one.
        "--disable-background-timer-throttling",
        "--disable-backgrounding-occluded-windows",
        "--disable-renderer-backgrounding",
        "about:blank",
    };
    if (!options.showWindow) arguments.insert(arguments.begin() + 1, "--headless=new");
    if (!options.proxy.empty()) arguments.insert(arguments.begin() + 1, "--proxy-server=" + options.proxy);
#ifndef _WIN32
    // Chromium refuses to run as root with its sandbox (CI containers run as root); an ordinary
    // user keeps the sandbox.
    if (geteuid() == 0) arguments.insert(arguments.begin() + 1, "--no-sandbox");
#endif
    return arguments;
}

// Whether a request of this resource type can bring what the page shows: a script, what a
// script fetches, a frame. Images, style sheets, fonts, the icon and pings leave the document's
// markup as it is, so the page is read without waiting for them.
bool canChangeDocument(const std::string& type) {
    static const std::set<std::string> PASSIVE{"Image", "Stylesheet", "Font", "Media", "TextTrack",
                                               "Manifest", "Ping", "CSPViolationReport", "Other"};
    return !PASSIVE.count(type);
}

// The address as the browser is told it: bytes it would not take as they stand (controls, the
// space, bytes of code page 932 or EUC-JP keywords) %-escaped. Engines read an escaped keyword
// as they read the raw one.
std::string addressForBrowser(const std::string& address) {
    static constexpr char HEX[] = "0123456789ABCDEF";
    std::string told;
    for (const char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F) {
            told += '%';
            told += HEX[byte >> 4];
            told += HEX[byte & 0xF];
        } else {
            told += c;
        }
    }
    return told;
}

std::string waitProblem(BrowserWait wait, const std::string& error) {
    if (!error.empty()) return "the browser refused: " + error;
    switch (wait) {
        case BrowserWait::Closed: return "the browser ended or closed its pipe";
        case BrowserWait::Malformed: return "the browser sent a message that is not JSON";
        case BrowserWait::Deadline: return "the browser did not answer in time";
        case BrowserWait::Aborted:
        case BrowserWait::Done: break;
    }
    return {};
}

// A tab opened and readied, or the step that failed and how.
struct TabOpening {
    std::string tab;  // its session id; "" when it could not be opened
    const char* failedStep = "";
    BrowserAnswer answer;  // the failed step's

    std::string problem() const {
        const std::string why = waitProblem(answer.wait, answer.error);
        return why.empty() ? std::string(failedStep) : failedStep + (": " + why);
    }
};

// Opens a tab in a browser context ("" for the profile's own) and has it report its pages'
// loads and network activity.
TabOpening openTab(BrowserConnection& connection, const std::string& context,
                   std::chrono::steady_clock::time_point deadline, const std::atomic<bool>& abortFlag) {
    TabOpening opening;
    nlohmann::json params{{"url", "about:blank"}};
    if (!context.empty()) params["browserContextId"] = context;
    opening.answer = connection.call("Target.createTarget", params, "", deadline, abortFlag);
    const std::string targetId = browserText(opening.answer.result, "targetId");
    if (targetId.empty()) {
        opening.failedStep = "no tab";
        return opening;
    }
    opening.answer = connection.call("Target.attachToTarget", {{"targetId", targetId}, {"flatten", true}}, "",
                                     deadline, abortFlag);
    const std::string tab = browserText(opening.answer.result, "sessionId");
    if (tab.empty()) {
        opening.failedStep = "no session for the tab";
        return opening;
    }
    for (const char* method : {"Page.enable", "Network.enable"}) {
        opening.answer = connection.call(method, nlohmann::json::object(), tab, deadline, abortFlag);
        if (opening.answer.wait != BrowserWait::Done || !opening.answer.error.empty()) {
            opening.failedStep = method;
            return opening;
        }
    }
    opening.tab = tab;
    return opening;
}

}  // namespace

struct BrowserSession::Browser {
    PipeChild child;
    BrowserConnection connection{child};
    std::map<std::string, std::string> tabs;  // by proxy ("" the session's own): a tab's session id
    std::string current;                      // the tab of the last fetch
};

BrowserSession::BrowserSession(BrowserOptions options) : options_(std::move(options)) {}

BrowserSession::~BrowserSession() { close(); }

BrowserState BrowserSession::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

std::string BrowserSession::problem() const {
    std::lock_guard lock(mutex_);
    return problem_;
}

void BrowserSession::lose(BrowserState state, std::string problem) {
    if (browser_) browser_->child.stop(STOP_GRACE);
    browser_.reset();
    state_ = state;
    problem_ = std::move(problem);
}

bool BrowserSession::ensureBrowser(const std::atomic<bool>& abortFlag) {
    if (browser_ && browser_->child.running()) return true;
    if (browser_) lose(BrowserState::Ended, "the browser ended");
    if (options_.program.empty()) {
        state_ = BrowserState::NoProgram;
        problem_ = "no browser found";
        return false;
    }
    auto browser = std::make_unique<Browser>();
    std::string error;
    browser->child = PipeChild::start(options_.program, browserArguments(options_), error);
    if (!browser->child.running()) {
        state_ = BrowserState::StartFailed;
        problem_ = error.empty() ? "the browser ended at once" : error;
        return false;
    }
    browser_ = std::move(browser);
    const TabOpening opened = openTab(browser_->connection, "", Clock::now() + START_DEADLINE, abortFlag);
    if (opened.tab.empty()) {
        // An abort leaves no trace in the state; anything else is a failed start.
        if (opened.answer.wait == BrowserWait::Aborted)
            lose(BrowserState::NotStarted, "");
        else
            lose(BrowserState::StartFailed, opened.problem());
        return false;
    }
    browser_->tabs[""] = browser_->current = opened.tab;
    state_ = BrowserState::Running;
    problem_.clear();
    return true;
}

const std::string* BrowserSession::tabFor(const std::string& proxy, const std::atomic<bool>& abortFlag) {
    const std::string key = proxy == options_.proxy ? std::string() : proxy;
    if (const auto known = browser_->tabs.find(key); known != browser_->tabs.end()) return &known->second;
    BrowserConnection& connection = browser_->connection;
    const auto deadline = Clock::now() + START_DEADLINE;
    const BrowserAnswer context =
        connection.call("Target.createBrowserContext", {{"proxyServer", proxy}}, "", deadline, abortFlag);
    const std::string contextId = browserText(context.result, "browserContextId");
    if (contextId.empty()) return nullptr;
    const TabOpening opened = openTab(connection, contextId, deadline, abortFlag);
    if (opened.tab.empty()) return nullptr;
    return &(browser_->tabs[key] = opened.tab);
}

FetchOutcome BrowserSession::fetch(const std::string& address, std::string& body, const std::atomic<bool>& abortFlag,
                                   const std::string& proxy) {
    body.clear();
    FetchOutcome outcome;
    std::lock_guard lock(mutex_);
    const std::string* tabOfProxy = ensureBrowser(abortFlag) ? tabFor(proxy, abortFlag) : nullptr;
    if (!tabOfProxy) {
        if (!abortFlag.load()) outcome.failure = FetchFailure::Network;
        return outcome;
    }
    BrowserConnection& connection = browser_->connection;
    const std::string tab = browser_->current = *tabOfProxy;
    const auto started = Clock::now();
    const auto deadline = started + options_.pageDeadline;
    // Ends the fetch for a wait that did not give what was waited for.
    auto endedBy = [&](BrowserWait wait) {
        switch (wait) {
            case BrowserWait::Aborted: break;
            case BrowserWait::Deadline: outcome.failure = FetchFailure::Timeout; break;
            case BrowserWait::Closed:
            case BrowserWait::Malformed:
                lose(BrowserState::Ended, waitProblem(wait, ""));
                outcome.failure = FetchFailure::Network;
                break;
            case BrowserWait::Done: break;
        }
        return outcome;
    };

    // A navigation that the page's own (a reload its script began) aborted is asked for again.
    BrowserAnswer navigated;
    for (int attempt = 0; attempt < NAVIGATE_ATTEMPTS; ++attempt) {
        connection.dropEvents();  // what the page before is still doing
        navigated = connection.call("Page.navigate", {{"url", addressForBrowser(address)}}, tab, deadline, abortFlag);
        if (browserText(navigated.result, "errorText") != ABORTED_NAVIGATION) break;
    }
    if (navigated.wait != BrowserWait::Done) return endedBy(navigated.wait);
    if (!navigated.error.empty() || !browserText(navigated.result, "errorText").empty()) {
        outcome.failure = FetchFailure::Network;
        return outcome;
    }
    const std::string loader = browserText(navigated.result, "loaderId");

    // The load event (a navigation within the document has no loader and none). A load event
    // counts only after the document's own response: one that comes before it is the end of a
    // navigation the page started itself (a reload) before this one took over.
    bool loaded = loader.empty();
    bool responded = false;
    std::set<std::string> requests;  // in flight in the tab, of those that can change the page
    int activity = 0;                // events of those requests
    const auto take = [&](const BrowserEvent& event) {
        if (event.sessionId != tab || !event.params.is_object()) return;
        if (event.method == "Page.loadEventFired" && responded) {
            loaded = true;
        } else if (event.method.rfind("Network.", 0) == 0) {
            const std::string request = browserText(event.params, "requestId");
            if (event.method == "Network.requestWillBeSent" && canChangeDocument(browserText(event.params, "type")))
                requests.insert(request);
            activity += static_cast<int>(requests.count(request));
            if (event.method == "Network.loadingFinished" || event.method == "Network.loadingFailed")
                requests.erase(request);
            if (event.method == "Network.responseReceived" && browserText(event.params, "loaderId") == loader &&
                browserText(event.params, "type") == "Document") {
                const auto& response = event.params["response"];
                const auto status = response.find("status");
                if (status != response.end() && status->is_number()) outcome.status = status->get<int>();
                outcome.finalAddress = browserText(response, "url");
                responded = true;
            }
        }
    };
    while (!loaded) {
        BrowserEvent event;
        const BrowserWait wait = connection.nextEvent(event, deadline, abortFlag);
        if (wait != BrowserWait::Done) return endedBy(wait);
        take(event);
    }

    // Then the page settles: the page's own timer of the quiet period runs out with no request
    // that can change the document begun or in flight meanwhile. The timer runs in the page, so
    // that what the page's scripts start after their own short delays comes first, however busy
    // the machine; what they start shows as events before the timer's answer.
    const auto now = Clock::now();
    const auto quietCap = std::min(deadline, now + QUIET_CAP_PERIODS * options_.quietPeriod);
    const auto quiet = std::clamp(std::chrono::duration_cast<std::chrono::milliseconds>(now - started) /
                                      QUIET_LOAD_DIVISOR,
                                  std::min(QUIET_FLOOR, options_.quietPeriod), options_.quietPeriod);
    const std::string pageTimer =
        "new Promise(function(done){setTimeout(done," + std::to_string(quiet.count()) + ")})";
    for (;;) {
        const int before = activity;
        const BrowserAnswer timer =
            connection.call("Runtime.evaluate", {{"expression", pageTimer}, {"awaitPromise", true}}, tab,
                            quietCap, abortFlag);
        if (timer.wait == BrowserWait::Deadline) break;
        if (timer.wait != BrowserWait::Done) return endedBy(timer.wait);
        // The events that came meanwhile, then those of the requests still in flight.
        BrowserEvent event;
        BrowserWait wait;
        while ((wait = connection.nextEvent(event, requests.empty() ? Clock::now() : quietCap, abortFlag)) ==
               BrowserWait::Done)
            take(event);
        if (wait != BrowserWait::Deadline) return endedBy(wait);
        // A timer cut short (the page went on to another document) settles nothing.
        if (Clock::now() >= quietCap || (activity == before && timer.error.empty())) break;
    }

    // Reading the settled page is given a moment even when the quiet period took the deadline.
    const BrowserAnswer read =
        connection.call("Runtime.evaluate", {{"expression", OUTER_HTML}, {"returnByValue", true}}, tab,
                        std::max(deadline, Clock::now() + READ_ALLOWANCE), abortFlag);
    if (read.wait != BrowserWait::Done) return endedBy(read.wait);
    const nlohmann::json& value = read.result.is_object() && read.result.contains("result")
                                      ? read.result["result"]
                                      : nlohmann::json::object();
    const auto text = value.is_object() ? value.find("value") : value.end();
    if (!read.error.empty() || text == value.end() || !text->is_string()) {
        outcome.failure = FetchFailure::Network;
        return outcome;
    }
    body = text->get<std::string>();
    return outcome;
}

std::optional<std::string> BrowserSession::evaluate(const std::string& script, const std::atomic<bool>& abortFlag) {
    std::lock_guard lock(mutex_);
    if (!ensureBrowser(abortFlag)) return std::nullopt;
    const BrowserAnswer answer = browser_->connection.call(
        "Runtime.evaluate",
        {{"expression", script}, {"returnByValue", true}, {"awaitPromise", true}, {"userGesture", true}},
        browser_->current, Clock::now() + options_.pageDeadline, abortFlag);
    if (answer.wait == BrowserWait::Closed || answer.wait == BrowserWait::Malformed) {
        lose(BrowserState::Ended, waitProblem(answer.wait, ""));
        return std::nullopt;
    }
    if (answer.wait != BrowserWait::Done || !answer.error.empty() || !answer.result.is_object() ||
        answer.result.contains("exceptionDetails"))
        return std::nullopt;
    const auto result = answer.result.find("result");
    if (result == answer.result.end() || !result->is_object()) return std::nullopt;
    const auto value = result->find("value");
    return value == result->end() ? std::string("null") : value->dump();
}

void BrowserSession::close() {
    std::lock_guard lock(mutex_);
    if (!browser_) return;
    const std::atomic<bool> never{false};
    browser_->connection.call("Browser.close", nlohmann::json::object(), "", Clock::now() + CLOSE_DEADLINE, never);
    lose(BrowserState::NotStarted, "");
}

PageFetcher browserFetcher(std::shared_ptr<BrowserSession> session) {
    return [session = std::move(session)](const std::string& address, std::string& body,
                                          const std::atomic<bool>& abortFlag) {
        return session->fetch(address, body, abortFlag);
    };
}

PageFetcher browserFetcher(BrowserOptions options) {
    return browserFetcher(std::make_shared<BrowserSession>(std::move(options)));
}

}  // namespace vexor
