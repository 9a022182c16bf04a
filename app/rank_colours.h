// The colours that mark a rank's change, shared by the result list and the report. Blue for
// better, orange for worse (dark shades for newly ranked and dropped out), grey for unchanged:
// the blue-orange pair stays apart for red-green colour blindness, and every text colour
// reads on its fill with a contrast of 4.5:1 or more.
#pragma once

#include <cstdint>
#include <optional>

#include "app/rank_change.h"

namespace vexor {

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct ChangeColours {
    Rgb text;
    Rgb fill;
};

// Nothing for RankChange::None: such a cell keeps the list's own colours.
std::optional<ChangeColours> changeColours(RankChange change);

}  // namespace vexor
