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
std::vector<PrefixGroup> shortestPrefixGroups(std::string_view page, const std::vector<std::size_t>& positions);

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
