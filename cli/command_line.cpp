// Parsing of the vexor-cli command line.
#include "cli/command_line.h"

#include <algorithm>
#include <map>
#include <set>

#include "platform/text.h"

namespace vexor::cli {
namespace {

// One command's arguments as given (UTF-8): options by name, flags, and the positional file.
struct RawArguments {
    std::map<std::string, std::string> options;
    std::set<std::string> flags;
    std::vector<std::string> positionals;
    bool help = false;
};

// Splits "--name value", "--name=value", flags (options without a value), "--help" and
// positionals; "--" ends the options. Returns a problem text, or nothing when the arguments
// are well formed.
std::optional<std::string> splitArguments(const std::vector<std::string>& args,
                                          const std::vector<std::string>& known,
                                          RawArguments& raw,
                                          const std::vector<std::string>& knownFlags = {}) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            raw.positionals.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            raw.help = true;
            continue;
        }
        if (std::find(knownFlags.begin(), knownFlags.end(), arg) != knownFlags.end()) {
            if (!raw.flags.insert(arg).second) return "option " + arg + " given twice";
            continue;
        }
        std::string name = arg;
        std::optional<std::string> value;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        bool isKnown = false;
        for (const auto& k : known) isKnown = isKnown || k == name;
        if (!isKnown) return "unknown option " + name;
        if (!value) {
            if (i + 1 >= args.size()) return "option " + name + " needs a value";
            value = args[++i];  // taken verbatim, even when it begins with "-"
        }
        if (!raw.options.emplace(name, *value).second) return "option " + name + " given twice";
    }
    return std::nullopt;
}

// utf8 with its "\" written as "/": the name a path names on the file system.
std::string withSlashes(std::string utf8) {
    std::replace(utf8.begin(), utf8.end(), '\\', '/');
    return utf8;
}

// Converts arguments; remembers the first one that has no code page 932 form, or (for a path)
// whose code page 932 form names another file.
class Converter {
public:
    std::string operator()(const std::string& utf8) {
        auto converted = utf8ToCp932(utf8);
        if (converted) return *converted;
        if (!failed_) failed_ = EncodingError{utf8, false};
        return {};
    }
    // A path is used as its code page 932 form, which "¥" (0x5C there, the separator) or a
    // character of two Unicode forms would turn into the name of another file.
    std::string path(const std::string& utf8) {
        std::string converted = (*this)(utf8);
        if (!failed_ && withSlashes(cp932ToUtf8(converted)) != withSlashes(utf8))
            failed_ = EncodingError{utf8, true};
        return converted;
    }
    const std::optional<EncodingError>& failed() const { return failed_; }

private:
    std::optional<EncodingError> failed_;
};

std::optional<OutputFormat> formatNamed(const std::string& name) {
    if (name == "table") return OutputFormat::Table;
    if (name == "csv") return OutputFormat::Csv;
    if (name == "json") return OutputFormat::Json;
    return std::nullopt;
}

// The one positional argument a command takes: its file.
std::optional<std::string> singleFile(const RawArguments& raw, const char* what,
                                      std::string& problem) {
    if (raw.positionals.size() == 1) return raw.positionals.front();
    problem = raw.positionals.empty() ? std::string("missing ") + what
                                      : "unexpected argument " + raw.positionals[1];
    return std::nullopt;
}

// -o or --output, given once.
std::optional<std::string> outputProblem(const RawArguments& raw) {
    if (raw.options.count("-o") && raw.options.count("--output")) return "option --output given twice";
    return std::nullopt;
}

OutputFile outputFile(const RawArguments& raw, Converter& convert) {
    for (const char* name : {"-o", "--output"})
        if (const auto it = raw.options.find(name); it != raw.options.end()) return convert(it->second);
    return std::nullopt;
}

WorkFolder workFolder(const RawArguments& raw, Converter& convert) {
    const auto it = raw.options.find("--dir");
    if (it == raw.options.end()) return std::nullopt;
    return convert.path(it->second);
}

ParsedCommandLine parseLearn(const std::vector<std::string>& args) {
    static const std::vector<std::string> required = {"--keyword", "--page2", "--page3",
                                                      "--first", "--tenth"};
    std::vector<std::string> known = required;
    known.insert(known.end(), {"--start-marker", "--end-marker", "--dir"});
    RawArguments raw;
    if (auto problem = splitArguments(args, known, raw)) return UsageError{*problem};
    if (raw.help) return HelpCommand{};
    std::string problem;
    const auto file = singleFile(raw, "ENGINE_FILE", problem);
    if (!file) return UsageError{problem};
    for (const auto& name : required)
        if (!raw.options.count(name)) return UsageError{"missing option " + name};

    Converter convert;
    LearnCommand learn;
    learn.engineFile = convert.path(*file);
    learn.fields.keyword = convert(raw.options["--keyword"]);
    learn.fields.page2Url = convert(raw.options["--page2"]);
    learn.fields.page3Url = convert(raw.options["--page3"]);
    learn.fields.firstResultUrl = convert(raw.options["--first"]);
    learn.fields.tenthResultUrl = convert(raw.options["--tenth"]);
    learn.fields.startMarker = convert(raw.options["--start-marker"]);
    learn.fields.endMarker = convert(raw.options["--end-marker"]);
    learn.folder = workFolder(raw, convert);
    if (convert.failed()) return *convert.failed();
    return learn;
}

