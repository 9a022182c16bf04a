// The learn command: fields in, learning, one message, status label out.
#include "app/learn_command.h"

#include "app/text_format.h"
#include "app/texts.h"

namespace vexor {

Message learnMessage(LearnOutcome outcome) {
    switch (outcome) {
        case LearnOutcome::MissingField: return {texts::MSG_REQUIRED_MISSING, Icon::Warning};
        case LearnOutcome::BadAddress: return {texts::MSG_ADDRESS_FAILED, Icon::Warning};
        case LearnOutcome::NoRules: return {texts::MSG_LEARN_FAILED, Icon::Warning};
        case LearnOutcome::Learnt: break;
    }
    return {texts::MSG_LEARN_SUCCEEDED, Icon::Information};
}

void learnDefinition(EngineDefinition& current, Messages& messages, EngineForm& form,
                     const PageFetcher& fetch, const Clock& clock) {
    const LearnOutcome outcome = learnFromSample(current, form.readEngineFields(), fetch, clock);
    messages.show(Owner::EditDialog, learnMessage(outcome));
    if (outcome == LearnOutcome::NoRules || outcome == LearnOutcome::Learnt)
        form.setEngineStatus(engineStatusText(current));
}

std::string engineStatusText(const EngineDefinition& definition) {
    if (!isLearnt(definition)) return texts::TEXT_NOT_LEARNT;
    // Date and time carry no "%", so filling the second placeholder after the first is safe.
    const std::string withDate = formatWithText(texts::FMT_LEARNT_AT, formatDate(definition.learnedAt));
    return formatWithText(withDate.c_str(), formatHourMinute(definition.learnedAt));
}

}  // namespace vexor
