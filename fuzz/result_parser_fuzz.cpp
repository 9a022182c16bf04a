// Result page parsing on arbitrary pages and rules. The input starts with the engine's markers
// and rules, each text as a one-byte length and its bytes; the rest is the page:
//   start marker, end marker, rule count (0-3), per rule: selection, stride (signed), prefix;
//   extended rule count (0-2), per rule: selection, prefix, link kind.
// Besides the sanitizers' checks: the parsers give ten links or none (any number but none only
// for a rule that takes every result), and every link is a run of page bytes without a
// delimiter.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>

#include "engine/byte_source.h"
#include "engine/link_end.h"
#include "engine/page_links.h"

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
    const int extended = in.u8() % 3;
    for (int i = 0; i < extended; ++i) {
        vexor::ExtendedLinkRule rule;
        rule.selection = static_cast<vexor::LinkSelection>(in.u8() % 5);
        rule.prefix = text(in);
        rule.linkKind = text(in);
        engine.extendedRules.push_back(rule);
    }
    if (in.failed()) return 0;
    const std::string page(input.substr(input.size() - in.remaining()));

    const std::string_view region = vexor::cutToMarkers(page, engine.startMarker, engine.endMarker);
    if (region.data() < page.data() || region.data() + region.size() > page.data() + page.size())
        __builtin_trap();

    const auto check = [&](const std::deque<std::string>& links, bool anyNumber) {
        if (!links.empty() && links.size() != 10 && !anyNumber) __builtin_trap();
        for (const std::string& link : links) {
            if (page.find(link) == std::string::npos) __builtin_trap();
            if (link.find_first_of(std::string_view(vexor::LINK_DELIMITERS)) != std::string::npos)
                __builtin_trap();
        }
    };
    std::deque<std::string> links;
    vexor::parseResultPage(page, engine, links);
    check(links, false);
    const vexor::PageLinks read = vexor::readResultPage(page, engine, "http://e.example/s?q=abc&p=1");
    check(read.links, read.countsVary);
    if (read.countsVary && read.links.empty()) __builtin_trap();
    if (engine.extendedRules.empty() && read.links != links) __builtin_trap();
    return 0;
}
