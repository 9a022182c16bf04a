// The end of the program's state.
#include "app/app_state.h"

#include "survey/survey_control.h"

namespace vexor {

AppState::~AppState() { abortSurvey(survey); }

}  // namespace vexor
