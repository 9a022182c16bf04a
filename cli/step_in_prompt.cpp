// The terminal's question and its answer.
#include "cli/step_in_prompt.h"

#include "app/visible_text.h"
#include "cli/interrupt.h"

namespace vexor::cli {

StepIn stepInAnswerOf(const std::optional<std::string>& line, bool interrupted) {
    if (interrupted) return StepIn::StopSurvey;
    if (!line) return StepIn::GiveUp;
    const std::size_t first = line->find_first_not_of(" \t");
    const std::size_t last = line->find_last_not_of(" \t");
    const std::string word = first == std::string::npos ? std::string() : line->substr(first, last - first + 1);
    return word == "q" || word == "Q" ? StepIn::GiveUp : StepIn::Continue;
}

StepIn promptStepIn(const Console& console, const std::string& question) {
    console.err(visibleLines(question) + "\n> ");
    const std::optional<std::string> line = console.readLine();
    return stepInAnswerOf(line, interruptRequested());
}

}  // namespace vexor::cli
