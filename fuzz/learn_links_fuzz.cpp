// Learning link rules from hostile input: the first four lines are the 1st-result field, the
// 10th-result field, the start marker and the end marker; the rest is the fetched page. The
// fast search must agree with the step-by-step one, and a failure must leave the engine alone.
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/learn_links.h"
#include "literal_link_rules.h"

namespace {

// The step-by-step search scans the page up to 97 times for every occurrence of the first
// sample; inputs that would make it slower than this many bytes scanned are skipped.
constexpr std::size_t SCAN_BUDGET = 20'000'000;

std::size_t occurrences(std::string_view text, std::string_view sample) {
    std::size_t count = 0;
    if (sample.empty()) return count;
    for (std::size_t p = text.find(sample); p != std::string_view::npos; p = text.find(sample, p + sample.size()))
        ++count;
    return count;
}

std::string_view takeLine(std::string_view& input) {
    const std::size_t end = input.find('\n');
    const std::string_view line = input.substr(0, end);
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    vexor::EngineDefinition engine;
    engine.keyword = "abc";
    engine.queryTemplate = "http://e.example/?q=%s&p=%d";
    engine.firstResultUrl = takeLine(input);
    engine.tenthResultUrl = takeLine(input);
    engine.startMarker = takeLine(input);
    engine.endMarker = takeLine(input);
    engine.linkRules = {{vexor::LinkSelection::LastTen, 7, "earlier"}};
    const std::string page(input);
    if (occurrences(page, vexor::sampleOf(engine.firstResultUrl)) * page.size() * 97 > SCAN_BUDGET) return -1;

    const auto expected = vexor::testing::literalLearnedRules(page, engine.startMarker, engine.endMarker,
                                                              engine.firstResultUrl, engine.tenthResultUrl);
    const vexor::EngineDefinition before = engine;
    const bool learnt = vexor::learnLinkRules(
        engine, [&](const std::string&, std::string& body, const std::atomic<bool>&) {
            body = page;
            return vexor::FetchOutcome{};
        });
    if (learnt != !expected.empty()) std::abort();
    if (learnt ? engine.linkRules != expected : !(engine == before)) std::abort();
    for (const auto& rule : learnt ? engine.linkRules : std::vector<vexor::LinkRule>{}) {
        if (rule.prefix.size() < vexor::SHORTEST_PREFIX || rule.prefix.size() > vexor::LONGEST_PREFIX ||
            rule.stride < 1)
            std::abort();
    }
    return 0;
}
