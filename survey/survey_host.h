// What the program around a survey provides to opening and starting it: its user interface, the
// settings file that remembers the last survey file, and the window title's refresh.
#pragma once

#include <functional>
#include <string>

#include "app/ui.h"

namespace vexor {

struct SurveyHost {
    Ui& ui;
    std::string settingsFile;                  // full path of vexor.ini; [SEARCH] last goes there
    std::function<void()> updateWindowTitle;   // called once target is set; may be empty
};

}  // namespace vexor
