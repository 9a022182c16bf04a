// Recording user interface for tests.
#include "fake_ui.h"

#include <stdexcept>

namespace vexor::testing {

std::vector<std::string> FakeUi::messageTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages) texts.push_back(m.text);
    return texts;
}

const std::string& FakeUi::engineStatus() const {
    static const std::string none;
    return engineStatusHistory.empty() ? none : engineStatusHistory.back();
}

void FakeUi::showMessage(Owner owner, const std::string& text, Icon icon) {
    messages.push_back({owner, text, icon, false});
}

bool FakeUi::askYesNo(Owner owner, const std::string& text, Icon icon) {
    messages.push_back({owner, text, icon, true});
    if (yesNoAnswers.empty()) return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

void FakeUi::clearRows() {
    rows.clear();
    shown.clear();
}

void FakeUi::appendRow(const std::string& keyword) {
    std::vector<std::string> row(6);
    row[0] = keyword;
    row[1] = "-";
    rows.push_back(row);
    shown.appendRow(keyword);
}

void FakeUi::setCell(int row, int column, const std::string& text) {
    // A cell outside the list is a fault of the caller; the real list view ignores it, tests
    // must not.
    if (row < 0 || row >= static_cast<int>(rows.size()) || column < 1 || column > 5)
        throw std::out_of_range("setCell outside the result list");
    rows[row][column] = text;
    shown.setCell(row, column, text);
}

void FakeUi::setColumnCaption(int column, const std::string& text) {
    if (column < 0 || column > 5) throw std::out_of_range("no such column");
    captions[column] = text;
    shown.setCaption(column, text);
}

void FakeUi::setWindowTitle(const std::string& text) { windowTitle = text; }

void FakeUi::setEngineMenuItems(const std::vector<std::string>& names) {
    engineMenuItems = names;
    markedEngineIndex = -1;
}

void FakeUi::markEngineMenuItem(int index) { markedEngineIndex = index; }

std::optional<std::string> FakeUi::askOpenFile(Owner, FileKind kind,
                                               const std::string& proposedPath) {
    openFileKinds.push_back(kind);
    proposedOpenPaths.push_back(proposedPath);
    if (openFileAnswers.empty()) return std::nullopt;
    auto answer = openFileAnswers.front();
    openFileAnswers.pop_front();
    return answer;
}

std::optional<std::string> FakeUi::askSaveCsvFile(Owner owner, const std::string& proposedName) {
    proposedCsvNames.push_back(proposedName);
    return askSaveEngineFile(owner);
}

std::optional<std::string> FakeUi::askSaveEngineFile(Owner) {
    ++saveDialogs;
    if (saveFileAnswers.empty()) return std::nullopt;
    auto answer = saveFileAnswers.front();
    saveFileAnswers.pop_front();
    return answer;
}

EngineFields FakeUi::readEngineFields() { return fields; }

void FakeUi::showEngineFields(const EngineFields& shown) { fields = shown; }

void FakeUi::setEngineStatus(const std::string& text) { engineStatusHistory.push_back(text); }

void FakeUi::openAddress(const std::string& address) { openedAddresses.push_back(address); }

}  // namespace vexor::testing
