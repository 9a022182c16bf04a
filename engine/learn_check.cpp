// Checking rules on pages 1 to 3.
#include "engine/learn_check.h"

#include <algorithm>

#include "engine/link_address.h"
#include "engine/link_kind.h"
#include "engine/page_links.h"

namespace vexor {
namespace {

// Relative results differ in their paths ("/dir/a.html", "/dir/b.html"): for the check, relative
// links are of one kind when their first path segment is the same.
std::string checkedKind(std::string kind) {
    static constexpr std::string_view RELATIVE = "relative:/";
    if (kind.compare(0, RELATIVE.size(), RELATIVE) != 0) return kind;
    const std::size_t slash = kind.find('/', RELATIVE.size());
    if (slash != std::string::npos) kind.resize(slash + 1);
    return kind;
}

bool allOfKind(const std::deque<std::string>& links, const std::string& address, const std::string& kind) {
    if (kind.empty()) return true;
    const PageAddress page = pageAddressOf(address);
    const std::string wanted = checkedKind(kind);
    return std::all_of(links.begin(), links.end(),
                       [&](const std::string& link) { return checkedKind(linkKind(link, page)) == wanted; });
}

}  // namespace

int pagesHeld(const EngineDefinition& engine, SamplePages& pages, const std::string& resultKind) {
    int held = 0;
    PageLinks read[3];
    const std::deque<std::string>* previous = nullptr;
    for (std::size_t i = 0; i < 3; ++i) {
        read[i] = readResultPage(pages.bodies[i], engine, pages.addresses[i], &pages.facts[i]);
        if (read[i].links.empty()) continue;
        const bool repeats = previous != nullptr && repeatsPreviousPage(read[i].links, *previous);
        if (!repeats && allOfKind(read[i].links, pages.addresses[i], resultKind)) ++held;
        previous = &read[i].links;
    }
    return held;
}

bool laterPagesTell(const SamplePages& pages) {
    const auto& b = pages.bodies;
    return (!b[1].empty() && b[1] != b[0]) || (!b[2].empty() && b[2] != b[0] && b[2] != b[1]);
}

}  // namespace vexor
