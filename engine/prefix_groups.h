// The sample occurrences that share a prefix, grown one byte at a time to the left: the search
// shared by the plain and the extended learning, which walks every prefix length at once
// instead of scanning the page once per length.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vexor {

struct PrefixGroup {
    std::vector<uint32_t> members;  // indices of the occurrences that share the prefix
    std::vector<uint32_t> ends;     // end positions of every occurrence of the prefix in the page
};

// The children of group when its prefix of k bytes grows by the byte before it: its members by
// that byte (positionOf(m) is where member m's sample begins), each child with the ends that
// byte precedes. Members too near the page's start to grow their prefix are left out. group's
// ends are moved out when it has one child.
template <typename PositionOf>
void splitByPrecedingByte(std::string_view page, PrefixGroup& group, std::size_t k,
                          std::vector<PrefixGroup>& children, PositionOf positionOf) {
    std::array<int32_t, 256> childOfByte;
    childOfByte.fill(-1);
    const std::size_t firstChild = children.size();
    for (const uint32_t m : group.members) {
        const std::size_t p = positionOf(m);
        if (p < k + 1) continue;
        const auto byte = static_cast<unsigned char>(page[p - k - 1]);
        if (childOfByte[byte] < 0) {
            childOfByte[byte] = static_cast<int32_t>(children.size());
            children.emplace_back();
        }
        children[static_cast<std::size_t>(childOfByte[byte])].members.push_back(m);
    }
    if (children.size() == firstChild) return;
    if (children.size() == firstChild + 1) {
        // One child: it keeps the group's ends in place, without a copy.
        const char wanted = page[positionOf(children.back().members.front()) - k - 1];
        std::erase_if(group.ends, [&](uint32_t e) { return e < k + 1 || page[e - k - 1] != wanted; });
        children.back().ends = std::move(group.ends);
        return;
    }
    for (const uint32_t e : group.ends) {
        if (e < k + 1) continue;
        const int32_t child = childOfByte[static_cast<unsigned char>(page[e - k - 1])];
        if (child >= 0) children[static_cast<std::size_t>(child)].ends.push_back(e);
    }
}

}  // namespace vexor
