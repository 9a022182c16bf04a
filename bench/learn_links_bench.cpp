// Link-rule learning on generated results pages: the fast search against the step-by-step one.
#include <benchmark/benchmark.h>

#include "engine/learn_links.h"
#include "literal_link_rules.h"
#include "sample_results_page.h"

namespace {

using vexor::testing::SampleResultsPage;

const SampleResultsPage& typicalPage() {
    static const SampleResultsPage page = vexor::testing::makeResultsPage(100 * 1024, 2, 11);
    return page;
}

// The largest page a fetch returns, the first result standing 20 times.
const SampleResultsPage& largestPage() {
    static const SampleResultsPage page = vexor::testing::makeResultsPage(2'500'000, 20, 12);
    return page;
}

template <typename Learn>
void run(benchmark::State& state, const SampleResultsPage& made, Learn learn) {
    std::size_t rules = 0;
    for (auto _ : state) {
        auto learnt = learn(made.page, made.results[0], made.results[9]);
        rules = learnt.size();
        benchmark::DoNotOptimize(learnt);
    }
    state.counters["rules"] = static_cast<double>(rules);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * made.page.size()));
}

void fastTypical(benchmark::State& state) { run(state, typicalPage(), vexor::findLinkRules); }
void literalTypical(benchmark::State& state) { run(state, typicalPage(), vexor::testing::literalLinkRules); }
void fastLargest(benchmark::State& state) { run(state, largestPage(), vexor::findLinkRules); }
void literalLargest(benchmark::State& state) { run(state, largestPage(), vexor::testing::literalLinkRules); }

BENCHMARK(fastTypical)->Unit(benchmark::kMillisecond);
BENCHMARK(literalTypical)->Unit(benchmark::kMillisecond);
BENCHMARK(fastLargest)->Unit(benchmark::kMillisecond);
BENCHMARK(literalLargest)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
