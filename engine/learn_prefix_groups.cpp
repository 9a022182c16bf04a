// The groups of the shortest prefix, searched for by the bytes that end them.
#include "engine/learn_prefix_groups.h"

#include <algorithm>
#include <unordered_map>

#include "platform/bytes.h"

namespace vexor {
namespace {

uint32_t gramAt(std::string_view page, std::size_t end) {
    return static_cast<uint32_t>(static_cast<unsigned char>(page[end - 3])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(page[end - 2])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(page[end - 1]));
}

}  // namespace

std::vector<PrefixGroup> shortestPrefixGroups(std::string_view page, const std::vector<uint32_t>& positions) {
    static_assert(SHORTEST_PREFIX == 3, "a gram is the three bytes of the shortest prefix");
    std::vector<PrefixGroup> groups;
    std::unordered_map<uint32_t, std::size_t> groupOfGram;
    // Which first two bytes begin a wanted gram, and which bytes end one: the page is searched
    // for each wanted last byte in turn, and most places found are passed over with one look.
    std::vector<bool> wantedStart(1u << 16, false);
    std::array<bool, 256> wantedLast{};
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const std::size_t p = positions[i];
        if (p < SHORTEST_PREFIX) continue;
        const uint32_t gram = gramAt(page, p);
        auto [slot, added] = groupOfGram.try_emplace(gram, groups.size());
        if (added) groups.emplace_back();
        groups[slot->second].members.push_back(static_cast<uint32_t>(i));
        wantedStart[gram >> 8] = true;
        wantedLast[gram & 0xFF] = true;
    }
    if (groups.empty()) return groups;
    // Each member's own place is an end of its gram: a group holds at least as many ends, and on
    // a page that repeats itself hardly more.
    for (PrefixGroup& group : groups) group.ends.reserve(group.members.size());
    // A gram's ends all come from the search for its last byte, so each group's ends stay in
    // page order.
    const std::string_view searched = page.substr(std::min(page.size(), SHORTEST_PREFIX - 1));
    for (std::size_t byte = 0; byte < wantedLast.size(); ++byte) {
        if (!wantedLast[byte]) continue;
        forEachPlaceOf(searched, static_cast<char>(byte), [&](std::size_t at) {
            const std::size_t e = at + SHORTEST_PREFIX;
            const uint32_t gram = gramAt(page, e);
            if (!wantedStart[gram >> 8]) return;
            if (const auto group = groupOfGram.find(gram); group != groupOfGram.end())
                groups[group->second].ends.push_back(static_cast<uint32_t>(e));
        });
    }
    return groups;
}

}  // namespace vexor
