// The words for why a page could not be fetched, as the result list and the learn messages show
// them ("失敗: HTTP 503", "失敗: 証明書エラー", ...).
#pragma once

#include <string>

#include "web/page_fetcher.h"

namespace vexor {

// The HTTP status when the server answered with one outside 2xx and nothing else failed (an
// empty body of such an answer included); otherwise the failure's words, and generic words for
// a failure this program has no words of its own for.
std::string fetchFailureText(const FetchOutcome& fetched);

}  // namespace vexor
