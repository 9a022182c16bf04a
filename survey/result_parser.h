// Picking the ten result links out of a results page with an engine's markers and link rules.
// Works on raw bytes with substring searches; no HTML parsing, no decoding.
#pragma once

#include <deque>
#include <string>
#include <string_view>

#include "engine/engine_definition.h"

namespace vexor {

// The bytes that end a link: " ' space < > tab LF (carriage return is not one of them).
inline constexpr char LINK_DELIMITERS[] = "\"' <>\t\n";

// The part of page that is searched: from the first startMarker to the first endMarker, with
// the fallbacks of a marker that is empty, missing or out of order. Shared with learning.
std::string_view cutToMarkers(std::string_view page, const std::string& startMarker,
                              const std::string& endMarker);

// Appends exactly ten links of the first rule that yields an accepted set of ten, or nothing.
void parseResultPage(const std::string& page, const EngineDefinition& engine,
                     std::deque<std::string>& links);

}  // namespace vexor
