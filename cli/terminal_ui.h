// The user interface of vexor-cli for the shared logic: message boxes become lines on the
// console (information on standard output, warnings on standard error), the result list is
// kept in memory for printing at the end, the edit dialog's fields come from the command line,
// and nothing else a window would do (menus, title, file dialogs, browser) happens.
#pragma once

#include <vector>

#include "app/ui.h"
#include "cli/console.h"
#include "cli/result_table.h"

namespace vexor::cli {

class TerminalUi : public Ui {
public:
    explicit TerminalUi(Console console, EngineFields fields = {});

    // The result list as it stands (site and engine are left to the caller).
    const ResultTable& table() const { return table_; }

    // While held, messages are kept back instead of printed: learning announces success before
    // the engine file is written, and the success must not be printed if the write then fails.
    void holdMessages();
    void printHeldMessages();
    void dropHeldMessages();
    // How many messages have been shown (held ones included).
    int messageCount() const { return messageCount_; }

    void showMessage(Owner owner, const std::string& text, Icon icon) override;
    bool askYesNo(Owner owner, const std::string& text, Icon icon) override;
    void clearRows() override;
    void appendRow(const std::string& keyword) override;
    void setCell(int row, int column, const std::string& text) override;
    void setColumnCaption(int column, const std::string& text) override;
    void setWindowTitle(const std::string& text) override;
    void setEngineMenuItems(const std::vector<std::string>& names) override;
    void markEngineMenuItem(int id) override;
    std::optional<std::string> askOpenFile(Owner owner, FileKind kind,
                                           const std::string& proposedPath) override;
    std::optional<std::string> askSaveEngineFile(Owner owner) override;
    EngineFields readEngineFields() override;
    void showEngineFields(const EngineFields& fields) override;
    void setEngineStatus(const std::string& text) override;
    void openAddress(const std::string& address) override;

private:
    struct Message {
        std::string text;
        Icon icon;
    };
    void print(const Message& message) const;

    Console console_;
    EngineFields fields_;
    ResultTable table_;
    bool holding_ = false;
    int messageCount_ = 0;
    std::vector<Message> held_;
};

}  // namespace vexor::cli
