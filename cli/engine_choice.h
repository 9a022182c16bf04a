// Which engine file vexor-cli uses: the one named on the command line, else [ENGINE] last of
// vexor.ini (the Windows program's current engine), else engine\nuq.eng.
#pragma once

#include <optional>
#include <string>

namespace vexor::cli {

// Code page 932 paths; settingsFile is the full path of vexor.ini.
std::string chooseEnginePath(const std::optional<std::string>& named,
                             const std::string& settingsFile);

}  // namespace vexor::cli
