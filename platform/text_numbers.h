// Numbering distinct texts: equal texts get one number, given in the order they are first met.
// One flat open-addressing table of numbers and hashes, where a standard map allocates a node for
// each text and frees them one by one: learning numbers the links and attributes of whole pages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace vexor {

class TextNumbers {
public:
    // Texts are kept as views, which must outlive the table, unless copied: then the table keeps
    // a copy of each text it numbers.
    enum class Keeping { Views, Copies };
    explicit TextNumbers(Keeping keeping = Keeping::Views) : keeping_(keeping) {}

    struct Numbered {
        int32_t number;
        bool added;  // whether text was met here first
    };
    // The number of text, given now (the count of texts so far) when it is met first.
    Numbered number(std::string_view text);
    // The number of text, -1 when it was never numbered.
    int32_t find(std::string_view text) const;
    std::string_view text(int32_t number) const { return texts_[static_cast<std::size_t>(number)]; }
    std::size_t size() const { return texts_.size(); }
    // Room for texts texts without growing.
    void reserve(std::size_t texts);

private:
    struct Entry {
        uint32_t hash = 0;  // the low bits of the text's hash: where it goes, and compared before the text
        int32_t number = -1;
    };
    // Where text's entry is, or the empty entry where it would go.
    std::size_t entryOf(std::string_view text, uint64_t hash) const;
    void grow(std::size_t size);

    Keeping keeping_;
    std::vector<Entry> entries_;  // a power of two long, at most half full
    std::vector<std::string_view> texts_;
    std::deque<std::string> copies_;  // the texts when copied; a deque does not move its strings
};

}  // namespace vexor
