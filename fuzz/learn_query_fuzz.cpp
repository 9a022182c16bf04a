// Learning the query address from hostile input: the first two lines are the sample addresses of
// result pages 2 and 3, the rest is the keyword. Whatever is learnt must be a template that the
// address builder reads with exactly one page and one keyword placeholder and no "%" of its own
// (every other "%" doubled), so that pages 1 to 3 get an address; a failure must leave the
// template and the page arithmetic as they were.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/learn_query.h"
#include "engine/query_address.h"

namespace {

std::string_view takeLine(std::string_view& input) {
    const std::size_t end = input.find('\n');
    const std::string_view line = input.substr(0, end);
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    return line;
}

// Whether every "%" of text is "%%", "%d" or "%s", with one "%d" and one "%s".
bool onlyPlaceholders(const std::string& text) {
    int numbers = 0;
    int keywords = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        if (i + 1 == text.size()) return false;
        const char kind = text[++i];
        if (kind == 'd') ++numbers;
        else if (kind == 's') ++keywords;
        else if (kind != '%') return false;
    }
    return numbers == 1 && keywords == 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    vexor::EngineDefinition engine;
    engine.page2Url = takeLine(input);
    engine.page3Url = takeLine(input);
    engine.keyword = input;
    engine.queryTemplate = "before";
    engine.pageStep = 7;
    engine.pageOffset = 3;
    if (!vexor::learnQueryTemplate(engine)) {
        if (engine.queryTemplate != "before" || engine.pageStep != 7 || engine.pageOffset != 3) std::abort();
        return 0;
    }
    if (!onlyPlaceholders(engine.queryTemplate)) std::abort();
    for (int page = 1; page <= 3; ++page)
        if (vexor::queryAddressOf(engine, engine.keyword, page).empty()) std::abort();
    return 0;
}
