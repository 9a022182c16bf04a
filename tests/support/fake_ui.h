// A user interface for tests, in all four roles: records every call and answers questions and
// file dialogs from queues the test fills. Single-threaded, like the real user-interface thread.
#pragma once

#include <array>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/engine_form.h"
#include "app/messages.h"
#include "app/result_list.h"
#include "app/result_list_model.h"
#include "app/window_chrome.h"

namespace vexor::testing {

struct ShownMessage {
    Owner owner;
    std::string text;
    Icon icon;
    bool question;  // a Yes/No box rather than an OK box
};

class FakeUi : public Messages, public ResultList, public WindowChrome, public EngineForm {
public:
    // What the test prepares.
    std::deque<bool> yesNoAnswers;  // empty: the answer is No
    std::deque<std::optional<std::string>> openFileAnswers;  // empty: cancelled
    std::deque<std::optional<std::string>> saveFileAnswers;  // empty: cancelled
    EngineFields fields;  // what the edit dialog's controls hold

    // What the test inspects.
    std::vector<ShownMessage> messages;
    std::vector<std::vector<std::string>> rows;  // six cells a row
    std::array<std::string, 6> captions;
    ResultListModel shown;  // the same calls, kept as the real list keeps them
    std::string windowTitle;
    std::vector<std::string> engineMenuItems;
    int markedEngineIndex = -1;
    std::vector<std::string> engineStatusHistory;  // every status text set, in order
    std::vector<std::string> openedAddresses;
    std::vector<std::string> proposedOpenPaths;
    std::vector<FileKind> openFileKinds;
    int saveDialogs = 0;
    std::vector<std::string> proposedCsvNames;  // of every CSV Save As dialog

    // Texts of all messages shown, in order.
    std::vector<std::string> messageTexts() const;
    const std::string& engineStatus() const;

    void showMessage(Owner owner, const std::string& text, Icon icon) override;
    bool askYesNo(Owner owner, const std::string& text, Icon icon) override;
    void clearRows() override;
    void appendRow(const std::string& keyword) override;
    void setCell(int row, int column, const std::string& text) override;
    void setColumnCaption(int column, const std::string& text) override;
    const ResultListModel& shownRows() const override { return shown; }
    void setWindowTitle(const std::string& text) override;
    void setEngineMenuItems(const std::vector<std::string>& names) override;
    void markEngineMenuItem(int index) override;
    std::optional<std::string> askOpenFile(Owner owner, FileKind kind,
                                           const std::string& proposedPath) override;
    std::optional<std::string> askSaveEngineFile(Owner owner) override;
    // Answers from saveFileAnswers too.
    std::optional<std::string> askSaveCsvFile(Owner owner, const std::string& proposedName) override;
    EngineFields readEngineFields() override;
    void showEngineFields(const EngineFields& shown) override;
    void setEngineStatus(const std::string& text) override;
    void openAddress(const std::string& address) override;
};

}  // namespace vexor::testing
