// One search engine's definition: the sample search typed by the user and what learning derived
// from it. Plain record; copying copies the rules (no sharing between records).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace vexor {

// Form of the keyword in a query address. Stored as one byte; unknown values act as ShiftJis.
enum class KeywordEncoding : uint8_t { ShiftJis = 0, EucJp = 1, Utf8 = 2 };

// Which ten links a rule yields when it finds more than ten. Stored as one byte.
enum class LinkSelection : uint8_t { ExactlyTen = 0, FirstTen = 1, LastTen = 2 };

struct LinkRule {
    LinkSelection selection = LinkSelection::ExactlyTen;
    int32_t stride = 1;
    std::string prefix;

    friend bool operator==(const LinkRule&, const LinkRule&) = default;
};

inline constexpr int32_t ENGINE_VERSION = 100;

struct EngineDefinition {
    int32_t version = ENGINE_VERSION;
    std::string keyword;
    std::string page2Url;
    std::string page3Url;
    std::string queryTemplate;
    int32_t pageStep = 0;
    int32_t pageOffset = 0;
    KeywordEncoding keywordEncoding = KeywordEncoding::ShiftJis;
    std::string firstResultUrl;
    std::string tenthResultUrl;
    std::string startMarker;
    std::string endMarker;
    SystemTime learnedAt;
    std::vector<LinkRule> linkRules;

    friend bool operator==(const EngineDefinition&, const EngineDefinition&) = default;
};

// Back to the defaults: version 100, empty strings, zero numbers and time, no rules.
void resetDefinition(EngineDefinition& definition);

// An engine is learnt exactly when it has at least one rule; learnedAt alone does not count.
inline bool isLearnt(const EngineDefinition& definition) { return !definition.linkRules.empty(); }

}  // namespace vexor
