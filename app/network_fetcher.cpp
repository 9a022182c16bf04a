// Putting the [NETWORK] settings into the fetcher.
#include "app/network_fetcher.h"

#include <chrono>

#include "web/paced_fetcher.h"

namespace vexor {

PageFetcher networkFetcher(const NetworkSettings& settings) {
    PageFetcher fetch =
        keepAliveFetcher(settings.userAgent.empty() ? std::string(USER_AGENT) : settings.userAgent);
    return pacedFetcher(std::move(fetch), std::chrono::milliseconds(settings.pageDelayMs));
}

}  // namespace vexor
