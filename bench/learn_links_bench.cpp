// Link-rule learning: the plain search against the step-by-step one, the whole learning run on
// large pages with pages 2 and 3 checked, and hostile pages built to make the work grow with the
// square of the first sample's occurrences.
#include <benchmark/benchmark.h>

#include <atomic>
#include <string>

#include "engine/learn_links.h"
#include "engine/learn_plain.h"
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

// A whole learning run: result pages 1 to 3 served from memory, each about 1 MB with 100
// results; pages 2 and 3 hold other results. With plain links the plain rules hold on all
// three pages; with wrapped links the samples are the results' own addresses, which the page
// only carries percent-escaped in its redirect links, so the extended learning runs.
struct ThreePages {
    std::string pages[3];
    vexor::EngineDefinition engine;
};

ThreePages threePages(bool wrapped) {
    ThreePages made;
    SampleResultsPage first;
    for (uint32_t page = 0; page < 3; ++page) {
        SampleResultsPage made1 = vexor::testing::makeResultsPage(1'000'000, 3, 21 + page, 100, wrapped);
        if (page == 0) first = made1;
        made.pages[page] = std::move(made1.page);
    }
    made.engine.keyword = "abc";
    made.engine.queryTemplate = "http://search.example/s?q=%s&p=%d";
    made.engine.pageStep = 1;
    made.engine.pageOffset = 1;
    made.engine.firstResultUrl = first.results[0];
    made.engine.tenthResultUrl = first.results[9];
    return made;
}

void learnThreePages(benchmark::State& state, bool wrapped) {
    const ThreePages made = threePages(wrapped);
    const vexor::PageFetcher serve = [&](const std::string& address, std::string& body, const std::atomic<bool>&) {
        body = made.pages[address.back() - '1'];
        return vexor::FetchOutcome{};
    };
    vexor::LinkLearning learnt;
    for (auto _ : state) {
        vexor::EngineDefinition engine = made.engine;
        learnt = vexor::learnLinkRules(engine, serve);
        benchmark::DoNotOptimize(engine);
    }
    state.counters["learnt"] = learnt.learnt;
    state.counters["extended"] = learnt.extended;
    state.counters["pagesHeld"] = learnt.pagesHeld;
}

void learnThreePagesPlain(benchmark::State& state) { learnThreePages(state, false); }
void learnThreePagesExtended(benchmark::State& state) { learnThreePages(state, true); }

BENCHMARK(learnThreePagesPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(learnThreePagesExtended)->Unit(benchmark::kMillisecond);

// Hostile pages of the largest size, served as pages 1 to 3, each holding the short first
// sample tens of thousands of times. Each is learnt whole (learnLinkRules); the worst of them
// bounds how long a hostile engine can hold the user interface.
std::string repeatedUntil(std::size_t size, const std::string& (*unit)(std::size_t)) {
    std::string page;
    for (std::size_t i = 0; page.size() < size; ++i) page += unit(i);
    return page;
}

// Every occurrence of the sample behind a context of its own: a plain search that narrows one
// occurrence list per occurrence does as many passes over the list as there are occurrences.
const std::string& distinctContexts(std::size_t i) {
    static std::string unit;
    unit = "<a id=\"" + std::to_string(i * 7919 % 1000003) + "\" href=\"ab\">x</a>\n";
    return unit;
}

// One byte repeated: every prefix of every length occurs everywhere.
const std::string& oneByte(std::size_t) {
    static const std::string unit(64, 'a');
    return unit;
}

// The sample as a link behind the same markup everywhere, and a 10th sample found nowhere: the
// extended search walks every prefix length for every link of the first sample it tries.
const std::string& sameMarkup(std::size_t i) {
    static std::string unit;
    unit = "<li><a href=\"ab\">" + std::to_string(i % 10) + "</a></li>\n";
    return unit;
}

// The sample carried by redirects of 64 different paths behind the same markup: a link kind of
// its own for each, so every prefix is walked once per kind.
const std::string& manyKinds(std::size_t i) {
    static std::string unit;
    unit = "<li><a href=\"/r" + std::to_string(i % 64) + "?u=http://s.example/ab\">x</a></li>\n";
    return unit;
}

// The same short link everywhere, which is also the 10th sample: one result a page that every
// later check reads out of hundreds of thousands of links.
const std::string& tinyLinks(std::size_t) {
    static const std::string unit = "<a href=\"x\">x</a>\n";
    return unit;
}

// Redirect links of four kilobytes each that carry the sample escaped near their end.
const std::string& longLinks(std::size_t i) {
    static std::string unit;
    unit = "<a href=\"/l/?t=" + std::string(4000, static_cast<char>('a' + i % 26)) +
           "&amp;u=http%3A%2F%2Fs.example%2Fab\">x</a>\n";
    return unit;
}

// otherPages: pages 2 and 3 differ from page 1 (by a comment at their end), so that every rule
// found must be checked on them; else they are copies, which confirm nothing.
void learnHostile(benchmark::State& state, const std::string& (*unit)(std::size_t), const char* first,
                  const char* tenth, bool otherPages = false) {
    const std::string page = repeatedUntil(2'500'000, unit);
    const vexor::PageFetcher serve = [&](const std::string& address, std::string& body, const std::atomic<bool>&) {
        body = page;
        if (otherPages && address.back() != '1') body += "<!-- " + address + " -->";
        return vexor::FetchOutcome{};
    };
    vexor::EngineDefinition start;
    start.keyword = "abc";
    start.queryTemplate = "http://search.example/s?q=%s&p=%d";
    start.pageStep = 1;
    start.pageOffset = 1;
    start.firstResultUrl = first;
    start.tenthResultUrl = tenth;
    std::size_t rules = 0;
    for (auto _ : state) {
        vexor::EngineDefinition engine = start;
        vexor::learnLinkRules(engine, serve);
        rules = engine.linkRules.size();
    }
    state.counters["rules"] = static_cast<double>(rules);
}

void hostileDistinctContexts(benchmark::State& state) { learnHostile(state, distinctContexts, "ab", "cd"); }
void hostileOneByte(benchmark::State& state) { learnHostile(state, oneByte, "a", "b"); }
void hostileOneByteLearnt(benchmark::State& state) { learnHostile(state, oneByte, "a", "a"); }
void hostileSameMarkup(benchmark::State& state) { learnHostile(state, sameMarkup, "ab", "cd"); }
void hostileManyKinds(benchmark::State& state) {
    learnHostile(state, manyKinds, "http://s.example/ab", "http://s.example/zz");
}
void hostileTinyLinks(benchmark::State& state) { learnHostile(state, tinyLinks, "x", "x"); }
void hostileTinyLinksOtherPages(benchmark::State& state) { learnHostile(state, tinyLinks, "x", "x", true); }
void hostileOneByteLearntOtherPages(benchmark::State& state) { learnHostile(state, oneByte, "a", "a", true); }
void hostileLongLinks(benchmark::State& state) {
    learnHostile(state, longLinks, "http://s.example/ab", "http://s.example/ab");
}

BENCHMARK(hostileDistinctContexts)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(hostileOneByte)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(hostileOneByteLearnt)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(hostileSameMarkup)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(hostileManyKinds)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(hostileTinyLinks)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(hostileTinyLinksOtherPages)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(hostileOneByteLearntOtherPages)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(hostileLongLinks)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
