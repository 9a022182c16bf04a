// Choosing the engine file.
#include "cli/engine_choice.h"

#include "app/settings.h"

namespace vexor::cli {

std::string chooseEnginePath(const std::optional<std::string>& named, const Workspace& workspace) {
    if (named) return *named;
    const std::string last = lastEnginePath(workspace);
    return last.empty() ? DEFAULT_ENGINE_PATH : last;
}

}  // namespace vexor::cli
