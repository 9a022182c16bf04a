#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <string_view>

#include "japanese.h"
#include "platform/text.h"

namespace vexor::cli {
namespace {

std::string utf8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

std::string cp932(std::u8string_view text) { return utf8ToCp932(utf8(text)).value(); }

const std::vector<std::string> LEARN_ARGS = {
    "learn",   "engine/nuq.eng", "--keyword", "abc",         "--page2", "http://e/find?q=abc&s=10",
    "--page3", "http://e/find?q=abc&s=20",    "--first",     "http://a/", "--tenth", "http://j/"};

template <typename T>
T as(const ParsedCommandLine& parsed) {
    EXPECT_TRUE(std::holds_alternative<T>(parsed)) << "variant index " << parsed.index();
    return std::holds_alternative<T>(parsed) ? std::get<T>(parsed) : T{};
}

TEST(CliCommandLine, LearnFillsTheSevenFieldsAsTyped) {
    auto args = LEARN_ARGS;
    args.insert(args.end(), {"--start-marker=<ol id=\"r\">", "--end-marker", "--></ol>"});
    const auto learn = as<LearnCommand>(parseCommandLine(args));
    EXPECT_EQ(learn.engineFile, "engine/nuq.eng");
    EXPECT_EQ(learn.fields.keyword, "abc");
    EXPECT_EQ(learn.fields.page2Url, "http://e/find?q=abc&s=10");
    EXPECT_EQ(learn.fields.page3Url, "http://e/find?q=abc&s=20");
    EXPECT_EQ(learn.fields.firstResultUrl, "http://a/");
    EXPECT_EQ(learn.fields.tenthResultUrl, "http://j/");
    // "=" inside a value after "--name=" stays; a value that begins with "-" is taken as given.
    EXPECT_EQ(learn.fields.startMarker, "<ol id=\"r\">");
    EXPECT_EQ(learn.fields.endMarker, "--></ol>");
}

TEST(CliCommandLine, LearnKeepsEmptyValuesForTheLearnCommandToJudge) {
    auto args = LEARN_ARGS;
    args[3] = "";  // --keyword ""
    const auto learn = as<LearnCommand>(parseCommandLine(args));
    EXPECT_EQ(learn.fields.keyword, "");
    EXPECT_EQ(learn.fields.startMarker, "");
    EXPECT_EQ(learn.fields.endMarker, "");
}

TEST(CliCommandLine, JapaneseArgumentsBecomeCodePage932) {
    auto args = LEARN_ARGS;
    args[1] = utf8(u8"engine/検索.eng");
    args[3] = utf8(u8"東京 ホテル");
    const auto learn = as<LearnCommand>(parseCommandLine(args));
    EXPECT_EQ(learn.engineFile, cp932(u8"engine/検索.eng"));
    EXPECT_EQ(learn.fields.keyword, "\x93\x8C\x8B\x9E \x83z\x83" "e\x83\x8B");

    const auto show = as<ShowCommand>(parseCommandLine({"show", utf8(u8"調査.txt")}));
    EXPECT_EQ(show.surveyFile, cp932(u8"調査.txt"));
}

TEST(CliCommandLine, AnArgumentWithoutACodePage932FormIsAnEncodingError) {
    auto args = LEARN_ARGS;
    args[3] = utf8(u8"caf\u00e9 \U0001F600");  // é has no code page 932 form, nor has the emoji
    EXPECT_EQ(as<EncodingError>(parseCommandLine(args)).argument, args[3]);

    EXPECT_EQ(as<EncodingError>(parseCommandLine({"survey", utf8(u8"\u00e9.txt")})).argument,
              utf8(u8"\u00e9.txt"));
    EXPECT_EQ(as<EncodingError>(parseCommandLine({"survey", "s.txt", "--engine",
                                                  utf8(u8"\u4E02.eng")}))
                  .argument,
              utf8(u8"\u4E02.eng"));  // a CJK character outside JIS
    // Bytes that are not UTF-8 at all (a Latin-1 file name) are refused the same way.
    EXPECT_EQ(as<EncodingError>(parseCommandLine({"show", "caf\xE9.txt"})).argument,
              "caf\xE9.txt");
}

TEST(CliCommandLine, APathWhoseCodePage932FormNamesAnotherFileIsRefused) {
    const std::string yen = utf8(u8"a\u00A5b.txt");  // would open a/b.txt
    const auto refused = parseCommandLine({"show", yen});
#ifndef _WIN32
    ASSERT_TRUE(std::holds_alternative<EncodingError>(refused));
    EXPECT_EQ(std::get<EncodingError>(refused).argument, yen);
    EXPECT_TRUE(std::get<EncodingError>(refused).pathChanges);
    // The wave dash comes back as the full-width tilde: another name.
    EXPECT_TRUE(as<EncodingError>(parseCommandLine({"survey", "s.txt", "--engine",
                                                    utf8(u8"\u301C.eng")}))
                    .pathChanges);
    EXPECT_TRUE(as<EncodingError>(parseCommandLine({"show", "s.txt", "--dir", yen})).pathChanges);
#else
    EXPECT_TRUE(std::holds_alternative<EncodingError>(refused));  // no code page 932 form at all
#endif
    // Backslashes are separators as slashes are, and Japanese names keep their meaning.
    EXPECT_EQ(as<ShowCommand>(parseCommandLine({"show", "sub\\s.txt"})).surveyFile, "sub\\s.txt");
    EXPECT_EQ(as<ShowCommand>(parseCommandLine({"show", utf8(u8"表示/ソフト.txt")})).surveyFile,
              testing::cp932(u8"表示/ソフト.txt"));
#ifndef _WIN32
    // Texts that are not paths may hold anything code page 932 takes.
    auto args = LEARN_ARGS;
    args[3] = yen;
    EXPECT_TRUE(std::holds_alternative<LearnCommand>(parseCommandLine(args)));
#endif
}

TEST(CliCommandLine, SurveyAndShowTakeTheirOptions) {
    const auto plain = as<SurveyCommand>(parseCommandLine({"survey", "s.txt"}));
    EXPECT_EQ(plain.surveyFile, "s.txt");
    EXPECT_FALSE(plain.engineFile.has_value());
    EXPECT_EQ(plain.format, OutputFormat::Table);

    const auto full = as<SurveyCommand>(
        parseCommandLine({"survey", "--format", "json", "s.txt", "--engine=engine/x.eng"}));
    EXPECT_EQ(full.engineFile, "engine/x.eng");
    EXPECT_EQ(full.format, OutputFormat::Json);

    EXPECT_EQ(as<ShowCommand>(parseCommandLine({"show", "s.txt", "--format=csv"})).format,
              OutputFormat::Csv);
    EXPECT_FALSE(plain.outputFile.has_value());
    EXPECT_EQ(as<SurveyCommand>(parseCommandLine({"survey", "s.txt", "-o", utf8(u8"順位.csv")})).outputFile,
              cp932(u8"順位.csv"));
    EXPECT_EQ(as<ShowCommand>(parseCommandLine({"show", "--all", "--format=csv", "s.txt", "--output=-"})).outputFile,
              "-");
    // After "--" a file may begin with "-".
    EXPECT_EQ(as<ShowCommand>(parseCommandLine({"show", "--", "-odd.txt"})).surveyFile,
              "-odd.txt");
}

TEST(CliCommandLine, ShowAllAndReportTakeTheirOptions) {
    const auto all = as<ShowCommand>(parseCommandLine({"show", "--all", "s.txt", "--format=json"}));
    EXPECT_TRUE(all.allRuns);
    EXPECT_EQ(all.format, OutputFormat::Json);
    EXPECT_FALSE(as<ShowCommand>(parseCommandLine({"show", "s.txt"})).allRuns);

    const auto plain = as<ReportCommand>(parseCommandLine({"report", "s.txt"}));
    EXPECT_EQ(plain.surveyFile, "s.txt");
    EXPECT_FALSE(plain.outputFile.has_value());
    EXPECT_FALSE(plain.folder.has_value());
    const auto full = as<ReportCommand>(
        parseCommandLine({"report", "--dir", "w", utf8(u8"調査.txt"), "-o", utf8(u8"順位.html")}));
    EXPECT_EQ(full.surveyFile, cp932(u8"調査.txt"));
    EXPECT_EQ(full.outputFile, cp932(u8"順位.html"));
    EXPECT_EQ(full.folder, "w");
    EXPECT_EQ(as<ReportCommand>(parseCommandLine({"report", "s.txt", "--output=-"})).outputFile, "-");
    EXPECT_TRUE(std::holds_alternative<HelpCommand>(parseCommandLine({"report", "--help"})));
}

TEST(CliCommandLine, WrongUsageIsRefusedWithTheProblemNamed) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "missing command"},
        {{"surveys", "s.txt"}, "unknown command surveys"},
        {{"survey"}, "missing SURVEY_FILE"},
        {{"survey", "a.txt", "b.txt"}, "unexpected argument b.txt"},
        {{"survey", "s.txt", "--format", "xml"}, "unknown format xml (table, csv or json)"},
        {{"survey", "s.txt", "--format"}, "option --format needs a value"},
        {{"survey", "s.txt", "--verbose"}, "unknown option --verbose"},
        {{"show", "s.txt", "--engine", "e.eng"}, "unknown option --engine"},
        {{"show", "s.txt", "--format", "csv", "--format=json"}, "option --format given twice"},
        {{"learn", "--keyword", "k"}, "missing ENGINE_FILE"},
        {{"show", "s.txt", "--all"}, "--all needs --format csv or --format json"},
        {{"show", "s.txt", "--all", "--all", "--format=csv"}, "option --all given twice"},
        {{"survey", "s.txt", "--all"}, "unknown option --all"},
        {{"report"}, "missing SURVEY_FILE"},
        {{"report", "s.txt", "-o"}, "option -o needs a value"},
        {{"report", "s.txt", "-o", "a", "--output", "b"}, "option --output given twice"},
        {{"show", "s.txt", "-o", "a", "--output", "b"}, "option --output given twice"},
        {{"survey", "s.txt", "-o"}, "option -o needs a value"},
        {{"report", "s.txt", "--format", "csv"}, "unknown option --format"},
        {{"--version", "x"}, "--version takes no arguments"},
    };
    for (const auto& [args, problem] : cases) {
        const auto parsed = parseCommandLine(args);
        ASSERT_TRUE(std::holds_alternative<UsageError>(parsed)) << problem;
        EXPECT_EQ(std::get<UsageError>(parsed).problem, problem);
    }
}

