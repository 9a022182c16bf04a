// vexor-cli's user interface over the console.
#include "cli/terminal_ui.h"

#include "app/texts.h"
#include "platform/text.h"

namespace vexor::cli {

TerminalUi::TerminalUi(Console console, EngineFields fields)
    : console_(std::move(console)), fields_(std::move(fields)) {
    table_.captions = {texts::CAPTION_KEYWORD, texts::CAPTION_RANK,    texts::CAPTION_HISTORY,
                       texts::CAPTION_HISTORY, texts::CAPTION_HISTORY, texts::CAPTION_HISTORY};
}

void TerminalUi::holdMessages() { holding_ = true; }

void TerminalUi::printHeldMessages() {
    holding_ = false;
    for (const auto& message : held_) print(message);
    held_.clear();
}

void TerminalUi::dropHeldMessages() {
    holding_ = false;
    held_.clear();
}

void TerminalUi::print(const Message& message) const {
    const std::string line = cp932ToUtf8(message.text) + "\n";
    if (message.icon == Icon::Information)
        console_.out(line);
    else
        console_.err(line);
}

void TerminalUi::showMessage(Owner, const std::string& text, Icon icon) {
    ++messageCount_;
    if (holding_)
        held_.push_back({text, icon});
    else
        print({text, icon});
}

// No command of vexor-cli asks a question; a question that came anyway is answered No, the
// answer that changes nothing.
bool TerminalUi::askYesNo(Owner owner, const std::string& text, Icon icon) {
    showMessage(owner, text, icon);
    return false;
}

void TerminalUi::clearRows() { table_.rows.clear(); }

void TerminalUi::appendRow(const std::string& keyword) {
    std::array<std::string, TABLE_COLUMNS> row;
    row[0] = keyword;
    row[1] = texts::TEXT_NOT_FOUND;
    table_.rows.push_back(row);
}

void TerminalUi::setCell(int row, int column, const std::string& text) {
    if (row < 0 || static_cast<std::size_t>(row) >= table_.rows.size()) return;
    if (column < 1 || column >= TABLE_COLUMNS) return;  // column 0 keeps its keyword
    table_.rows[row][column] = text;
}

void TerminalUi::setColumnCaption(int column, const std::string& text) {
    if (column >= 0 && column < TABLE_COLUMNS) table_.captions[column] = text;
}

void TerminalUi::setWindowTitle(const std::string&) {}
void TerminalUi::setEngineMenuItems(const std::vector<std::string>&) {}
void TerminalUi::markEngineMenuItem(int) {}

std::optional<std::string> TerminalUi::askOpenFile(Owner, FileKind, const std::string&) {
    return std::nullopt;
}

std::optional<std::string> TerminalUi::askSaveEngineFile(Owner) { return std::nullopt; }

EngineFields TerminalUi::readEngineFields() { return fields_; }
void TerminalUi::showEngineFields(const EngineFields& fields) { fields_ = fields; }
void TerminalUi::setEngineStatus(const std::string&) {}
void TerminalUi::openAddress(const std::string&) {}

}  // namespace vexor::cli
