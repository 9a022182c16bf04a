// The learn command of the engine edit dialog ("学習"), shared by the Windows dialog and
// vexor-cli: both run it over their own Ui.
#pragma once

#include <string>

#include "app/ui.h"
#include "engine/engine_definition.h"
#include "engine/engine_fields.h"
#include "platform/clock.h"
#include "web/page_fetcher.h"

namespace vexor {

// Reads the dialog's fields into current, checks the five required ones, learns the query
// address and then the link rules (fetching result page 1 through fetch), and shows exactly
// one message owned by the edit dialog. The clock is read just before the fetch; learnedAt
// takes that time only when rules were learnt. After a learning run (not after a stop for a
// missing field or a failed address) the status label is refreshed.
void learnDefinition(EngineDefinition& current, Ui& ui, const PageFetcher& fetch, const Clock& clock);

// The status label: "未学習" without rules, otherwise "最終学習日時: yyyy/MM/dd HH:mm".
std::string engineStatusText(const EngineDefinition& definition);

}  // namespace vexor