TEST(CliCommandLine, LearnNeedsEachOfItsFiveRequiredOptions) {
    for (const std::string option : {"--keyword", "--page2", "--page3", "--first", "--tenth"}) {
        std::vector<std::string> args;
        for (std::size_t i = 0; i < LEARN_ARGS.size(); ++i) {
            if (LEARN_ARGS[i] == option) {
                ++i;  // drop the option and its value
                continue;
            }
            args.push_back(LEARN_ARGS[i]);
        }
        const auto parsed = parseCommandLine(args);
        ASSERT_TRUE(std::holds_alternative<UsageError>(parsed)) << option;
        EXPECT_EQ(std::get<UsageError>(parsed).problem, "missing option " + option);
    }
}

TEST(CliCommandLine, HelpAndVersion) {
    EXPECT_TRUE(std::holds_alternative<HelpCommand>(parseCommandLine({"--help"})));
    EXPECT_TRUE(std::holds_alternative<HelpCommand>(parseCommandLine({"-h"})));
    EXPECT_TRUE(std::holds_alternative<HelpCommand>(parseCommandLine({"survey", "--help"})));
    EXPECT_TRUE(std::holds_alternative<VersionCommand>(parseCommandLine({"--version"})));
    // As an option's value or after "--", --help is text like any other.
    auto args = LEARN_ARGS;
    args[3] = "--help";
    EXPECT_EQ(as<LearnCommand>(parseCommandLine(args)).fields.keyword, "--help");
    EXPECT_EQ(as<ShowCommand>(parseCommandLine({"show", "--", "--help"})).surveyFile, "--help");
}

}  // namespace
}  // namespace vexor::cli
