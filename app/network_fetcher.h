// The page fetcher both front ends survey and learn with: the real one, as the settings file's
// [NETWORK] section asks for it.
#pragma once

#include "app/settings.h"
#include "web/page_fetcher.h"

namespace vexor {

// The real keep-alive fetcher with settings.userAgent (the fixed one when empty), its fetches
// spaced by settings.pageDelayMs (plus the random part) when that is above 0.
PageFetcher networkFetcher(const NetworkSettings& settings);

}  // namespace vexor
