// Results pages kept as data in tests/data/pages (its README says how): each page, read with the
// rules learnt from it, gives the result addresses kept beside it, in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/learn_links.h"
#include "engine/page_links.h"
#include "engine/target_match.h"

namespace vexor {
namespace {

namespace fs = std::filesystem;

const fs::path PAGES = VEXOR_TEST_PAGES;
const char PAGE_ADDRESS[] = "http://e.example/find?q=abc&start=0";

struct GoldenPage {
    std::string page;
    std::vector<std::string> results;  // the addresses a user sees, in page order
    std::string first;                 // the samples, by default the first and the last result
    std::string tenth;
    std::string startMarker;
    std::string endMarker;
};

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

GoldenPage goldenPage(const std::string& name) {
    GoldenPage golden;
    golden.page = bytesOf(PAGES / (name + ".html"));
    std::istringstream lines(bytesOf(PAGES / (name + ".links")));
    for (std::string line; std::getline(lines, line);) {
        const std::string value = line.substr(std::min(line.find(' '), line.size() - 1) + 1);
        if (line.empty() || line[0] == '#') continue;
        if (line.rfind("@first ", 0) == 0) golden.first = value;
        else if (line.rfind("@tenth ", 0) == 0) golden.tenth = value;
        else if (line.rfind("@start ", 0) == 0) golden.startMarker = value;
        else if (line.rfind("@end ", 0) == 0) golden.endMarker = value;
        else golden.results.push_back(line);
    }
    if (golden.first.empty() && !golden.results.empty()) golden.first = golden.results.front();
    if (golden.tenth.empty() && !golden.results.empty()) golden.tenth = golden.results.back();
    return golden;
}

std::vector<std::string> pageNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(PAGES))
        if (entry.path().extension() == ".html") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class GoldenPages : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenPages, ReadWithTheRulesLearntFromItGiveItsResults) {
    const GoldenPage golden = goldenPage(GetParam());
    ASSERT_FALSE(golden.page.empty());
    ASSERT_FALSE(golden.results.empty());
    EngineDefinition engine;
    engine.keyword = "abc";
    engine.page2Url = "http://e.example/find?q=abc&start=10";
    engine.page3Url = "http://e.example/find?q=abc&start=20";
    engine.queryTemplate = "http://e.example/find?q=%s&start=%d";
    engine.pageStep = 10;
    engine.firstResultUrl = golden.first;
    engine.tenthResultUrl = golden.tenth;
    engine.startMarker = golden.startMarker;
    engine.endMarker = golden.endMarker;
    // Every sample page is this page: the rules hold on page 1 alone.
    const PageFetcher samePage = [&](const std::string&, std::string& body, const std::atomic<bool>&) {
        body = golden.page;
        return FetchOutcome{};
    };
    ASSERT_TRUE(learnLinkRules(engine, samePage).learnt);
    std::vector<std::string> read;
    for (const std::string& link : readResultPage(golden.page, engine, PAGE_ADDRESS).links)
        read.push_back(resultAddress(link, PAGE_ADDRESS));
    EXPECT_EQ(read, golden.results);
}

INSTANTIATE_TEST_SUITE_P(Data, GoldenPages, ::testing::ValuesIn(pageNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
}  // namespace vexor
