// The learn command: fields in, learning, one message, status label out.
#include "app/learn_command.h"

#include "app/text_format.h"
#include "app/texts.h"

namespace vexor {

namespace {

const char* rulesText(LearntRuleKind kind) {
    switch (kind) {
        case LearntRuleKind::AllResults: return texts::TEXT_RULES_ALL_RESULTS;
        case LearntRuleKind::TenOfMore: return texts::TEXT_RULES_TEN_OF_MORE;
        case LearntRuleKind::Plain: break;
    }
    return texts::TEXT_RULES_PLAIN;
}

}  // namespace

Message learnMessage(const LearnResult& result) {
    switch (result.outcome) {
        case LearnOutcome::MissingField: return {texts::MSG_REQUIRED_MISSING, Icon::Warning};
        case LearnOutcome::BadAddress: return {texts::MSG_ADDRESS_FAILED, Icon::Warning};
        case LearnOutcome::NoRules: return {texts::MSG_LEARN_FAILED, Icon::Warning};
        case LearnOutcome::Learnt: break;
    }
    // The kind's words carry no "%", so filling the number after the text is safe.
    const std::string rules = formatWithNumber(formatWithText(texts::FMT_LEARNT_RULES, rulesText(result.kind)).c_str(),
                                               result.pagesHeld);
    return {std::string(texts::MSG_LEARN_SUCCEEDED) + "\n" + rules, Icon::Information};
}

void learnDefinition(EngineDefinition& current, Messages& messages, EngineForm& form,
                     const PageFetcher& fetch, const Clock& clock) {
    const LearnResult result = learnFromSample(current, form.readEngineFields(), fetch, clock);
    messages.show(Owner::EditDialog, learnMessage(result));
    if (result.outcome == LearnOutcome::NoRules || result.outcome == LearnOutcome::Learnt)
        form.setEngineStatus(engineStatusText(current));
}

std::string engineStatusText(const EngineDefinition& definition) {
    if (!isLearnt(definition)) return texts::TEXT_NOT_LEARNT;
    // Date and time carry no "%", so filling the second placeholder after the first is safe.
    const std::string withDate = formatWithText(texts::FMT_LEARNT_AT, formatDate(definition.learnedAt));
    return formatWithText(withDate.c_str(), formatHourMinute(definition.learnedAt));
}

}  // namespace vexor
