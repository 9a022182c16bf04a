// Resetting an engine definition to its defaults.
#include "engine/engine_definition.h"

namespace vexor {

void resetDefinition(EngineDefinition& definition) { definition = EngineDefinition{}; }

void forgetLearning(EngineDefinition& definition) {
    definition.linkRules.clear();
    definition.extendedRules.clear();
    definition.resultsPageMarks.clear();
    definition.learnedAt = SystemTime{};
}

}  // namespace vexor
