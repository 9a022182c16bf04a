// What vexor-cli has of the shell's user interface: message boxes become lines on the console
// (information on standard output, warnings on standard error), and the result list is kept in
// memory for printing at the end.
#pragma once

#include "app/messages.h"
#include "app/result_list.h"
#include "app/result_list_model.h"
#include "cli/console.h"

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

// The result list kept in memory, to print at the end.
class TableList : public ResultList {
public:
    void clearRows() override { rows_.clear(); }
    void appendRow(const std::string& keyword) override { rows_.appendRow(keyword); }
    void setCell(int row, int column, const std::string& text) override;
    void setColumnCaption(int column, const std::string& text) override { rows_.setCaption(column, text); }
    const ResultListModel& shownRows() const override { return rows_; }

private:
    ResultListModel rows_;
};

}  // namespace vexor::cli
