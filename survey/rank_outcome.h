// What the search of one keyword comes to: ranked (the rank and the address of the result that
// stood there), not ranked (the results were read to their end), or failed (which page, and
// why). A failure is never a rank: it is kept, shown and stored as a failure.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "web/page_fetcher.h"

namespace vexor {

// Why a keyword's search failed on one of its pages.
enum class FailureCause : uint8_t {
    HttpStatus,      // the page came with a failing status (SearchFailure::status)
    Network,         // no connection, or it broke off or stalled
    Timeout,         // the page was not whole within its deadline
    Certificate,     // the engine's certificate did not verify
    SecureChannel,   // the TLS handshake failed
    Redirect,        // a redirect that is not followed (to http from https, without a place)
    RedirectAway,    // redirected away from the engine's results: another host or path
    EmptyPage,       // the server answered with an empty body
    BadAddress,      // the query address names no host
    Consent,         // a consent page instead of the results
    Captcha,         // a captcha page
    ScriptRequired,  // a page that asks for JavaScript and holds no results
    NotResults,      // a page that does not look like a results page of this engine
    NoLinks,         // the first results page gave no links the engine's rules accept
    Unknown,         // a cause a later version wrote
};

struct SearchFailure {
    int page = 1;    // 1..10
    FailureCause cause = FailureCause::Unknown;
    int status = 0;  // the HTTP status the page came with, 0 when none
    // The proxy the page was asked through when the cause is Network or Timeout, "" without
    // one: shown with the failure, never stored in the history.
    std::string proxy{};

    friend bool operator==(const SearchFailure&, const SearchFailure&) = default;
};

// What a history generation holds of one keyword.
struct RankEntry {
    // A plain rank converts: most entries are one.
    RankEntry(int32_t rankValue = 0, std::optional<SearchFailure> failed = std::nullopt)
        : rank(rankValue), failure(failed) {}

    int32_t rank = 0;  // 1..100 ranked, 0 not ranked or failed
    std::optional<SearchFailure> failure;

    bool failed() const { return failure.has_value(); }
    friend bool operator==(const RankEntry&, const RankEntry&) = default;
};

struct RankOutcome {
    RankEntry entry;
    std::string address;  // where the ranked result leads; "" unless ranked
};

// Why a fetched page cannot be read at all, before its links are looked at: the fetch's failure,
// a failing status (also of an empty answer), or an empty body; nothing for a page to read.
std::optional<FailureCause> fetchFailureOf(const FetchOutcome& fetched, bool emptyBody);

// Whether a failure says that the engine refuses automated searches (a block page, a refusing
// status, a redirect away from the results), as opposed to a network or certificate fault.
bool isRefusal(const SearchFailure& failure);

}  // namespace vexor
