// vexor-cli's messages and result list.
#include "cli/terminal_messages.h"

#include "app/visible_text.h"

namespace vexor::cli {

void TerminalMessages::showMessage(Owner, const std::string& text, Icon icon) {
    const std::string line = visibleLines(text) + "\n";
    if (icon == Icon::Information)
        console_.out(line);
    else
        console_.err(line);
}

bool TerminalMessages::askYesNo(Owner owner, const std::string& text, Icon icon) {
    showMessage(owner, text, icon);
    return false;
}

void TableList::setCell(int row, int column, const std::string& text) {
    if (column > 0) rows_.setCell(row, column, text);  // column 0 keeps its keyword
}

}  // namespace vexor::cli
