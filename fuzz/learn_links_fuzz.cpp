// Learning link rules from hostile input: the first four lines are the 1st-result field, the
// 10th-result field, the start marker and the end marker; the rest holds result pages 1, 2 and
// 3, separated by form feeds (one page serves as all three). The fast plain and extended
// searches must agree with the step-by-step ones, and a learning run must leave rules that keep
// their promises and marks that every sample page carries, or the engine as it was.
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/learn_extended.h"
#include "engine/learn_links.h"
#include "engine/learn_plain.h"
#include "engine/learn_prefix_groups.h"
#include "engine/page_marks.h"
#include "engine/page_links.h"
#include "literal_link_rules.h"

namespace {

// The step-by-step searches scan the page for every sample occurrence (or link start) and
// prefix length; inputs that would make them slower than this many bytes scanned are skipped,
// and the extended one, which decodes every link it meets, runs on pages up to a kilobyte.
constexpr std::size_t SCAN_BUDGET = 20'000'000;
constexpr std::size_t EXTENDED_STEP_BY_STEP_LIMIT = 1024;
constexpr char PAGE_ADDRESS[] = "http://e.example/?q=abc&p=1";

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

void require(bool holds) {
    if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    vexor::EngineDefinition engine;
    engine.keyword = "abc";
    engine.queryTemplate = "http://e.example/?q=%s&p=%d";
    engine.pageStep = 1;
    engine.pageOffset = 1;
    engine.firstResultUrl = takeLine(input);
    engine.tenthResultUrl = takeLine(input);
    engine.startMarker = takeLine(input);
    engine.endMarker = takeLine(input);
    engine.linkRules = {{vexor::LinkSelection::LastTen, 7, "earlier"}};
    std::string pages[3];
    for (std::string& page : pages) {
        const std::size_t end = input.find('\f');
        page = input.substr(0, end);
        if (end != std::string_view::npos) input.remove_prefix(end + 1);
    }
    const std::string& page = pages[0];
    const std::string_view cut = vexor::cutToMarkers(page, engine.startMarker, engine.endMarker);
    const std::string_view first = vexor::sampleOf(engine.firstResultUrl);
    const std::string_view tenth = vexor::sampleOf(engine.tenthResultUrl);
    const bool small = occurrences(page, first) * page.size() * 97 <= SCAN_BUDGET;

    // The plain search.
    if (small) {
        const auto expected = vexor::testing::literalLearnedRules(page, engine.startMarker, engine.endMarker,
                                                                  engine.firstResultUrl, engine.tenthResultUrl);
        require(vexor::findLinkRules(cut, first, tenth) == expected);
    }

    // The extended search: every link start is tried in the step-by-step one.
    const vexor::PageAddress address = vexor::pageAddressOf(PAGE_ADDRESS);
    const vexor::SampleForms firstForms = vexor::sampleFormsOf(first, address);
    const vexor::SampleForms tenthForms = vexor::sampleFormsOf(tenth, address);
    const vexor::ExtendedSearch search = vexor::findExtendedRules(cut, address, firstForms, tenthForms);
    if (!search.exhausted && cut.size() <= EXTENDED_STEP_BY_STEP_LIMIT)
        require(search.options == vexor::testing::literalExtendedRules(cut, address, firstForms, tenthForms));

    // A whole run.
    const vexor::EngineDefinition before = engine;
    const vexor::LinkLearning learnt = vexor::learnLinkRules(
        engine, [&](const std::string& at, std::string& body, const std::atomic<bool>&) {
            body = pages[static_cast<std::size_t>(at.back() - '1') % 3];
            return vexor::FetchOutcome{};
        });
    if (!learnt.learnt) {
        require(engine == before);
        return 0;
    }
    require(!engine.linkRules.empty() && engine.linkRules.size() <= vexor::MOST_RULES);
    require(learnt.pagesHeld >= 0 && learnt.pagesHeld <= 3);
    for (const auto& rule : engine.linkRules)
        require(rule.prefix.size() >= vexor::SHORTEST_PREFIX && rule.prefix.size() <= vexor::LONGEST_PREFIX &&
                rule.stride >= 1);
    if (!learnt.extended) {
        require(engine.extendedRules.empty());
    } else {
        // One extended rule, perhaps rules for pages it finds no link on after it, the plain form
        // of the first before, and pages it holds on.
        require(!engine.extendedRules.empty() && engine.extendedRules.size() <= 3 && engine.linkRules.size() == 1 &&
                learnt.pagesHeld >= 1);
        require(engine.linkRules[0].prefix == engine.extendedRules[0].prefix);
        require(learnt.selection == engine.extendedRules[0].selection);
    }
    // The marks stand in every sample page, within their bounds.
    require(engine.resultsPageMarks.size() <= vexor::MOST_PAGE_MARKS);
    for (const auto& mark : engine.resultsPageMarks) {
        require(!mark.empty() && mark.size() <= vexor::LONGEST_PAGE_MARK);
        for (const std::string& sample : pages) require(sample.find(mark) != std::string::npos);
    }
    vexor::EngineDefinition rest = engine;
    rest.linkRules = before.linkRules;
    rest.extendedRules = before.extendedRules;
    rest.resultsPageMarks = before.resultsPageMarks;
    require(rest == before);
    return 0;
}
