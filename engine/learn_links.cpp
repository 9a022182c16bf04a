// Learning link rules from the sample results page.
//
// For one occurrence P of the first sample, the prefix of k bytes is X = page[P-k, P). Rather
// than scanning the whole page once for every k, the search keeps the end positions E of all
// (overlapping) occurrences of X: the ends of the (k+1)-byte prefix are those ends of the
// k-byte prefix that one more matching byte precedes, so each longer prefix filters the
// shorter one's list. The non-overlapping occurrences that the rules count are a greedy
// left-to-right pick over that list, exactly what a search that resumes after each find sees.
// The lists only shrink with k, so once fewer than ten remain no longer prefix can succeed.
#include "engine/learn_links.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <optional>

#include "engine/query_address.h"
#include "engine/result_parser.h"

namespace vexor {
namespace {

constexpr std::size_t LINKS_PER_PAGE = 10;

bool beginsWith(std::string_view page, std::size_t at, std::string_view sample) {
    return page.substr(at, sample.size()) == sample;
}

class RuleSearch {
public:
    RuleSearch(std::string_view page, std::string_view firstSample, std::string_view tenthSample)
        : page_(page), first_(firstSample), tenth_(tenthSample) {}

    // The rule of the shortest fitting prefix standing before position p, if any.
    std::optional<LinkRule> ruleBefore(std::size_t p) {
        const std::size_t longest = std::min(LONGEST_PREFIX, p);
        if (longest < SHORTEST_PREFIX) return std::nullopt;
        // Equal context, equal prefixes for every k: the outcome is the same.
        const std::string_view context = page_.substr(p - longest, longest);
        if (const auto known = byContext_.find(context); known != byContext_.end())
            return known->second;
        std::optional<LinkRule> rule = search(p, longest);
        byContext_.emplace(context, rule);
        return rule;
    }

private:
    std::optional<LinkRule> search(std::size_t p, std::size_t longest) {
        const std::vector<std::size_t>& shortest = endsOf(page_.substr(p - SHORTEST_PREFIX, SHORTEST_PREFIX));
        ends_.assign(shortest.begin(), shortest.end());
        for (std::size_t k = SHORTEST_PREFIX; k <= longest; ++k) {
            if (k > SHORTEST_PREFIX) {
                const char added = page_[p - k];
                std::erase_if(ends_, [&](std::size_t e) { return e < k || page_[e - k] != added; });
            }
            if (ends_.size() < LINKS_PER_PAGE) return std::nullopt;
            pickNonOverlapping(k);
            if (auto selection = selectionFor()) {
                return LinkRule{selection->first, selection->second, std::string(page_.substr(p - k, k))};
            }
        }
        return std::nullopt;
    }

    // End positions of every occurrence of gram, overlapping ones included; one scan per gram.
    const std::vector<std::size_t>& endsOf(std::string_view gram) {
        auto [slot, added] = endsByGram_.try_emplace(gram);
        if (added) {
            for (std::size_t q = page_.find(gram); q != std::string_view::npos; q = page_.find(gram, q + 1))
                slot->second.push_back(q + gram.size());
        }
        return slot->second;
    }

    // The occurrences a search from the start finds when it resumes right after each one.
    void pickNonOverlapping(std::size_t k) {
        picked_.clear();
        std::size_t resume = 0;
        for (const std::size_t e : ends_) {
            if (e - k < resume) continue;
            picked_.push_back(e);
            resume = e;
        }
    }

    // Selection and stride that the picked occurrences support, if any.
    std::optional<std::pair<LinkSelection, int32_t>> selectionFor() const {
        const std::size_t n = picked_.size();
        if (n < LINKS_PER_PAGE) return std::nullopt;
        const bool firstFits = beginsWith(page_, picked_.front(), first_);
        const bool lastFits = beginsWith(page_, picked_.back(), tenth_);
        if (n == LINKS_PER_PAGE) {
            if (firstFits && lastFits) return std::pair{LinkSelection::ExactlyTen, 1};
            return std::nullopt;
        }
        const std::size_t strides = n / LINKS_PER_PAGE;
        if (firstFits) {
            for (std::size_t s = 1; s <= strides; ++s)
                if (beginsWith(page_, picked_[LINKS_PER_PAGE * s - 1], tenth_))
                    return std::pair{LinkSelection::FirstTen, static_cast<int32_t>(s)};
            return std::nullopt;
        }
        if (!lastFits) return std::nullopt;
        for (std::size_t s = 1; s <= strides; ++s)
            if (beginsWith(page_, picked_[n - LINKS_PER_PAGE * s], first_))
                return std::pair{LinkSelection::LastTen, static_cast<int32_t>(s)};
        return std::nullopt;
    }

    std::string_view page_;
    std::string_view first_;
    std::string_view tenth_;
    std::map<std::string_view, std::vector<std::size_t>> endsByGram_;
    std::map<std::string_view, std::optional<LinkRule>> byContext_;
    std::vector<std::size_t> ends_;
    std::vector<std::size_t> picked_;
};

}  // namespace

std::string_view sampleOf(std::string_view resultField) {
    return resultField.substr(0, resultField.find(' '));
}

std::vector<LinkRule> findLinkRules(std::string_view cutPage, std::string_view firstSample,
                                    std::string_view tenthSample) {
    std::vector<LinkRule> rules;
    // An empty sample would be found at every position without the search moving on.
    if (firstSample.empty()) return rules;
    RuleSearch search(cutPage, firstSample, tenthSample);
    for (std::size_t p = cutPage.find(firstSample); p != std::string_view::npos;
         p = cutPage.find(firstSample, p + firstSample.size())) {
        if (auto rule = search.ruleBefore(p)) rules.push_back(std::move(*rule));
    }
    return rules;
}

bool learnLinkRules(EngineDefinition& definition, const PageFetcher& fetch) {
    const std::string address = queryAddressOf(definition, definition.keyword, 1);
    std::string page;
    const std::atomic<bool> neverAborted{false};
    fetch(address, page, neverAborted);
    std::vector<LinkRule> rules =
        findLinkRules(cutToMarkers(page, definition.startMarker, definition.endMarker),
                      sampleOf(definition.firstResultUrl), sampleOf(definition.tenthResultUrl));
    if (rules.empty()) return false;
    definition.linkRules = std::move(rules);
    return true;
}

}  // namespace vexor
