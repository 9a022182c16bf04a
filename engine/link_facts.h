// The facts of a link that a rule reading facts asks for: its kind (linkKind), and its identity,
// what tells two links of one result from two results (the address a redirect carries, else the
// link's comparable form). Kept once per link start as numbers, so that many walks of one region,
// by a survey's rules or by learning's candidates, work each link out once; an identity is worked
// out only for a link a walk asks it of, one of the kind the walk takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/link_address.h"
#include "platform/text_numbers.h"

namespace vexor {

// The identity of link, read against page.
std::string linkIdentity(std::string_view link, const PageAddress& page);

// The facts of the links of one region by where they start, with equal numbers for equal texts.
// A table serves one region read against one page address. Link starts find their facts through
// a hash table that keeps nearby starts together, small while few links are asked about (a page
// of results holds a link in every few hundred bytes); once links stand densely, as on a page of
// tiny links, through a table as long as the region, by one index. Links written alike (a page
// repeats many) share their facts, worked out once.
class LinkFactsTable {
public:
    struct Ids {
        int32_t kind;
        uint32_t end;  // where the link ends in the region (linkAt)
        int32_t slot;  // its number among the links asked for (slotAt)
    };

    // The kind and end of the link that starts at start, worked out on the first ask.
    Ids at(std::string_view region, std::size_t start, const PageAddress& page);
    // The number of the identity of the link whose Ids at() gave, worked out on the first ask.
    int32_t identityOf(const Ids& asked, const PageAddress& page);
    // How many links were asked for so far.
    std::size_t asked() const { return asked_.size(); }
    // The number of the link at start among those asked for (0, 1, ...), -1 when not asked for.
    int32_t slotAt(std::size_t start) const;
    // The number of a kind, given now when no link met so far is of it.
    int32_t kindNumber(std::string_view kind) { return kinds_.number(kind).number; }
    std::string_view kindName(int32_t number) const { return kinds_.text(number); }

    // The links a walk of the region yielded (where each starts and ends), kept by a key that
    // names the walk, for the next walk alike: learning reads its pages with one rule many times.
    using WalkedLinks = std::vector<std::pair<uint32_t, uint32_t>>;
    const WalkedLinks* walked(const std::string& key) const {
        const auto kept = walks_.find(key);
        return kept == walks_.end() ? nullptr : &kept->second;
    }
    void keepWalk(std::string key, WalkedLinks links) { walks_.insert_or_assign(std::move(key), std::move(links)); }

private:
    static constexpr uint32_t NO_START = UINT32_MAX;
    // A link start's place is its slot plus one, 0 while it is not asked about: a dense table
    // then starts as zeroed memory.
    struct SlotEntry {
        uint32_t start = NO_START;
        uint32_t place = 0;
    };
    // Where start's entry is, or the empty entry where it would go.
    std::size_t entryOf(std::size_t start) const;
    void growSlots(std::size_t regionSize);
    // The place of the link at start in a region of regionSize bytes, 0 when it is asked about first.
    uint32_t& placeFor(std::size_t start, std::size_t regionSize);

    struct Free {
        void operator()(uint32_t* bytes) const { std::free(bytes); }
    };
    std::vector<SlotEntry> hashed_;            // a power of two long, at most half full; empty once dense
    int hashShift_ = 0;                        // 64 less the bits of an index into hashed_
    std::unique_ptr<uint32_t[], Free> dense_;  // places by link start; null while hashed
    std::size_t denseSize_ = 0;                // one more than the region
    // By slot: the link's text (its number in texts_), its end, and its text's kind, kept here
    // too so that a walk's ask reads one record.
    struct Asked {
        int32_t text;
        uint32_t end;
        int32_t kind;
    };
    std::vector<Asked> asked_;
    // Each text a link is written as (views into the region), and by its number the kind and
    // identity numbers of the text, the identity -1 until asked.
    TextNumbers texts_;
    struct TextFacts {
        int32_t kind;
        int32_t identity;
    };
    std::vector<TextFacts> textFacts_;
    TextNumbers kinds_{TextNumbers::Keeping::Copies};
    TextNumbers identities_{TextNumbers::Keeping::Copies};
    std::unordered_map<std::string, WalkedLinks> walks_;
};

}  // namespace vexor
