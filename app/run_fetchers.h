// The fetchers of one survey or learning run, as the front ends hand them to the shell.
#pragma once

#include <string>
#include <vector>

#include "survey/survey_context.h"
#include "web/page_fetcher.h"

namespace vexor {

struct RunFetchers {
    std::string refusal;  // why the run cannot fetch, for the user; "" when it can
    PageFetcher fetch;    // learning's, and every keyword's without proxies (else the first proxy's)
    std::vector<ProxyRoute> proxies;  // a survey's keywords take them in turn
};

}  // namespace vexor
