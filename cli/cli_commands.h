// The commands of vexor-cli over the shared core. Each returns the exit status; every
// failure has been reported on the console by then.
#pragma once

#include "app/workspace.h"
#include "cli/command_line.h"
#include "cli/console.h"

namespace vexor::cli {

// Learns an engine from the sample search and writes it; the file is left as it was on any
// failure (learning or writing).
int runLearnCommand(const LearnCommand& command, const Workspace& workspace, const Console& console);

// Opens the survey file, starts the survey as the Windows program's start command does, runs
// it to the end (or to Ctrl-C) and prints the table.
int runSurveyCommand(const SurveyCommand& command, const Workspace& workspace,
                     const Console& console);

// Opens the survey file and prints its history without surveying: the last five runs, or with
// allRuns every run in long form.
int runShowCommand(const ShowCommand& command, const Workspace& workspace, const Console& console);

// Opens the survey file and writes the HTML report of every run of its history: into the
// history folder, to the output file, or to standard output for "-". Prints where it went.
int runReportCommand(const ReportCommand& command, const Workspace& workspace,
                     const Console& console);

}  // namespace vexor::cli
