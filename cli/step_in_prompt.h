// Asking the person at the terminal to complete a consent or captcha page in the browser window:
// Enter goes on, "q" gives the keyword up, Ctrl-C stops the survey.
#pragma once

#include <optional>
#include <string>

#include "app/hand_off.h"
#include "cli/console.h"

namespace vexor::cli {

// The answer a typed line gives: an empty or any other line goes on, "q" (or "Q", spaces
// around it allowed) gives up, the end of the input gives up, a read broken off by Ctrl-C
// (interrupted) stops the survey.
StepIn stepInAnswerOf(const std::optional<std::string>& line, bool interrupted);

// Prints the question (code page 932) on standard error and reads the answer from standard
// input.
StepIn promptStepIn(const Console& console, const std::string& question);

}  // namespace vexor::cli
