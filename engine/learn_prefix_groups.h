// The prefix-group search under both learners. The first-sample occurrences (plain learning) or
// links (extended learning) whose k bytes before them are equal share that prefix and so its
// outcome: they form a group, the members, which carries the ends of every (overlapping)
// occurrence of the prefix in the page. A group whose prefix settles its members is left; the
// others split by the byte before their prefix, each end going to the child whose byte stands
// before it. Prefixes of one length that differ have disjoint ends, so one length costs at most
// one pass over the page, whatever the number of members; the work is counted against a bound
// proportional to the page, so a page built to repeat itself cannot hold the user for long.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vexor {

// Prefixes are tried from this many bytes up to, not including, LONGEST_PREFIX + 1.
inline constexpr std::size_t SHORTEST_PREFIX = 3;
inline constexpr std::size_t LONGEST_PREFIX = 99;

struct PrefixGroup {
    std::vector<uint32_t> members;  // indices of the occurrences that share the prefix
    std::vector<uint32_t> ends;     // end positions of every occurrence of the prefix in the page
};

// Steps a search may take: perByte for each byte of the page, at least floor. The plain and the
// extended learner count different steps and so keep their own rates.
class WorkBudget {
public:
    WorkBudget(std::size_t pageSize, std::size_t perByte, std::size_t floor)
        : bound_(std::max(floor, perByte * pageSize)) {}

    // Takes steps when the bound allows them; otherwise the budget is exhausted for good.
    bool spend(std::size_t steps) {
        if (exhausted_) return false;
        if (steps > bound_ - used_) {
            exhausted_ = true;
            return false;
        }
        used_ += steps;
        return true;
    }
    bool exhausted() const { return exhausted_; }

private:
    std::size_t bound_;
    std::size_t used_ = 0;
    bool exhausted_ = false;
};

// The groups of the shortest prefix: members (indices into positions, where each one's sample
// begins) by their SHORTEST_PREFIX bytes before, each group with the ends of every occurrence of
// those bytes, found by one search of the page for each byte that ends a group's prefix. Members
// too near the page's start are left out.
std::vector<PrefixGroup> shortestPrefixGroups(std::string_view page, const std::vector<uint32_t>& positions);

// The children of group when its prefix of k bytes grows by the byte before it: its members by
// that byte (positionOf(m) is where member m's sample begins), each child with the ends that
// byte precedes. Members too near the page's start to grow their prefix are left out. group's
// members and ends are moved out when it has one child.
template <typename PositionOf>
void splitByPrecedingByte(std::string_view page, PrefixGroup& group, std::size_t k,
                          std::vector<PrefixGroup>& children, PositionOf positionOf) {
    // The byte before the prefix that ends at p, -1 when the prefix cannot grow there.
    const auto byteBefore = [&](std::size_t p) { return p < k + 1 ? -1 : static_cast<unsigned char>(page[p - k - 1]); };
    int shared = -1;  // the byte of the members that can grow, while they all have one
    bool oneByte = true;
    for (const uint32_t m : group.members) {
        const int byte = byteBefore(positionOf(m));
        if (byte < 0 || byte == shared) continue;
        if (shared >= 0) {
            oneByte = false;
            break;
        }
        shared = byte;
    }
    if (shared < 0) return;
    if (oneByte) {
        // One child: it takes the group's members and ends in place, without a copy. On a page
        // that repeats itself one group holds most of the page at every length.
        std::erase_if(group.members, [&](uint32_t m) { return byteBefore(positionOf(m)) < 0; });
        std::erase_if(group.ends, [&](uint32_t e) { return byteBefore(e) != shared; });
        children.push_back({std::move(group.members), std::move(group.ends)});
        return;
    }
    std::array<int32_t, 256> childOfByte;
    childOfByte.fill(-1);
    for (const uint32_t m : group.members) {
        const int byte = byteBefore(positionOf(m));
        if (byte < 0) continue;
        if (childOfByte[static_cast<std::size_t>(byte)] < 0) {
            childOfByte[static_cast<std::size_t>(byte)] = static_cast<int32_t>(children.size());
            children.emplace_back();
        }
        children[static_cast<std::size_t>(childOfByte[static_cast<std::size_t>(byte)])].members.push_back(m);
    }
    for (const uint32_t e : group.ends) {
        const int byte = byteBefore(e);
        if (byte < 0) continue;
        const int32_t child = childOfByte[static_cast<std::size_t>(byte)];
        if (child >= 0) children[static_cast<std::size_t>(child)].ends.push_back(e);
    }
}

// A group's ends as a walk (walkOccurrences) asks for occurrences: next(from) is the end of the
// first occurrence of the k-byte prefix that starts at or after from; from never decreases.
struct GroupEnds {
    const std::vector<uint32_t>& ends;
    std::size_t k;
    std::size_t i = 0;
    std::size_t next(std::size_t from) {
        while (i < ends.size() && ends[i] - k < from) ++i;
        return i < ends.size() ? ends[i++] : std::string_view::npos;
    }
};

// What a group's visit decided.
enum class GroupStep {
    Settled,  // the prefix settled its members (or can settle none): the group is left
    Grow,     // the members try the prefix one byte longer
    Stop,     // the work bound is reached: the search ends
};

// Visits the groups of every prefix length from SHORTEST_PREFIX to LONGEST_PREFIX, shortest
// first, each length in the order of its groups: visit(group, k) decides, and groups that grow
// split into the next length's groups. positionOf(m) is where member m's sample begins.
template <typename PositionOf, typename Visit>
void searchPrefixGroups(std::string_view page, std::vector<PrefixGroup> groups, PositionOf positionOf, Visit visit) {
    std::vector<PrefixGroup> children;
    for (std::size_t k = SHORTEST_PREFIX; k <= LONGEST_PREFIX && !groups.empty(); ++k) {
        children.clear();
        for (PrefixGroup& group : groups) {
            const GroupStep step = visit(group, k);
            if (step == GroupStep::Stop) return;
            if (step == GroupStep::Grow && k < LONGEST_PREFIX) splitByPrecedingByte(page, group, k, children, positionOf);
        }
        groups.swap(children);
    }
}

}  // namespace vexor
