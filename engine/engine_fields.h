// Moving the seven sample-search texts between the engine edit dialog's fields and an engine.
#pragma once

#include "app/ui.h"
#include "engine/engine_definition.h"

namespace vexor {

// The dialog's texts into the engine, whole and as typed; nothing else of the engine changes.
void applyEngineFields(const EngineFields& fields, EngineDefinition& definition);

// The engine's seven texts as the dialog shows them.
EngineFields engineFieldsOf(const EngineDefinition& definition);

}  // namespace vexor
