// The learn command of the engine edit dialog ("学習"), and the words for each way learning
// ends, which vexor-cli prints as well.
#pragma once

#include <string>

#include "app/engine_form.h"
#include "app/messages.h"
#include "engine/engine_definition.h"
#include "engine/learning.h"
#include "platform/clock.h"
#include "web/page_fetcher.h"

namespace vexor {

// The one message of a learning run, a warning naming what failed and what to do: the empty
// fields by their labels; which comparison of the page addresses failed; which sample was not
// found on which page; a refused sample page with the page and why (the fetch's failure, or
// what kind of page it is). Or the success as information, followed by a line that names the
// rules kept and on how many of result pages 1 to 3 they hold.
Message learnMessage(const LearnResult& result);

// Learns into current from the form's fields (learnFromSample) and shows exactly one message
// owned by the edit dialog. A run that fails with other samples than current held leaves it
// not learnt (forgetLearning); with the same ones, what was learnt before stays. The status
// label is refreshed after a learning run (not after a stop for a missing field or a failed
// address) and whenever the engine was left not learnt.
void learnDefinition(EngineDefinition& current, Messages& messages, EngineForm& form,
                     const PageFetcher& fetch, const Clock& clock);

// The status label: "未学習" without rules, otherwise "最終学習日時: yyyy/MM/dd HH:mm".
std::string engineStatusText(const EngineDefinition& definition);

}  // namespace vexor
