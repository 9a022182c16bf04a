// Finding every occurrence of one needle in long texts: a Boyer-Moore-Horspool search, which
// skips ahead by up to the needle's length where std::string_view::find stops at every byte
// that equals the needle's first.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace vexor {

class SubstringFinder {
public:
    // The finder keeps its own copy of needle.
    explicit SubstringFinder(std::string_view needle)
        : needle_(needle), searcher_(needle_.begin(), needle_.end()) {}

    // The first occurrence at or after from, as std::string_view::find gives it (an empty
    // needle is found at from when from is within text).
    std::size_t find(std::string_view text, std::size_t from) const {
        if (from > text.size()) return std::string_view::npos;
        if (needle_.empty()) return from;
        const auto found = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), searcher_);
        return found == text.end() ? std::string_view::npos : static_cast<std::size_t>(found - text.begin());
    }

private:
    std::string needle_;
    std::boyer_moore_horspool_searcher<std::string::const_iterator> searcher_;
};

}  // namespace vexor
