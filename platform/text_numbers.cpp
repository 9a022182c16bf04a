// The flat table behind TextNumbers.
#include "platform/text_numbers.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vexor {
namespace {

constexpr uint64_t MULTIPLIER = 0x9E3779B97F4A7C15ULL;

uint64_t mix(uint64_t hash, uint64_t word) {
    hash = (hash ^ word) * MULTIPLIER;
    return hash ^ (hash >> 29);
}

// A hash of text's bytes, read eight at a time.
uint64_t textHash(std::string_view text) {
    uint64_t hash = text.size() * MULTIPLIER;
    const char* bytes = text.data();
    std::size_t left = text.size();
    for (; left >= 8; left -= 8, bytes += 8) {
        uint64_t word = 0;
        std::memcpy(&word, bytes, 8);
        hash = mix(hash, word);
    }
    if (left > 0) {
        uint64_t word = 0;
        std::memcpy(&word, bytes, left);
        hash = mix(hash, word);
    }
    return mix(hash, hash >> 32);
}

}  // namespace

std::size_t TextNumbers::entryOf(std::string_view text, uint64_t hash) const {
    const std::size_t mask = entries_.size() - 1;
    const auto low = static_cast<uint32_t>(hash);
    for (std::size_t i = low & mask;; i = (i + 1) & mask) {
        const Entry& entry = entries_[i];
        if (entry.number < 0) return i;
        if (entry.hash == low && texts_[static_cast<std::size_t>(entry.number)] == text) return i;
    }
}

void TextNumbers::grow(std::size_t size) {
    std::vector<Entry> old(size);
    old.swap(entries_);
    const std::size_t mask = entries_.size() - 1;
    for (const Entry& entry : old) {
        if (entry.number < 0) continue;
        std::size_t i = entry.hash & mask;
        while (entries_[i].number >= 0) i = (i + 1) & mask;
        entries_[i] = entry;
    }
}

void TextNumbers::reserve(std::size_t texts) {
    if (entries_.size() <= 2 * texts + 2) grow(std::bit_ceil(2 * texts + 3));
    texts_.reserve(texts);
}

TextNumbers::Numbered TextNumbers::number(std::string_view text) {
    if (entries_.size() <= 2 * texts_.size() + 2) grow(std::max<std::size_t>(16, entries_.size() * 2));
    const uint64_t hash = textHash(text);
    Entry& entry = entries_[entryOf(text, hash)];
    if (entry.number >= 0) return {entry.number, false};
    entry = {static_cast<uint32_t>(hash), static_cast<int32_t>(texts_.size())};
    texts_.push_back(keeping_ == Keeping::Copies ? std::string_view(copies_.emplace_back(text)) : text);
    return {entry.number, true};
}

int32_t TextNumbers::find(std::string_view text) const {
    if (entries_.empty()) return -1;
    return entries_[entryOf(text, textHash(text))].number;
}

}  // namespace vexor
