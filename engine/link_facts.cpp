// Working out and numbering link facts.
#include "engine/link_facts.h"

#include <algorithm>
#include <bit>
#include <new>

#include "engine/link_end.h"
#include "engine/link_kind.h"

namespace vexor {

std::string linkIdentity(std::string_view link, const PageAddress& page) {
    const std::string absolute = absoluteForm(link, page);
    std::string identity = carriedAddress(absolute, false);
    return identity.empty() ? lowerHosts(decodePercentEscapes(absolute)) : identity;
}

namespace {

// Once one byte in this many of a region begins a link asked about, as on a page of tiny links,
// link starts are found through a table as long as the region: it costs at most this many times
// four bytes a link, and a walk reads it in page order.
constexpr std::size_t DENSE_SPACING = 32;
// A results page holds a link in every few hundred bytes: tables first made for a link in every
// this many bytes hold most pages' links without growing.
constexpr std::size_t FIRST_LINK_SPACING = 128;

}  // namespace

std::size_t LinkFactsTable::entryOf(std::size_t start) const {
    const std::size_t mask = hashed_.size() - 1;
    // Starts within one table length of each other keep their order in the table, so that a
    // walk, which asks in page order, reads it in order; each such window of the region begins
    // at a place of its own (Fibonacci hashing), so starts a table length apart do not pile up.
    const std::size_t window = start >> (64 - hashShift_);
    const auto offset = static_cast<std::size_t>(window * 0x9E3779B97F4A7C15ull >> hashShift_);
    for (std::size_t i = (start + offset) & mask;; i = (i + 1) & mask)
        if (hashed_[i].start == start || hashed_[i].start == NO_START) return i;
}

void LinkFactsTable::growSlots(std::size_t regionSize) {
    const std::size_t first = std::bit_ceil(std::max<std::size_t>(64, 2 * regionSize / FIRST_LINK_SPACING));
    std::vector<SlotEntry> old(hashed_.empty() ? first : hashed_.size() * 2);
    old.swap(hashed_);
    hashShift_ = 64 - static_cast<int>(std::bit_width(hashed_.size() - 1));
    for (const SlotEntry& entry : old)
        if (entry.start != NO_START) hashed_[entryOf(entry.start)] = entry;
}

int32_t LinkFactsTable::slotAt(std::size_t start) const {
    if (dense_) return start < denseSize_ ? static_cast<int32_t>(dense_[start]) - 1 : -1;
    return hashed_.empty() ? -1 : static_cast<int32_t>(hashed_[entryOf(start)].place) - 1;
}

uint32_t& LinkFactsTable::placeFor(std::size_t start, std::size_t regionSize) {
    if (!dense_ && asked_.size() * DENSE_SPACING >= regionSize) {
        // Zeroed memory straight from the system where the allocator can give it: a page of tiny
        // links needs a table four times its size.
        dense_.reset(static_cast<uint32_t*>(std::calloc(regionSize + 1, sizeof(uint32_t))));
        if (!dense_) throw std::bad_alloc();
        denseSize_ = regionSize + 1;
        for (const SlotEntry& entry : hashed_)
            if (entry.start != NO_START) dense_[entry.start] = entry.place;
        hashed_ = {};
        // The links asked about so far are about half of those a page this dense holds.
        asked_.reserve(2 * asked_.size());
    }
    if (dense_) return dense_[start];
    if (hashed_.size() <= 2 * asked_.size() + 2) growSlots(regionSize);
    SlotEntry& entry = hashed_[entryOf(start)];
    entry.start = static_cast<uint32_t>(start);
    return entry.place;
}

LinkFactsTable::Ids LinkFactsTable::at(std::string_view region, std::size_t start, const PageAddress& page) {
    uint32_t& place = placeFor(start, region.size());
    if (place == 0) {
        if (asked_.empty()) texts_.reserve(region.size() / FIRST_LINK_SPACING);
        const std::string_view link = linkAt(region, start);
        const auto [text, added] = texts_.number(link);
        if (added) textFacts_.push_back({kindNumber(linkKind(link, page)), -1});
        asked_.push_back({text, static_cast<uint32_t>(start + link.size()),
                          textFacts_[static_cast<std::size_t>(text)].kind});
        place = static_cast<uint32_t>(asked_.size());
    }
    const Asked& asked = asked_[place - 1];
    return {asked.kind, asked.end, static_cast<int32_t>(place - 1)};
}

int32_t LinkFactsTable::identityOf(const Ids& asked, const PageAddress& page) {
    const int32_t text = asked_[static_cast<std::size_t>(asked.slot)].text;
    TextFacts& facts = textFacts_[static_cast<std::size_t>(text)];
    if (facts.identity < 0) facts.identity = identities_.number(linkIdentity(texts_.text(text), page)).number;
    return facts.identity;
}

}  // namespace vexor
