// The stored rule shapes as the one rule.
#include "engine/rule.h"

namespace vexor {
namespace {

bool takesFirstOrLast(LinkSelection selection) {
    return selection == LinkSelection::FirstTen || selection == LinkSelection::LastTen;
}

}  // namespace

Rule ruleOf(const LinkRule& stored) {
    const LinkSelection selection = takesFirstOrLast(stored.selection) ? stored.selection : LinkSelection::ExactlyTen;
    return {stored.prefix, selection, stored.stride, false, "", ""};
}

Rule ruleOf(const ExtendedLinkRule& stored) {
    const bool known = takesFirstOrLast(stored.selection) || stored.selection == LinkSelection::EveryLink;
    return {stored.prefix, known ? stored.selection : LinkSelection::ExactlyTen, 1, true, stored.linkKind,
            stored.context, stored.container};
}

std::vector<Rule> readingRules(const EngineDefinition& engine) {
    std::vector<Rule> rules;
    if (engine.extendedRules.empty()) {
        for (const LinkRule& stored : engine.linkRules) rules.push_back(ruleOf(stored));
    } else {
        for (const ExtendedLinkRule& stored : engine.extendedRules) rules.push_back(ruleOf(stored));
    }
    return rules;
}

ExtendedLinkRule extendedFormOf(const Rule& rule) {
    return {rule.selection, rule.prefix, rule.linkKind, rule.context, rule.container};
}

LinkRule plainFormOf(const ExtendedLinkRule& rule) {
    const LinkSelection selection =
        rule.selection == LinkSelection::EveryLink ? LinkSelection::ExactlyTen : rule.selection;
    return {selection, 1, rule.prefix};
}

}  // namespace vexor
