// The command line of vexor-cli: which command to run and with what. Arguments arrive in the
// user's encoding (UTF-8; the Windows entry point converts its wide arguments to UTF-8 first);
// every value the core will see is converted to code page 932 here, so that a value the core
// cannot hold is refused before anything runs.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "engine/engine_fields.h"

namespace vexor::cli {

enum class OutputFormat { Table, Csv, Json };

// --dir: the folder to work in instead of the current one (code page 932, as given).
using WorkFolder = std::optional<std::string>;

struct LearnCommand {
    std::string engineFile;  // code page 932
    EngineFields fields;     // code page 932, as typed
    WorkFolder folder;
};

// -o FILE (or --output FILE): where the table goes, code page 932; none or "-" is standard
// output.
using OutputFile = std::optional<std::string>;

struct SurveyCommand {
    std::string surveyFile;                 // code page 932
    std::optional<std::string> engineFile;  // --engine, code page 932
    OutputFormat format = OutputFormat::Table;
    WorkFolder folder;
    bool retryFailed = false;  // --retry-failed: only the keywords that failed in the current run
    OutputFile outputFile;
};

struct ShowCommand {
    std::string surveyFile;  // code page 932
    OutputFormat format = OutputFormat::Table;
    WorkFolder folder;
    bool allRuns = false;  // --all: every run in long form (csv or json only)
    OutputFile outputFile;
};

struct ReportCommand {
    std::string surveyFile;                 // code page 932
    OutputFile outputFile;
    WorkFolder folder;
};

struct HelpCommand {};
struct VersionCommand {};

// Wrong usage: what was wrong, for one line before the usage text (exit status 2).
struct UsageError {
    std::string problem;  // UTF-8
};

// An argument without a code page 932 form, or a path whose code page 932 form names another
// file (exit status 2).
struct EncodingError {
    std::string argument;  // UTF-8 as given (or the raw bytes when they were not UTF-8)
    bool pathChanges = false;
};

using ParsedCommandLine = std::variant<LearnCommand, SurveyCommand, ShowCommand, ReportCommand,
                                       HelpCommand, VersionCommand, UsageError, EncodingError>;

// args excludes the program name.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& args);

// The usage text, UTF-8, ending in a line feed.
std::string usageText();

}  // namespace vexor::cli
