// The learn command: fields in, learning, one message, status label out.
#include "app/learn_command.h"

#include "app/fetch_failure_text.h"
#include "app/text_format.h"
#include "app/texts.h"
#include "engine/engine_fields.h"

namespace vexor {

namespace {

const char* rulesText(const LearnResult& result) {
    if (!result.extended) return texts::TEXT_RULES_PLAIN;
    if (result.selection == LinkSelection::EveryLink) return texts::TEXT_RULES_ALL_RESULTS;
    return texts::TEXT_RULES_TEN_OF_MORE;
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

const char* fieldName(SampleField field) {
    switch (field) {
        case SampleField::Keyword: return texts::FIELD_KEYWORD;
        case SampleField::FirstResultUrl: return texts::FIELD_FIRST_RESULT;
        case SampleField::TenthResultUrl: return texts::FIELD_TENTH_RESULT;
        case SampleField::Page2Url: return texts::FIELD_PAGE2;
        case SampleField::Page3Url: break;
    }
    return texts::FIELD_PAGE3;
}

Message missingFields(const std::vector<SampleField>& missing) {
    if (missing.empty()) return {texts::MSG_REQUIRED_MISSING, Icon::Warning};
    std::string names;
    for (const SampleField field : missing) {
        if (!names.empty()) names += texts::FIELD_SEPARATOR;
        names += fieldName(field);
    }
    return {std::string(texts::MSG_REQUIRED_MISSING) + "\n" + formatWithText(texts::FMT_FILL_IN_FIELDS, names),
            Icon::Warning};
}

// The address failure, what to check, then which comparison of the two page addresses failed.
Message addressFailure(QueryLearning step) {
    std::string why;
    switch (step) {
        case QueryLearning::KeywordNotInAddress: why = texts::TEXT_ADDRESS_NO_KEYWORD; break;
        case QueryLearning::AddressesAlike: why = texts::TEXT_ADDRESS_ALIKE; break;
        case QueryLearning::DifferAtStart: why = texts::TEXT_ADDRESS_DIFFER_AT_START; break;
        case QueryLearning::NoPageParameter: why = texts::TEXT_ADDRESS_NO_PAGE_NUMBER; break;
        case QueryLearning::RegionsOverlap: why = texts::TEXT_ADDRESS_OVERLAP; break;
        case QueryLearning::Learnt: return {texts::MSG_ADDRESS_FAILED, Icon::Warning};
    }
    return {std::string(texts::MSG_ADDRESS_FAILED) + "\n" + why, Icon::Warning};
}

const char* noRulePattern(NoRuleReason reason) {
    switch (reason) {
        case NoRuleReason::MarkersLeftNothing: return texts::FMT_LEARN_MARKERS_EMPTY;
        case NoRuleReason::FirstNotFound: return texts::FMT_LEARN_FIRST_NOT_FOUND;
        case NoRuleReason::TenthNotFound: return texts::FMT_LEARN_TENTH_NOT_FOUND;
        case NoRuleReason::NoCommonPrefix: return texts::FMT_LEARN_NO_COMMON_PREFIX;
        case NoRuleReason::MisreadsSamples:  // worded as a refusal
        case NoRuleReason::HoldsOnNoPage:
        case NoRuleReason::None: break;
    }
    return nullptr;
}

// The learning failure, then why what was given or found cannot be right.
Message refusal(const LearnResult& result) {
    std::string why;
    switch (result.refusal) {
        case Refusal::NoAddress: why = formatWithText(texts::FMT_LEARN_NO_ADDRESS, fieldName(result.sample)); break;
        case Refusal::SameResult: why = texts::TEXT_LEARN_SAME_RESULT; break;
        case Refusal::MisreadsSamples: why = texts::TEXT_LEARN_MISREADS_SAMPLES; break;
        case Refusal::HoldsOnNoPage: why = texts::TEXT_LEARN_HOLDS_ON_NO_PAGE; break;
        case Refusal::None: return {texts::MSG_LEARN_FAILED, Icon::Warning};
    }
    return {std::string(texts::MSG_LEARN_FAILED) + "\n" + why, Icon::Warning};
}

}  // namespace

Message learnMessage(const LearnResult& result) {
    switch (result.outcome) {
        case LearnOutcome::MissingField: return missingFields(result.missing);
        case LearnOutcome::BadAddress: return addressFailure(result.address);
        case LearnOutcome::NoRules: {
            const char* pattern = noRulePattern(result.noRule);
            if (pattern == nullptr) return {texts::MSG_LEARN_FAILED, Icon::Warning};
            return {std::string(texts::MSG_LEARN_FAILED) + "\n" + formatWithNumber(pattern, result.page), Icon::Warning};
        }
        case LearnOutcome::FetchFailed:
            return pageFailure(texts::FMT_LEARN_PAGE_NOT_FETCHED, result.page, fetchFailureText(result.fetch));
        case LearnOutcome::BlockPage:
            return pageFailure(texts::FMT_LEARN_BLOCK_PAGE, result.page, pageKindText(result.pageKind));
        case LearnOutcome::Refused: return refusal(result);
        case LearnOutcome::Learnt: break;
    }
    // The kind's words carry no "%", so filling the number after the text is safe.
    const std::string rules = formatWithNumber(formatWithText(texts::FMT_LEARNT_RULES, rulesText(result)).c_str(),
                                               result.pagesHeld);
    return {std::string(texts::MSG_LEARN_SUCCEEDED) + "\n" + rules, Icon::Information};
}

void learnDefinition(EngineDefinition& current, Messages& messages, EngineForm& form,
                     const PageFetcher& fetch, const Clock& clock) {
    const EngineFields before = engineFieldsOf(current);
    const LearnResult result = learnFromSample(current, form.readEngineFields(), fetch, clock);
    // Rules kept from other samples than the fields now hold would be saved under samples they
    // were never learnt from, with a status that calls them learnt; the same samples keep them
    // (a page that could not be fetched this time does not undo a good learning).
    const bool forgets = result.outcome != LearnOutcome::Learnt && isLearnt(current) && engineFieldsOf(current) != before;
    if (forgets) forgetLearning(current);
    messages.show(Owner::EditDialog, learnMessage(result));
    const bool ran = result.outcome != LearnOutcome::MissingField && result.outcome != LearnOutcome::BadAddress;
    if (ran || forgets) form.setEngineStatus(engineStatusText(current));
}

std::string engineStatusText(const EngineDefinition& definition) {
    if (!isLearnt(definition)) return texts::TEXT_NOT_LEARNT;
    // Date and time carry no "%", so filling the second placeholder after the first is safe.
    const std::string withDate = formatWithText(texts::FMT_LEARNT_AT, formatDate(definition.learnedAt));
    return formatWithText(withDate.c_str(), formatHourMinute(definition.learnedAt));
}

}  // namespace vexor
