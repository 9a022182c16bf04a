// What vexor-cli has of the shell's user interface: message boxes become lines on the console
// (information on standard output, warnings on standard error), and the result list is kept in
// memory for printing at the end.
#pragma once

#include "app/messages.h"
#include "app/result_list.h"
#include "cli/console.h"
#include "cli/result_table.h"

namespace vexor::cli {

class TerminalMessages : public Messages {
public:
    explicit TerminalMessages(Console console) : console_(std::move(console)) {}

    void showMessage(Owner owner, const std::string& text, Icon icon) override;
    // No command of vexor-cli asks a question; a question that came anyway is printed and
    // answered No, the answer that changes nothing.
    bool askYesNo(Owner owner, const std::string& text, Icon icon) override;

private:
    Console console_;
};

// The result list as a table to print.
class TableList : public ResultList {
public:
    TableList();

    // The list as it stands (site and engine are left to the caller).
    const ResultTable& table() const { return table_; }

    void clearRows() override;
    void appendRow(const std::string& keyword) override;
    void setCell(int row, int column, const std::string& text) override;
    void setColumnCaption(int column, const std::string& text) override;

private:
    ResultTable table_;
};

}  // namespace vexor::cli
