// The keywords of the pace benchmarks: "pace" and the digits 0 to 6 in each order (at most
// 5040). Their bytes add up alike, so the fake engine's default placement puts the target at the
// same rank, six pages a keyword, and every keyword of a run does the same work.
#pragma once

#include <algorithm>
#include <string>
#include <deque>

namespace vexor {

inline std::deque<std::string> paceKeywords(int count) {
    std::deque<std::string> keywords;
    std::string digits = "0123456";
    do {
        keywords.push_back("pace" + digits);
    } while (static_cast<int>(keywords.size()) < count && std::next_permutation(digits.begin(), digits.end()));
    return keywords;
}

}  // namespace vexor
