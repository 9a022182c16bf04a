// The page fetchers both front ends survey and learn with: the real ones, as the settings file's
// [NETWORK] section asks for them. They are made at the start of every survey and learning run,
// from the settings as they are then, and live as long as the run.
#pragma once

#include <string>

#include "app/run_fetchers.h"
#include "app/settings.h"
#include "app/workspace.h"
#include "web/page_fetcher.h"

namespace vexor {

// The real keep-alive fetcher with settings.userAgent (the fixed one when empty), its fetches
// spaced by settings.pageDelayMs (plus the random part) when that is above 0; through proxy
// when it is not empty, else through the environment's or the system's proxy.
PageFetcher networkFetcher(const NetworkSettings& settings, const std::string& proxy = {});

// The fetchers settings.fetchMode asks for, one per Proxy address (in order) through it: direct,
// networkFetcher; service, the fetching service asked through networkFetcher; browser, one
// browser for the run with its profile in the workspace, closed when the last of the fetchers
// goes. A refusal (and no fetcher) for a Fetch value that names no mode, for the service without
// a template or with one that has no {url} (the template itself is never in the text), and for
// the browser when none is found.
RunFetchers runFetchers(const NetworkSettings& settings, const Workspace& workspace);

}  // namespace vexor
