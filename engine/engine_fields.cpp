// The pairing of the edit dialog's fields with an engine's sample-search texts.
#include "engine/engine_fields.h"

namespace vexor {

void applyEngineFields(const EngineFields& fields, EngineDefinition& definition) {
    definition.keyword = fields.keyword;
    definition.page2Url = fields.page2Url;
    definition.page3Url = fields.page3Url;
    definition.firstResultUrl = fields.firstResultUrl;
    definition.tenthResultUrl = fields.tenthResultUrl;
    definition.startMarker = fields.startMarker;
    definition.endMarker = fields.endMarker;
}

EngineFields engineFieldsOf(const EngineDefinition& definition) {
    EngineFields fields;
    fields.keyword = definition.keyword;
    fields.firstResultUrl = definition.firstResultUrl;
    fields.tenthResultUrl = definition.tenthResultUrl;
    fields.page2Url = definition.page2Url;
    fields.page3Url = definition.page3Url;
    fields.startMarker = definition.startMarker;
    fields.endMarker = definition.endMarker;
    return fields;
}

}  // namespace vexor
