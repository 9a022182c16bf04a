// Putting the [NETWORK] settings into the fetchers.
#include "app/network_fetcher.h"

#include <chrono>

#include "app/text_format.h"
#include "app/texts.h"
#include "web/browser_fetcher.h"
#include "web/browser_location.h"
#include "web/paced_fetcher.h"
#include "web/service_fetcher.h"

namespace vexor {
namespace {

// Why settings cannot give a fetcher, "" when they can.
std::string refusalOf(const NetworkSettings& settings) {
    if (!settings.fetchMode) return formatWithText(texts::FMT_FETCH_UNKNOWN, settings.fetchValue);
    switch (*settings.fetchMode) {
        case FetchMode::Direct: return {};
        case FetchMode::Service:
            if (settings.serviceTemplate.empty()) return texts::TEXT_SERVICE_MISSING;
            if (!holdsUrlMark(settings.serviceTemplate)) return texts::TEXT_SERVICE_NO_URL;
            return {};
        case FetchMode::Browser:
            return findBrowser(settings.browser).empty() ? texts::TEXT_BROWSER_NOT_FOUND : std::string{};
    }
    return {};
}

// The run's fetcher through proxy ("" for the environment's or the system's).
PageFetcher modeFetcher(const NetworkSettings& settings, const std::string& proxy) {
    PageFetcher direct = networkFetcher(settings, proxy);
    if (settings.fetchMode == FetchMode::Service) return serviceFetcher(settings.serviceTemplate, std::move(direct));
    return direct;
}

// A proxy as the browser takes it: with its scheme.
std::string browserProxy(const std::string& proxy) {
    return proxy.find("://") == std::string::npos ? "http://" + proxy : proxy;
}

// The run's one browser. A single proxy is the browser's own, so that its pages keep the
// profile's cookies (a consent given once); several are taken per fetch, each in a context of
// its own that starts without them.
RunFetchers browserFetchers(const NetworkSettings& settings, const Workspace& workspace) {
    const std::chrono::milliseconds delay(settings.pageDelayMs);
    const bool oneProxy = settings.proxies.size() == 1;
    auto session = std::make_shared<BrowserSession>(
        BrowserOptions{findBrowser(settings.browser), workspace.resolve(BROWSER_PROFILE_FOLDER),
                       oneProxy ? browserProxy(settings.proxies.front()) : std::string{},
                       settings.browserWindow});
    RunFetchers run{{}, pacedFetcher(browserFetcher(session), delay), {}};
    if (oneProxy) run.proxies.push_back({run.fetch, settings.proxies.front()});
    if (settings.proxies.size() > 1) {
        for (const std::string& proxy : settings.proxies) {
            PageFetcher through = [session, routed = browserProxy(proxy)](
                                      const std::string& address, std::string& body,
                                      const std::atomic<bool>& abortFlag) {
                return session->fetch(address, body, abortFlag, routed);
            };
            run.proxies.push_back({pacedFetcher(std::move(through), delay), proxy});
        }
        run.fetch = run.proxies.front().fetch;
    }
    return run;
}

}  // namespace

PageFetcher networkFetcher(const NetworkSettings& settings, const std::string& proxy) {
    PageFetcher fetch =
        keepAliveFetcher(settings.userAgent.empty() ? std::string(USER_AGENT) : settings.userAgent,
                         std::chrono::milliseconds(PAGE_DEADLINE_MS), proxy);
    return pacedFetcher(std::move(fetch), std::chrono::milliseconds(settings.pageDelayMs));
}

RunFetchers runFetchers(const NetworkSettings& settings, const Workspace& workspace) {
    RunFetchers run{refusalOf(settings), nullptr, {}};
    if (!run.refusal.empty()) return run;
    if (settings.fetchMode == FetchMode::Browser) return browserFetchers(settings, workspace);
    for (const std::string& proxy : settings.proxies) run.proxies.push_back({modeFetcher(settings, proxy), proxy});
    run.fetch = run.proxies.empty() ? modeFetcher(settings, {}) : run.proxies.front().fetch;
    return run;
}

}  // namespace vexor
