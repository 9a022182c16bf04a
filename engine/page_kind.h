// Telling a results page from the pages that engines answer automated clients with instead: a
// consent form, a captcha, a page that only asks to turn on JavaScript, or a page that is no
// results page of the engine at all.
#pragma once

#include <string_view>

#include "engine/engine_definition.h"

namespace vexor {

enum class PageKind { Results, Consent, Captcha, ScriptRequired, NotResults };

// What a fetched page that gave no accepted result links is. Asked only of pages with too few
// links, so a page full of results is never judged here.
//
// An engine with results page marks: a page that carries at least half of them is Results (a genuine end
// of the results: a short last page, an empty page after the last), unless a general sign below
// says otherwise; a page without them is the general sign's kind, else NotResults. An engine
// without marks (learnt before engines kept them) is judged by the general signs alone: a sign
// gives its kind, no sign Results.
//
// The general signs are patterns that such pages of any engine carry, compared without ASCII
// letter case, their Japanese wording in code page 932, EUC-JP and UTF-8: a captcha widget or
// form, or "unusual traffic" / "not a robot" wording; a form posting to a consent address, or
// "before you continue"; a page with at most one link that asks to turn on JavaScript. The work
// is a fixed number of passes over the page.
PageKind pageKindOf(std::string_view page, const EngineDefinition& engine);

// The general signs alone: Results when the page shows none.
PageKind blockSignOf(std::string_view page);

}  // namespace vexor
