// Building the query address of a keyword and result page from an engine's learnt template.
#pragma once

#include <cstdint>
#include <string>

#include "engine/engine_definition.h"

namespace vexor {

// Expands template: the first "%d" takes pageOffset + pageStep * (page - 1) (32-bit, wrapping),
// the first "%s" the keyword escaped by percentEncode, converted first to EUC-JP or UTF-8 when
// keywordEncoding asks for it (code page 932 bytes otherwise), "%%" gives "%", any other "%"
// sequence (a later "%d" or "%s" too) is copied unchanged. The template is read left to right as
// printf reads a format, so "%%d" is a literal "%d", not a placeholder. Empty when the template
// lacks "%d" or "%s". Never truncates.
std::string buildQueryAddress(const std::string& queryTemplate, const std::string& keyword,
                              int32_t page, int32_t pageStep, int32_t pageOffset,
                              KeywordEncoding keywordEncoding);

// The same with the template, step, offset and encoding of engine.
std::string queryAddressOf(const EngineDefinition& engine, const std::string& keyword, int32_t page);

}  // namespace vexor
