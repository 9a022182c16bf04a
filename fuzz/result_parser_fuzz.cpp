// Result page parsing on arbitrary pages and rules. The input starts with the engine's markers
// and rules, each text as a one-byte length and its bytes; the rest is the page:
//   start marker, end marker, rule count (0-3), per rule: selection, stride (signed), prefix.
// Besides the sanitizers' checks: the parser gives ten links or none, and every link is a run
// of page bytes without a delimiter.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>

#include "engine/byte_source.h"
#include "engine/result_parser.h"

namespace {

std::string text(vexor::ByteSource& in) { return std::string(in.take(in.u8())); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    vexor::ByteSource in(input);
    vexor::EngineDefinition engine;
    engine.startMarker = text(in);
    engine.endMarker = text(in);
    const int rules = in.u8() % 4;
    for (int i = 0; i < rules; ++i) {
        vexor::LinkRule rule;
        rule.selection = static_cast<vexor::LinkSelection>(in.u8() % 4);
        rule.stride = static_cast<int8_t>(in.u8());
        rule.prefix = text(in);
        engine.linkRules.push_back(rule);
    }
    if (in.failed()) return 0;
    const std::string page(input.substr(input.size() - in.remaining()));

    const std::string_view region = vexor::cutToMarkers(page, engine.startMarker, engine.endMarker);
    if (region.data() < page.data() || region.data() + region.size() > page.data() + page.size())
        __builtin_trap();

    std::deque<std::string> links;
    vexor::parseResultPage(page, engine, links);
    if (!links.empty() && links.size() != 10) __builtin_trap();
    for (const std::string& link : links) {
        if (page.find(link) == std::string::npos) __builtin_trap();
        if (link.find_first_of(std::string_view(vexor::LINK_DELIMITERS)) != std::string::npos)
            __builtin_trap();
    }
    return 0;
}
