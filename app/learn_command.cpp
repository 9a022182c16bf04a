// The learn command: fields in, learning, one message, status label out.
#include "app/learn_command.h"

#include "app/fetch_failure_text.h"
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

const char* pageKindText(PageKind kind) {
    switch (kind) {
        case PageKind::Consent: return texts::TEXT_PAGE_CONSENT;
        case PageKind::Captcha: return texts::TEXT_PAGE_CAPTCHA;
        case PageKind::ScriptRequired: return texts::TEXT_PAGE_SCRIPT_REQUIRED;
        case PageKind::Results:
        case PageKind::NotResults: break;
    }
    return texts::TEXT_PAGE_NOT_RESULTS;
}

// The learning failure, then which sample page failed it and why. The page number is filled
// first: the words filled after it carry no "%".
Message pageFailure(const char* pattern, int page, const std::string& why) {
    return {std::string(texts::MSG_LEARN_FAILED) + "\n" + formatWithText(formatWithNumber(pattern, page).c_str(), why),
            Icon::Warning};
}

}  // namespace

Message learnMessage(const LearnResult& result) {
    switch (result.outcome) {
        case LearnOutcome::MissingField: return {texts::MSG_REQUIRED_MISSING, Icon::Warning};
        case LearnOutcome::BadAddress: return {texts::MSG_ADDRESS_FAILED, Icon::Warning};
        case LearnOutcome::NoRules: return {texts::MSG_LEARN_FAILED, Icon::Warning};
        case LearnOutcome::FetchFailed:
            return pageFailure(texts::FMT_LEARN_PAGE_NOT_FETCHED, result.page, fetchFailureText(result.fetch));
        case LearnOutcome::BlockPage:
            return pageFailure(texts::FMT_LEARN_BLOCK_PAGE, result.page, pageKindText(result.pageKind));
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
    if (result.outcome != LearnOutcome::MissingField && result.outcome != LearnOutcome::BadAddress)
        form.setEngineStatus(engineStatusText(current));
}

std::string engineStatusText(const EngineDefinition& definition) {
    if (!isLearnt(definition)) return texts::TEXT_NOT_LEARNT;
    // Date and time carry no "%", so filling the second placeholder after the first is safe.
    const std::string withDate = formatWithText(texts::FMT_LEARNT_AT, formatDate(definition.learnedAt));
    return formatWithText(withDate.c_str(), formatHourMinute(definition.learnedAt));
}

}  // namespace vexor
