// What a fetched page that gave no accepted result links is.
#pragma once

#include <string_view>

#include "engine/engine_definition.h"

namespace vexor {

enum class PageKind { Results, Consent, Captcha, ScriptRequired, NotResults };

PageKind pageKindOf(std::string_view page, const EngineDefinition& engine);

}  // namespace vexor
