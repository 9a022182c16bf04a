// vexor-cli's messages and result list.
#include "cli/terminal_messages.h"

#include "app/texts.h"
#include "cli/terminal_text.h"

namespace vexor::cli {

void TerminalMessages::showMessage(Owner, const std::string& text, Icon icon) {
    const std::string line = terminalLines(text) + "\n";
    if (icon == Icon::Information)
        console_.out(line);
    else
        console_.err(line);
}

bool TerminalMessages::askYesNo(Owner owner, const std::string& text, Icon icon) {
    showMessage(owner, text, icon);
    return false;
}

TableList::TableList() {
    table_.captions = {texts::CAPTION_KEYWORD, texts::CAPTION_RANK,    texts::CAPTION_HISTORY,
                       texts::CAPTION_HISTORY, texts::CAPTION_HISTORY, texts::CAPTION_HISTORY};
}

void TableList::clearRows() { table_.rows.clear(); }

void TableList::appendRow(const std::string& keyword) {
    std::array<std::string, TABLE_COLUMNS> row;
    row[0] = keyword;
    row[1] = texts::TEXT_NOT_FOUND;
    table_.rows.push_back(row);
}

void TableList::setCell(int row, int column, const std::string& text) {
    if (row < 0 || static_cast<std::size_t>(row) >= table_.rows.size()) return;
    if (column < 1 || column >= TABLE_COLUMNS) return;  // column 0 keeps its keyword
    table_.rows[row][column] = text;
}

void TableList::setColumnCaption(int column, const std::string& text) {
    if (column >= 0 && column < TABLE_COLUMNS) table_.captions[column] = text;
}

}  // namespace vexor::cli
