// Which engine file vexor-cli uses: the one named on the command line, else [ENGINE] last of
// vexor.ini (the Windows program's current engine), else engine\nuq.eng.
#pragma once

#include <optional>
#include <string>

#include "app/workspace.h"

namespace vexor::cli {

// Code page 932 paths, as given (relative ones are taken from the workspace).
std::string chooseEnginePath(const std::optional<std::string>& named, const Workspace& workspace);

}  // namespace vexor::cli
