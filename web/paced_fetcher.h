// Spacing page requests out in time, so that a survey does not reach an engine as a burst.
#pragma once

#include <chrono>

#include "web/page_fetcher.h"

namespace vexor {

// A fetcher that fetches through inner, but first waits until delay plus a random part of up
// to delay (drawn anew each time) has passed since the previous fetch through it (or a copy of
// it) ended; the first fetch does not wait. An abort ends the wait at once and nothing is
// fetched. A delay of 0 or less gives inner itself.
PageFetcher pacedFetcher(PageFetcher inner, std::chrono::milliseconds delay);

}  // namespace vexor
