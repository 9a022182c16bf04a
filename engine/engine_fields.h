// The seven sample-search texts of an engine as the user types them (the engine edit dialog's
// fields, or vexor-cli learn's options), and their moves into and out of an engine.
#pragma once

#include <string>

#include "engine/engine_definition.h"

namespace vexor {

struct EngineFields {
    std::string keyword;
    std::string firstResultUrl;
    std::string tenthResultUrl;
    std::string page2Url;
    std::string page3Url;
    std::string startMarker;
    std::string endMarker;

    friend bool operator==(const EngineFields&, const EngineFields&) = default;
};

// The texts into the engine, whole and as typed; nothing else of the engine changes.
void applyEngineFields(const EngineFields& fields, EngineDefinition& definition);

// The engine's seven texts as the dialog shows them.
EngineFields engineFieldsOf(const EngineDefinition& definition);

}  // namespace vexor
