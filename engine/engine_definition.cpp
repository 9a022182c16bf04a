// Resetting an engine definition to its defaults.
#include "engine/engine_definition.h"

namespace vexor {

void resetDefinition(EngineDefinition& definition) { definition = EngineDefinition{}; }

}  // namespace vexor
