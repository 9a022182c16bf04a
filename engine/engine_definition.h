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

// Which of the links a rule's walk yields are the page's results (selectResults in rule_walk.h);
// learners also tell by it how a rule fits the samples. Stored as one byte. EveryLink, for
// engines whose pages hold fewer or more than ten results, stands only in extended rules.
enum class LinkSelection : uint8_t { ExactlyTen = 0, FirstTen = 1, LastTen = 2, EveryLink = 3 };

struct LinkRule {
    LinkSelection selection = LinkSelection::ExactlyTen;
    int32_t stride = 1;
    std::string prefix;

    friend bool operator==(const LinkRule&, const LinkRule&) = default;
};

// The two stored shapes of a rule; rule.h reads both as the one Rule.
// A rule of the extended learning: the links after the prefix's occurrences, only those of
// linkKind (every kind when empty), a link to the same address as the one before it counting
// once. EveryLink takes all of them (at least one), with ranks counted on from the pages before;
// the other selections take ten as a LinkRule does (stride 1). With a context, only the links
// whose markup before them is a variant of it count (isMarkupVariant in learn_variants.h), or
// that stand in the elements it opens but for one (isElementVariant in link_elements.h). With a
// container, the rule takes the first such link in each element of the container's name and
// classes (the name, a space, the classes with ids marked).
struct ExtendedLinkRule {
    LinkSelection selection = LinkSelection::EveryLink;
    std::string prefix;
    std::string linkKind;
    std::string context;
    std::string container{};

    friend bool operator==(const ExtendedLinkRule&, const ExtendedLinkRule&) = default;
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
    // When not empty, result pages are read with these instead of linkRules; linkRules then
    // hold their nearest plain form for programs that know only those.
    std::vector<ExtendedLinkRule> extendedRules;
    // Markup that every results page of this engine carries, whatever the keyword and the page
    // (learnt from the sample's pages 1 to 3); a page without most of it is not a results page.
    // Empty for an engine learnt without them.
    std::vector<std::string> resultsPageMarks;

    friend bool operator==(const EngineDefinition&, const EngineDefinition&) = default;
};

// Back to the defaults: version 100, empty strings, zero numbers and time, no rules.
void resetDefinition(EngineDefinition& definition);

// Drops what learning found from the sample pages (rules, marks, learnedAt); the sample
// fields and the query address stay. The engine is then not learnt.
void forgetLearning(EngineDefinition& definition);

// An engine is learnt exactly when it has at least one rule; learnedAt alone does not count.
inline bool isLearnt(const EngineDefinition& definition) { return !definition.linkRules.empty(); }

}  // namespace vexor
