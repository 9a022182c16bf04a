// Speed of result page parsing on a typical results page (about 100 KB) and on a page as large
// as the fetcher accepts (2.5 MB), with an engine whose first rule finds too many links and
// whose second rule applies, as learnt engines often have.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/page_links.h"

namespace {

// Scripts, styles, navigation and advertisement links around the result list, repeated until
// the page has the wanted size; the ten results sit in the middle.
std::string resultsPage(std::size_t size) {
    const std::string noise =
        "<div class=\"nav\"><a href=\"http://search.example/help\">help</a> "
        "<a href=\"http://ads.example/click?id=12345&amp;q=x\">sponsored</a></div>\r\n"
        "<script>var s = \"<a href='#'>\"; function f(a, b) { return a < b ? a : b; }</script>\r\n"
        "<style>.r { margin: 0 0 1em 0; } .r a { color: #1a0dab; }</style>\r\n"
        "<p>\x8C\x9F\x8D\xF5\x8C\x8B\x89\xCA text of a snippet with words and more words to read "
        "about the site, its pages and what they hold.</p>\r\n";
    std::string results = "<ol class=\"results\">\r\n";
    for (int i = 1; i <= 10; ++i)
        results += "<li class=\"r\"><a href=\"http://www.site" + std::to_string(i) +
                   ".example/path/page.html?id=" + std::to_string(i) +
                   "\">Result title</a><br>" + noise + "</li>\r\n";
    results += "</ol>\r\n";
    std::string page = "<html><head><title>results</title></head><body>\r\n";
    const std::size_t half = size > results.size() ? (size - results.size()) / 2 : 0;
    while (page.size() < half) page += noise;
    page += results;
    while (page.size() < size) page += noise;
    return page;
}

vexor::EngineDefinition learntEngine() {
    vexor::EngineDefinition engine;
    engine.startMarker = "<ol class=\"results\">";
    engine.endMarker = "</ol>";
    engine.linkRules = {{vexor::LinkSelection::ExactlyTen, 1, "<a href=\""},
                        {vexor::LinkSelection::ExactlyTen, 1, "<li class=\"r\"><a href=\""}};
    return engine;
}

void parse(benchmark::State& state, std::size_t size, vexor::EngineDefinition engine) {
    const std::string page = resultsPage(size);
    std::deque<std::string> links;
    for (auto _ : state) {
        links.clear();
        vexor::parseResultPage(page, engine, links);
        benchmark::DoNotOptimize(links);
    }
    if (links.size() != 10) state.SkipWithError("the page did not give ten links");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(page.size()));
}

void ParseTypicalPage(benchmark::State& state) { parse(state, 100 * 1024, learntEngine()); }

void ParseLargestPage(benchmark::State& state) { parse(state, 2549745, learntEngine()); }

// No markers: both rules search the whole page.
void ParseLargestPageWithoutMarkers(benchmark::State& state) {
    vexor::EngineDefinition engine = learntEngine();
    engine.startMarker.clear();
    engine.endMarker.clear();
    engine.linkRules.back().selection = vexor::LinkSelection::FirstTen;
    parse(state, 2549745, engine);
}

// The largest page of hostile markup read with a rule of result containers (readResultPage):
// containers without a link, and tags that never close.
void readHostile(benchmark::State& state, const std::string& unit) {
    vexor::EngineDefinition engine;
    engine.extendedRules = {{vexor::LinkSelection::EveryLink, "href=\"", "absolute", "", "li r"}};
    std::string page;
    while (page.size() < 2549745) page += unit;
    for (auto _ : state) benchmark::DoNotOptimize(vexor::readResultPage(page, engine, "http://search.example/s"));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}

void ReadContainersWithoutLinks(benchmark::State& state) { readHostile(state, "<li class=\"r\">x</li>"); }
void ReadTagsThatNeverClose(benchmark::State& state) { readHostile(state, "<li class=\"r\" "); }

}  // namespace

BENCHMARK(ReadContainersWithoutLinks)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadTagsThatNeverClose)->Unit(benchmark::kMillisecond);
BENCHMARK(ParseTypicalPage);
BENCHMARK(ParseLargestPage);
BENCHMARK(ParseLargestPageWithoutMarkers);
