// The end of the program's state.
#include "app/app_state.h"

#include "survey/survey_control.h"

namespace vexor {

AppState::~AppState() { abortSurvey(survey); }

RunFetchers fetchersForRun(const AppServices& services) {
    return services.runFetchers ? services.runFetchers() : RunFetchers{{}, services.fetch, {}};
}

}  // namespace vexor
