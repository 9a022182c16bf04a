// Comparing a rank with the one before it.
#include "app/rank_change.h"

#include "app/texts.h"

namespace vexor {
namespace {

bool isRanked(int32_t rank) { return rank >= 1; }

// What a cell text stands for: no record, a rank (0 for "-"), or no rank at all.
struct CellValue {
    bool comparable = false;
    std::optional<int32_t> rank;
};

CellValue cellValue(const std::string& text) {
    if (text.empty()) return {true, std::nullopt};
    if (text == texts::TEXT_NOT_FOUND) return {true, 0};
    // The list shows ranks of 1 to 100 written by the program; longer digit runs are no rank.
    if (text.size() > 9 || text[0] == '0') return {};
    int32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return {};
        value = value * 10 + (c - '0');
    }
    return {true, value};
}

}  // namespace

RankChange rankChange(std::optional<int32_t> rank, std::optional<int32_t> olderRank) {
    // Without a record on either side (a keyword new to the survey, a run that is missing or
    // unfinished) nothing is known about a change.
    if (!rank || !olderRank) return RankChange::None;
    if (!isRanked(*rank)) return isRanked(*olderRank) ? RankChange::DroppedOut : RankChange::Unchanged;
    if (!isRanked(*olderRank)) return RankChange::NewlyRanked;
    if (*rank < *olderRank) return RankChange::Better;
    if (*rank > *olderRank) return RankChange::Worse;
    return RankChange::Unchanged;
}

RankChange cellChange(const std::string& text, const std::string& olderText) {
    const CellValue value = cellValue(text);
    const CellValue older = cellValue(olderText);
    if (!value.comparable || !older.comparable) return RankChange::None;
    return rankChange(value.rank, older.rank);
}

}  // namespace vexor
