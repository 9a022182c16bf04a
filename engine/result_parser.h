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

// Whether c is one of LINK_DELIMITERS, by one table lookup.
bool isLinkDelimiter(char c);

// The part of page that is searched: from the first startMarker (included) up to the first
// endMarker (excluded), both searched from the start of the page. An empty or missing start
// marker starts at the page's start; an empty or missing end marker, or one that stands before
// the start marker, ends at the page's end. Shared with learning.
std::string_view cutToMarkers(std::string_view page, const std::string& startMarker,
                              const std::string& endMarker);

// Appends exactly ten links of the first rule that yields an accepted set of ten, or nothing.
// A rule with an empty prefix finds no links (learning never makes one), so it never applies.
void parseResultPage(const std::string& page, const EngineDefinition& engine,
                     std::deque<std::string>& links);

}  // namespace vexor
