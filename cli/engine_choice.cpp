// Choosing the engine file.
#include "cli/engine_choice.h"

#include "app/texts.h"
#include "platform/profile.h"

namespace vexor::cli {

std::string chooseEnginePath(const std::optional<std::string>& named,
                             const std::string& settingsFile) {
    if (named) return *named;
    std::string last = readProfileString(settingsFile, "ENGINE", "last", "");
    return last.empty() ? texts::DEFAULT_ENGINE_PATH : last;
}

}  // namespace vexor::cli