ParsedCommandLine parseSurveyOrShow(const std::vector<std::string>& args, bool survey) {
    std::vector<std::string> known = {"--format", "--dir", "-o", "--output"};
    if (survey) known.push_back("--engine");
    std::vector<std::string> flags;
    flags.push_back(survey ? "--retry-failed" : "--all");
    RawArguments raw;
    if (auto problem = splitArguments(args, known, raw, flags)) return UsageError{*problem};
    if (raw.help) return HelpCommand{};
    std::string problem;
    const auto file = singleFile(raw, "SURVEY_FILE", problem);
    if (!file) return UsageError{problem};
    if (auto twice = outputProblem(raw)) return UsageError{*twice};
    OutputFormat format = OutputFormat::Table;
    if (const auto it = raw.options.find("--format"); it != raw.options.end()) {
        const auto named = formatNamed(it->second);
        if (!named) return UsageError{"unknown format " + it->second + " (table, csv or json)"};
        format = *named;
    }
    const bool allRuns = raw.flags.count("--all") > 0;
    if (allRuns && format == OutputFormat::Table)
        return UsageError{"--all needs --format csv or --format json"};

    Converter convert;
    const std::string surveyFile = convert.path(*file);
    std::optional<std::string> engineFile;
    if (const auto it = raw.options.find("--engine"); it != raw.options.end())
        engineFile = convert.path(it->second);
    const WorkFolder folder = workFolder(raw, convert);
    const OutputFile output = outputFile(raw, convert);
    if (convert.failed()) return *convert.failed();
    if (survey)
        return SurveyCommand{surveyFile, engineFile, format, folder, raw.flags.count("--retry-failed") > 0, output};
    return ShowCommand{surveyFile, format, folder, allRuns, output};
}

ParsedCommandLine parseReport(const std::vector<std::string>& args) {
    RawArguments raw;
    if (auto problem = splitArguments(args, {"-o", "--output", "--dir"}, raw))
        return UsageError{*problem};
    if (raw.help) return HelpCommand{};
    std::string problem;
    const auto file = singleFile(raw, "SURVEY_FILE", problem);
    if (!file) return UsageError{problem};
    if (auto twice = outputProblem(raw)) return UsageError{*twice};

    Converter convert;
    ReportCommand report;
    report.surveyFile = convert(*file);
    report.outputFile = outputFile(raw, convert);
    report.folder = workFolder(raw, convert);
    if (convert.failed()) return EncodingError{*convert.failed()};
    return report;
}

}  // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& args) {
    if (args.empty()) return UsageError{"missing command"};
    const std::string& command = args.front();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h") return HelpCommand{};
    if (command == "--version") {
        if (!rest.empty()) return UsageError{"--version takes no arguments"};
        return VersionCommand{};
    }
    if (command != "learn" && command != "survey" && command != "show" && command != "report")
        return UsageError{"unknown command " + command};
    if (command == "learn") return parseLearn(rest);
    if (command == "report") return parseReport(rest);
    return parseSurveyOrShow(rest, command == "survey");
}

std::string usageText() {
    return "usage:\n"
           "  vexor-cli learn ENGINE_FILE --keyword K --page2 URL --page3 URL --first TEXT\n"
           "                  --tenth TEXT [--start-marker TEXT] [--end-marker TEXT] [--dir DIR]\n"
           "  vexor-cli survey SURVEY_FILE [--engine ENGINE_FILE] [--format table|csv|json]\n"
           "                  [--retry-failed] [-o FILE] [--dir DIR]\n"
           "  vexor-cli show SURVEY_FILE [--format table|csv|json] [-o FILE] [--dir DIR]\n"
           "  vexor-cli show SURVEY_FILE --all --format csv|json [-o FILE] [--dir DIR]\n"
           "  vexor-cli report SURVEY_FILE [-o FILE] [--dir DIR]\n"
           "  vexor-cli --help | --version\n"
           "\n"
           "learn   learns an engine from one sample search and writes ENGINE_FILE.\n"
           "        --first and --tenth are the 1st and the 10th result of page 1 (a link as the\n"
           "        page writes it, as a browser copies it, or the result's own address); when\n"
           "        page 1 holds fewer than ten results, --tenth is its last result.\n"
           "survey  surveys the ranks of SURVEY_FILE's site and prints the last five runs.\n"
           "        The engine is --engine, else [ENGINE] last of vexor.ini, else engine/nuq.eng.\n"
           "        A keyword whose results could not be read is \"failed\", never \"not ranked\";\n"
           "        --retry-failed surveys only the keywords that failed in the current run.\n"
           "show    prints the last five runs without surveying; with --all every run the\n"
           "        history keeps, one line per keyword and run (run, start, engine, keyword,\n"
           "        rank; rank 0 is not found, \"failed: CAUSE on page N\" a failure).\n"
           "        survey and show write the table to FILE with -o (\"-\" for standard output);\n"
           "        a CSV file starts with a UTF-8 byte-order mark for spreadsheets. In CSV a text\n"
           "        that starts like a formula (=, +, -, @) is prefixed with '.\n"
           "report  writes an HTML report of every run (charts of the ranks) into the site's\n"
           "        history folder, or to FILE with -o (\"-\" for standard output).\n"
           "\n"
           "engine/, vexor.ini and the history folders live in the current directory, or in\n"
           "DIR with --dir; relative file names are then taken from DIR as well.\n"
           "Options take their value as the next argument or after \"=\"; \"--\" ends the options.\n"
           "\n"
           "exit status: 0 done; 1 failed (message on stderr); 2 wrong usage or an argument\n"
           "that Shift_JIS (code page 932) cannot hold; 3 surveyed, but some keyword failed\n"
           "(a results page was refused, blocked, empty or could not be read; the warning\n"
           "says why); 4 stopped because the engine refused several keywords in a row (the\n"
           "next survey continues where it stopped); 130 interrupted.\n";
}

}  // namespace vexor::cli
