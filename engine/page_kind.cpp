// Placeholder until the page marks land.
#include "engine/page_kind.h"

namespace vexor {

PageKind pageKindOf(std::string_view, const EngineDefinition&) { return PageKind::Results; }

}  // namespace vexor
