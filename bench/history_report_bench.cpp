// The history report of a year of daily runs over a thousand keywords: 360 runs in the archive
// folder and five in files 0 to 4, every keyword recorded in every run (ranks wandering, some
// not found). Measured: reading every run, making the page from what was read, and the whole
// report command (both, with writing the file). The page's size is the "bytes" counter.
#include <benchmark/benchmark.h>

#include <string>

#include "app/history_report.h"
#include "app/report_command.h"
#include "app/report_data.h"
#include "platform/files.h"
#include "survey/history.h"
#include "survey/history_rotation.h"
#include "survey/site_history.h"
#include "temp_folder.h"

namespace {

using namespace vexor;

constexpr int KEYWORDS = 1000;
constexpr int RUNS = 365;

SystemTime dayOf(int run) {
    // Runs a day apart from 2023/01/01; months of 28 days keep the dates simple and valid.
    SystemTime at;
    at.year = static_cast<uint16_t>(2023 + run / 336);
    at.month = static_cast<uint16_t>(1 + (run % 336) / 28);
    at.day = static_cast<uint16_t>(1 + run % 28);
    at.hour = 6;
    return at;
}

std::string runContent(int run) {
    const SystemTime at = dayOf(run);
    std::string content = generationHeader(at, run < RUNS / 2 ? "old" : "nuq") + "\r\n";
    for (int k = 0; k < KEYWORDS; ++k) {
        // Mostly ranked, drifting by a few places a day; one keyword in eight not found.
        const int rank = (k % 8 == 7) ? 0 : 1 + (k * 37 + run * (k % 5 + 1)) % 100;
        content += historyRecord(at, "keyword " + std::to_string(k), rank);
    }
    return content;
}

// The site folder of the benchmark, written once.
class YearOfRuns {
public:
    YearOfRuns() {
        makeDirectory(folder_);
        const std::string archive = joinPath(folder_, ARCHIVE_FOLDER);
        makeDirectory(archive);
        for (int run = 0; run < RUNS - HISTORY_GENERATIONS; ++run)
            replaceFileContent(joinPath(archive, "run" + std::to_string(run) + ".txt"), runContent(run));
        for (int g = 0; g < HISTORY_GENERATIONS; ++g)
            replaceFileContent(historyFilePath(folder_, g), runContent(RUNS - 1 - g));
        state_.target = "www.bench.example";
        state_.historyDirectory = folder_;
        for (int k = 0; k < KEYWORDS; ++k) state_.keywords.push_back("keyword " + std::to_string(k));
    }

    const SurveyState& survey() const { return state_; }

private:
    testing::TempFolder scratch_;
    std::string folder_ = scratch_.file("site");
    SurveyState state_;
};

const YearOfRuns& yearOfRuns() {
    static const YearOfRuns year;
    return year;
}

constexpr SystemTime WRITTEN_AT{2024, 1, 1, 1, 12, 0, 0, 0};

void ReadEveryRun(benchmark::State& state) {
    const YearOfRuns& year = yearOfRuns();
    for (auto _ : state) {
        const SiteHistory history = readSiteHistory(year.survey().historyDirectory);
        if (history.runs.size() != RUNS) state.SkipWithError("runs missing");
        benchmark::DoNotOptimize(history);
    }
}

void MakeThePage(benchmark::State& state) {
    const YearOfRuns& year = yearOfRuns();
    const SiteHistory history = readSiteHistory(year.survey().historyDirectory);
    std::size_t size = 0;
    for (auto _ : state) {
        const std::string html =
            historyReportHtml(year.survey().target, reportData(history, year.survey().keywords), WRITTEN_AT);
        size = html.size();
        benchmark::DoNotOptimize(html);
    }
    state.counters["bytes"] = static_cast<double>(size);
}

void WholeReport(benchmark::State& state) {
    const YearOfRuns& year = yearOfRuns();
    const std::string path = reportPathOf(year.survey());
    for (auto _ : state)
        if (!replaceFileContent(path, surveyReportHtml(year.survey(), WRITTEN_AT)))
            state.SkipWithError("report not written");
    state.counters["bytes"] = static_cast<double>(readWholeFile(path).value_or("").size());
}

BENCHMARK(ReadEveryRun)->Unit(benchmark::kMillisecond);
BENCHMARK(MakeThePage)->Unit(benchmark::kMillisecond);
BENCHMARK(WholeReport)->Unit(benchmark::kMillisecond);

}  // namespace
