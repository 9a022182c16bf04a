// Telling a result whose markup differs a little from the others' (a title with one more
// attribute, a class written with a trailing space) from a link of another box (a news box, a
// help link in a featured answer) that a shorter prefix takes as well. Both add links to a rule;
// only the first kind are results.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vexor {

// How much of a context a variant is compared over, the longest run of bytes it may add or leave
// out, and the longest it may replace (markup written otherwise, not another box).
inline constexpr std::size_t VARIANT_WINDOW = 64;
inline constexpr std::size_t LONGEST_VARIANT_RUN = 40;
inline constexpr std::size_t LONGEST_REPLACED_RUN = 8;

// The bytes that stand before every one of links (views into region), at most limit of them.
std::string_view sharedContext(std::string_view region, const std::vector<std::string_view>& links,
                               std::size_t limit);

// Whether before (the bytes before a link, ending where it starts) ends in context (its last
// VARIANT_WINDOW bytes) but for one place where up to LONGEST_VARIANT_RUN bytes are added or left
// out, or up to LONGEST_REPLACED_RUN replaced; half of the context at least stays. Failing that, the
// two are compared with ids (runs of letters and digits with a digit, between "-", "_" or other
// markup: tracking values, numbers of the page, a style sheet's hash in a class name) equal to
// any other id, as they differ with every result, page, keyword and build of the engine.
bool isMarkupVariant(std::string_view before, std::string_view context);

// text with every id (a run of letters and digits with a digit, between "-", "_" or other markup)
// written as ID_MARK, so that one id compares equal to any other while the words around it stay.
// With cutAtStart, a leading run of token bytes is left out, as text may begin inside an id.
inline constexpr char ID_MARK = '\x01';
std::string withIdsMarked(std::string_view text, bool cutAtStart);

// Whether c may stand in a token: an ASCII letter or digit, "-" or "_".
bool isTokenByte(char c);

}  // namespace vexor
