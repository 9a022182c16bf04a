// vexor-cli as a function of its arguments (UTF-8, without the program name) and its console;
// returns the exit status.
#pragma once

#include <string>
#include <vector>

#include "cli/console.h"

namespace vexor::cli {

int runCli(const std::vector<std::string>& args, const Console& console);

}  // namespace vexor::cli
