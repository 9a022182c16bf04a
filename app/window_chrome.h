// What the main window has around its result list: the title, the engine sub-menu, the common
// file dialogs and the browser it can open. Only the Windows program (and the tests) have it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/messages.h"

namespace vexor {

class WindowChrome {
public:
    virtual ~WindowChrome() = default;

    virtual void setWindowTitle(const std::string& text) = 0;

    // The engine sub-menu: replaces its items by names, in order, without radio mark.
    virtual void setEngineMenuItems(const std::vector<std::string>& names) = 0;
    // Puts the radio mark on the item at index and takes it from every other one.
    virtual void markEngineMenuItem(int index) = 0;

    // The common Open and Save As dialogs; nothing when the user cancels.
    // Open: the engine import dialog ("*.eng") or the survey file dialog ("*.txt").
    enum class FileKind { Engine, Survey };
    virtual std::optional<std::string> askOpenFile(Owner owner, FileKind kind,
                                                   const std::string& proposedPath) = 0;
    // Save As for a new engine file, starting in the engine folder, asking before overwriting.
    virtual std::optional<std::string> askSaveEngineFile(Owner owner) = 0;
    // Save As for a CSV file ("*.csv"), proposing proposedName in the program's folder, asking
    // before overwriting.
    virtual std::optional<std::string> askSaveCsvFile(Owner owner, const std::string& proposedName) = 0;

    // Opens an address, or a file such as the report, with the shell's "open" verb (the
    // user's browser for a web page).
    virtual void openAddress(const std::string& address) = 0;
};

}  // namespace vexor
