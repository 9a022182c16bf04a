// The box that asks a person to complete a consent or captcha page in the browser window
// (dialog 105), modal over the main window: 続行 fetches the page again, 中止 gives the keyword
// up, Esc (the survey's abort key) stops the survey and the close box gives the keyword up.
#pragma once

#include <windows.h>

#include <string>

#include "app/hand_off.h"

namespace vexor {

// Shows question (code page 932) until the person answers.
StepIn runStepInBox(HINSTANCE instance, HWND owner, const std::string& question);

}  // namespace vexor
