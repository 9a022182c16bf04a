// Comparing the markup before links.
#include "engine/learn_variants.h"

#include <algorithm>
#include <string>

namespace vexor {
namespace {

std::size_t commonSuffix(std::string_view a, std::string_view b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[a.size() - 1 - n] == b[b.size() - 1 - n]) ++n;
    return n;
}

std::size_t commonPrefix(std::string_view a, std::string_view b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
    return n;
}

// The comparison of isMarkupVariant, on context already cut to its window.
bool isVariantOf(std::string_view before, std::string_view context) {
    const std::size_t n = context.size();
    const std::size_t same = commonSuffix(before, context);
    if (same == n) return true;
    // before ends in P X S and the context is P Y S: "left" bytes Y of the context are not in
    // before and "added" bytes X of before not in the context. Some P and S fit exactly when the
    // bytes P X S share with the context from its start and from its end cover P and S.
    for (std::size_t left = 0; left <= LONGEST_VARIANT_RUN && 2 * (n - left) >= n; ++left) {
        const std::size_t kept = n - left;
        for (std::size_t added = left == 0 ? 1 : 0; added <= LONGEST_VARIANT_RUN; ++added) {
            if (kept + added > before.size()) break;
            if (left > 0 && added > 0 && std::max(left, added) > LONGEST_REPLACED_RUN) continue;
            const std::string_view window = before.substr(before.size() - kept - added);
            if (commonPrefix(window, context) + std::min(same, kept) >= kept) return true;
        }
    }
    return false;
}

}  // namespace

bool isTokenByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

std::string_view sharedContext(std::string_view region, const std::vector<std::string_view>& links,
                               std::size_t limit) {
    if (links.empty()) return {};
    const auto before = [&](std::string_view link) {
        return region.substr(0, static_cast<std::size_t>(link.data() - region.data()));
    };
    std::string_view shared = before(links.front());
    shared = shared.substr(shared.size() - std::min(shared.size(), limit));
    for (const std::string_view link : links) shared = shared.substr(shared.size() - commonSuffix(shared, before(link)));
    return shared;
}

std::string withIdsMarked(std::string_view text, bool cutAtStart) {
    std::string marked;
    std::size_t i = 0;
    if (cutAtStart)
        while (i < text.size() && isTokenByte(text[i])) ++i;
    const auto isPart = [](char c) { return isTokenByte(c) && c != '-' && c != '_'; };
    while (i < text.size()) {
        if (!isPart(text[i])) {
            marked += text[i++];
            continue;
        }
        const std::size_t run = i;
        bool digit = false;
        for (; i < text.size() && isPart(text[i]); ++i) digit = digit || (text[i] >= '0' && text[i] <= '9');
        if (digit) marked += ID_MARK;
        else marked.append(text.substr(run, i - run));
    }
    return marked;
}

bool isMarkupVariant(std::string_view before, std::string_view context) {
    context = context.substr(context.size() - std::min(context.size(), VARIANT_WINDOW));
    if (isVariantOf(before, context)) return true;
    const std::string markedContext = withIdsMarked(context, true);
    const std::string markedBefore = withIdsMarked(
        before.substr(before.size() - std::min(before.size(), 2 * (VARIANT_WINDOW + LONGEST_VARIANT_RUN))), true);
    return isVariantOf(markedBefore, markedContext);
}

}  // namespace vexor
