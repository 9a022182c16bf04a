// Putting the [NETWORK] settings into the fetchers.
#include "app/network_fetcher.h"

#include <chrono>

#include "app/text_format.h"
#include "app/texts.h"
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
        case FetchMode::Browser: return texts::TEXT_BROWSER_UNAVAILABLE;
    }
    return {};
}

// The run's fetcher through proxy ("" for the environment's or the system's).
PageFetcher modeFetcher(const NetworkSettings& settings, const std::string& proxy) {
    PageFetcher direct = networkFetcher(settings, proxy);
    if (settings.fetchMode == FetchMode::Service) return serviceFetcher(settings.serviceTemplate, std::move(direct));
    return direct;
}

}  // namespace

PageFetcher networkFetcher(const NetworkSettings& settings, const std::string& proxy) {
    PageFetcher fetch =
        keepAliveFetcher(settings.userAgent.empty() ? std::string(USER_AGENT) : settings.userAgent,
                         std::chrono::milliseconds(PAGE_DEADLINE_MS), proxy);
    return pacedFetcher(std::move(fetch), std::chrono::milliseconds(settings.pageDelayMs));
}

RunFetchers runFetchers(const NetworkSettings& settings) {
    RunFetchers run{refusalOf(settings), nullptr, {}};
    if (!run.refusal.empty()) return run;
    for (const std::string& proxy : settings.proxies) run.proxies.push_back({modeFetcher(settings, proxy), proxy});
    run.fetch = run.proxies.empty() ? modeFetcher(settings, {}) : run.proxies.front().fetch;
    return run;
}

}  // namespace vexor
