// What vexor-cli prints: the result list as the Windows program shows it (keyword, the current
// run and the four before it), with the site and the engine it belongs to. Code page 932.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/result_list.h"

namespace vexor::cli {

inline constexpr int TABLE_COLUMNS = RESULT_COLUMNS;

struct ResultTable {
    std::string target;
    std::string engine;  // the engine's name
    std::array<std::string, TABLE_COLUMNS> captions;
    std::vector<std::array<std::string, TABLE_COLUMNS>> rows;  // column 0 is the keyword
};

}  // namespace vexor::cli
