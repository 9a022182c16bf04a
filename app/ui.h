// What the portable logic asks of a user interface. The Windows program implements it over
// Win32 windows; vexor-cli over its terminal; tests over a recording fake.
// All texts are code page 932.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vexor {

enum class Icon { Warning, Information, Question };

// The window that owns a message box or a file dialog.
enum class Owner { MainWindow, EditDialog };

// The seven sample-search fields of the engine edit dialog, in the dialog's pairing.
struct EngineFields {
    std::string keyword;         // control 1009
    std::string firstResultUrl;  // 1018
    std::string tenthResultUrl;  // 1019
    std::string page2Url;        // 1007
    std::string page3Url;        // 1008
    std::string startMarker;     // 1021
    std::string endMarker;       // 1022
};

class Ui {
public:
    virtual ~Ui() = default;

    // A box with an OK button and no caption of its own (the system's default caption).
    virtual void showMessage(Owner owner, const std::string& text, Icon icon) = 0;
    // A box with Yes and No and the caption "nuqランキング調査"; true only for Yes.
    virtual bool askYesNo(Owner owner, const std::string& text, Icon icon) = 0;

    // The result list (rows numbered from 0 in insertion order, columns 0 to 5).
    virtual void clearRows() = 0;
    // Inserts a row after the last one with keyword in column 0 and "-" in column 1.
    virtual void appendRow(const std::string& keyword) = 0;
    virtual void setCell(int row, int column, const std::string& text) = 0;
    virtual void setColumnCaption(int column, const std::string& text) = 0;

    virtual void setWindowTitle(const std::string& text) = 0;

    // The engine sub-menu: replaces its items by names, with ids 3000, 3001, ... in order.
    virtual void setEngineMenuItems(const std::vector<std::string>& names) = 0;
    // Puts the radio mark on the engine item with id and takes it from every other one.
    virtual void markEngineMenuItem(int id) = 0;

    // The common Open and Save As dialogs; nothing when the user cancels.
    // Open: the engine import dialog ("*.eng") or the survey file dialog ("*.txt").
    enum class FileKind { Engine, Survey };
    virtual std::optional<std::string> askOpenFile(Owner owner, FileKind kind,
                                                   const std::string& proposedPath) = 0;
    // Save As for a new engine file, starting in the folder "engine", asking before overwriting.
    virtual std::optional<std::string> askSaveEngineFile(Owner owner) = 0;

    // The engine edit dialog's fields and its status label (control 1013).
    virtual EngineFields readEngineFields() = 0;
    virtual void showEngineFields(const EngineFields& fields) = 0;
    virtual void setEngineStatus(const std::string& text) = 0;

    // Opens an address in the user's browser.
    virtual void openAddress(const std::string& address) = 0;
};

}  // namespace vexor
