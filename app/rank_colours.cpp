// The palette of rank changes.
#include "app/rank_colours.h"

namespace vexor {
namespace {

constexpr Rgb BLACK{0x00, 0x00, 0x00};
constexpr Rgb WHITE{0xFF, 0xFF, 0xFF};

}  // namespace

std::optional<ChangeColours> changeColours(RankChange change) {
    switch (change) {
        case RankChange::Better: return ChangeColours{BLACK, {0xA6, 0xCE, 0xE3}};
        case RankChange::NewlyRanked: return ChangeColours{WHITE, {0x1F, 0x78, 0xB4}};
        case RankChange::Worse: return ChangeColours{BLACK, {0xFD, 0xBF, 0x6F}};
        case RankChange::DroppedOut: return ChangeColours{WHITE, {0xB3, 0x58, 0x06}};
        case RankChange::Unchanged: return ChangeColours{BLACK, {0xE0, 0xE0, 0xE0}};
        case RankChange::None: break;
    }
    return std::nullopt;
}

}  // namespace vexor
