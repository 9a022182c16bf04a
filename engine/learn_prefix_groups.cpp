// The groups of the shortest prefix, in one pass over the page.
#include "engine/learn_prefix_groups.h"

#include <unordered_map>

namespace vexor {
namespace {

uint32_t gramAt(std::string_view page, std::size_t end) {
    return static_cast<uint32_t>(static_cast<unsigned char>(page[end - 3])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(page[end - 2])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(page[end - 1]));
}

}  // namespace

std::vector<PrefixGroup> shortestPrefixGroups(std::string_view page, const std::vector<std::size_t>& positions) {
    static_assert(SHORTEST_PREFIX == 3, "a gram is the three bytes of the shortest prefix");
    std::vector<PrefixGroup> groups;
    std::unordered_map<uint32_t, std::size_t> groupOfGram;
    // Which first two bytes begin a wanted gram: most positions are passed over with one look.
    std::vector<bool> wantedStart(1u << 16, false);
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const std::size_t p = positions[i];
        if (p < SHORTEST_PREFIX) continue;
        const uint32_t gram = gramAt(page, p);
        auto [slot, added] = groupOfGram.try_emplace(gram, groups.size());
        if (added) groups.emplace_back();
        groups[slot->second].members.push_back(static_cast<uint32_t>(i));
        wantedStart[gram >> 8] = true;
    }
    if (groups.empty()) return groups;
    for (std::size_t e = SHORTEST_PREFIX; e <= page.size(); ++e) {
        const uint32_t gram = gramAt(page, e);
        if (!wantedStart[gram >> 8]) continue;
        if (const auto group = groupOfGram.find(gram); group != groupOfGram.end())
            groups[group->second].ends.push_back(static_cast<uint32_t>(e));
    }
    return groups;
}

}  // namespace vexor
