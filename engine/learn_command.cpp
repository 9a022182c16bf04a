// The learn command: fields in, two learning stages, one message, status label out.
#include "engine/learn_command.h"

#include "app/text_format.h"
#include "app/texts.h"
#include "engine/learn_links.h"
#include "engine/learn_query.h"

namespace vexor {

void learnDefinition(EngineDefinition& current, Ui& ui, const PageFetcher& fetch, const Clock& clock) {
    applyEngineFields(ui.readEngineFields(), current);
    if (current.keyword.empty() || current.page2Url.empty() || current.page3Url.empty() ||
        current.firstResultUrl.empty() || current.tenthResultUrl.empty()) {
        ui.showMessage(Owner::EditDialog, texts::MSG_REQUIRED_MISSING, Icon::Warning);
        return;
    }
    if (!learnQueryTemplate(current)) {
        ui.showMessage(Owner::EditDialog, texts::MSG_ADDRESS_FAILED, Icon::Warning);
        return;
    }
    // The time the run began, not when the (possibly slow) fetch returned.
    const SystemTime started = clock();
    if (learnLinkRules(current, fetch)) {
        current.learnedAt = started;
        ui.showMessage(Owner::EditDialog, texts::MSG_LEARN_SUCCEEDED, Icon::Information);
    } else {
        ui.showMessage(Owner::EditDialog, texts::MSG_LEARN_FAILED, Icon::Warning);
    }
    ui.setEngineStatus(engineStatusText(current));
}

std::string engineStatusText(const EngineDefinition& definition) {
    if (!isLearnt(definition)) return texts::TEXT_NOT_LEARNT;
    // Date and time carry no "%", so filling the second placeholder after the first is safe.
    const std::string withDate = formatWithText(texts::FMT_LEARNT_AT, formatDate(definition.learnedAt));
    return formatWithText(withDate.c_str(), formatHourMinute(definition.learnedAt));
}

}  // namespace vexor
