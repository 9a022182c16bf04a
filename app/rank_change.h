// How a keyword's rank in one run compares with its rank in the run before: what the result
// list's cell colours and the report's change column say.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vexor {

enum class RankChange {
    None,         // nothing to compare: no record in this run or none in the run before
    Better,       // ranked in both, higher (a smaller number) now
    Worse,        // ranked in both, lower now
    NewlyRanked,  // ranked now, not ranked before
    DroppedOut,   // not ranked now, ranked before
    Unchanged,    // the same rank, or not ranked in both
};

// rank and olderRank: nothing for no record, a rank of 1 or more for ranked, anything else
// (0 as stored for "not found") for not ranked.
RankChange rankChange(std::optional<int32_t> rank, std::optional<int32_t> olderRank);

// The same for two cell texts of the result list as they are shown: "" (no record), "-" (not
// found) or a decimal rank. A cell showing anything else (the progress of a search, an aborted
// keyword) compares with nothing.
RankChange cellChange(const std::string& text, const std::string& olderText);

}  // namespace vexor
