// The fake engine's plain layout as a learnt engine: http, the keyword in UTF-8, ten results a
// page each behind an <h3 class="r"> link.
#pragma once

#include "engine/engine_definition.h"

namespace vexor::testing {

EngineDefinition plainEngine();

}  // namespace vexor::testing
