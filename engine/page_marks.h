// The marks of an engine's results pages: attributes that name parts of every results page of
// the engine whatever the keyword and the page (its search form, the boxes around the results,
// the links to further pages), learnt from the sample's result pages 1 to 3. A consent, captcha
// or "turn on JavaScript" page of the same host lacks most of them. Attributes, not whole tags:
// a tag often carries a token of the one answer beside the names that stay.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vexor {

// What an engine keeps at most, and what its file may hold.
inline constexpr std::size_t MOST_PAGE_MARKS = 8;
inline constexpr std::size_t LONGEST_PAGE_MARK = 160;

// The naming attributes (id, class, action, name, role) of opening tags, as written
// (class="results"), that stand in every one of pages (the first of them gives their order), hold
// no form of keyword (a code page 932 string: its words as such, in EUC-JP or UTF-8,
// percent-escaped or written with character references), no run of three or more digits and no
// token that mixes digits and letters, with a value of two bytes or more, outside boilerplate
// tags (html, head, meta, link, script, style, img...). Those standing once in a page and naming
// a form, a search, results or navigation come first, then others standing once, then repeated
// ones; within each, in page order. At most MOST_PAGE_MARKS of at most LONGEST_PAGE_MARK bytes;
// empty when pages is empty.
std::vector<std::string> learnPageMarks(const std::vector<std::string_view>& pages, const std::string& keyword);

// Whether page holds at least half of marks (false for no marks): a genuine page without results
// keeps the frame around them.
bool carriesMostMarks(std::string_view page, const std::vector<std::string>& marks);

}  // namespace vexor
