// Working out and numbering link facts.
#include "engine/link_facts.h"

#include "engine/link_end.h"
#include "engine/link_kind.h"

namespace vexor {

LinkFacts linkFactsOf(std::string_view link, const PageAddress& page) {
    const std::string absolute = absoluteForm(link, page);
    std::string identity = carriedAddress(absolute, false);
    if (identity.empty()) identity = lowerHosts(decodePercentEscapes(absolute));
    return {linkKindOf(link, absolute, page), std::move(identity)};
}

int32_t LinkFactsTable::slotAt(std::size_t start) const {
    if (dense_) return start < denseSlots_.size() ? denseSlots_[start] : -1;
    const auto known = sparseSlots_.find(start);
    return known == sparseSlots_.end() ? -1 : known->second;
}

LinkFactsTable::Ids LinkFactsTable::at(std::string_view region, std::size_t start, const PageAddress& page) {
    if (dense_ && denseSlots_.size() <= region.size()) denseSlots_.resize(region.size() + 1, -1);
    int32_t* slot = dense_ ? &denseSlots_[start] : &sparseSlots_.try_emplace(start, -1).first->second;
    if (*slot < 0) {
        const std::string_view link = linkAt(region, start);
        auto [numbers, added] = byText_.try_emplace(link, 0, 0);
        if (added) {
            LinkFacts facts = linkFactsOf(link, page);
            numbers->second.first = kindNumber(facts.kind);
            numbers->second.second =
                identities_.try_emplace(std::move(facts.identity), static_cast<int32_t>(identities_.size()))
                    .first->second;
        }
        *slot = static_cast<int32_t>(ids_.size());
        ids_.push_back({numbers->second.first, numbers->second.second, static_cast<uint32_t>(start + link.size())});
    }
    return ids_[static_cast<std::size_t>(*slot)];
}

int32_t LinkFactsTable::kindNumber(std::string_view kind) {
    const auto [known, added] = kinds_.try_emplace(std::string(kind), static_cast<int32_t>(kinds_.size()));
    if (added) kindNames_.emplace_back(kind);
    return known->second;
}

}  // namespace vexor
