// Message boxes: what the shell logic says to the user, and the questions it asks. The Windows
// program shows boxes; vexor-cli prints lines; tests record them. Texts are code page 932.
#pragma once

#include <string>

namespace vexor {

enum class Icon { Warning, Information, Question };

// The window that owns a message box or a file dialog.
enum class Owner { MainWindow, EditDialog };

// A message as the shell words it, before any front end shows it.
struct Message {
    std::string text;
    Icon icon = Icon::Warning;

    friend bool operator==(const Message&, const Message&) = default;
};

class Messages {
public:
    virtual ~Messages() = default;
    // A box with an OK button and the caption "nuqランキング調査": the system's default caption
    // would read "エラー", also over a success.
    virtual void showMessage(Owner owner, const std::string& text, Icon icon) = 0;
    // A box with Yes and No and the caption "nuqランキング調査"; true only for Yes.
    virtual bool askYesNo(Owner owner, const std::string& text, Icon icon) = 0;

    void show(Owner owner, const Message& message) { showMessage(owner, message.text, message.icon); }
};

}  // namespace vexor
