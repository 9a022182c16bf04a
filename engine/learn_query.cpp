// Learning the query address template, page step and offset, and keyword encoding.
#include "engine/learn_query.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "platform/bytes.h"
#include "platform/leading_number.h"
#include "web/euc_jp.h"
#include "web/keyword_forms.h"

namespace vexor {
namespace {

constexpr std::size_t npos = std::string::npos;

struct Span {
    std::size_t start;
    std::size_t length;  // may reach past the end of the text: then the rest of the text
};

// The value of the page parameter around position at: from just after the last "=" at or
// before it (or the start) up to the first "&" at or after it (or the end).
Span pageValueSpan(const std::string& address, std::size_t at) {
    const std::size_t equals = address.rfind('=', at);
    const std::size_t ampersand = address.find('&', at);
    const std::size_t start = equals == npos ? 0 : equals + 1;
    const std::size_t end = ampersand == npos ? address.size() : ampersand;
    return {start, end - start};
}

}  // namespace

bool learnQueryTemplate(EngineDefinition& definition) {
    const std::string& page2 = definition.page2Url;
    const std::string& page3 = definition.page3Url;

    const std::array<std::pair<KeywordEncoding, std::string>, 3> candidates{{
        {KeywordEncoding::ShiftJis, percentEncode(definition.keyword)},
        {KeywordEncoding::EucJp, percentEncode(toEucJp(definition.keyword))},
        {KeywordEncoding::Utf8, percentEncode(toUtf8(definition.keyword))},
    }};
    std::size_t keywordStart = npos;
    for (const auto& [encoding, form] : candidates) {
        keywordStart = findIgnoringCase(page2, form);
        if (keywordStart != npos) {
            definition.keywordEncoding = encoding;
            break;
        }
    }
    if (keywordStart == npos) return false;
    // Whatever follows the keyword in its parameter (more words, a suffix) is part of it.
    const std::size_t keywordEnd = std::min(page2.find('&', keywordStart), page2.size());
    const Span keyword{keywordStart, keywordEnd - keywordStart};

    const std::size_t common = std::min(page2.size(), page3.size());
    const std::size_t differ = static_cast<std::size_t>(
        std::mismatch(page2.begin(), page2.begin() + common, page3.begin()).first - page2.begin());
    if (differ == common || differ == 0) return false;
    if (page2.rfind('=', differ) == npos && page2.find('&', differ) == npos &&
        page3.rfind('=', differ) == npos && page3.find('&', differ) == npos)
        return false;
    const Span value2 = pageValueSpan(page2, differ);
    const Span value3 = pageValueSpan(page3, differ);
    const int32_t v2 = leadingNumber(page2.substr(value2.start, value2.length));
    const int32_t v3 = leadingNumber(page3.substr(value3.start, value3.length));
    definition.pageStep = wrapToInt32(int64_t{v3} - v2);
    definition.pageOffset = wrapToInt32(int64_t{v2} - definition.pageStep);

    // Replacing the region further right first keeps the other region's position valid.
    std::string queryTemplate = page2;
    if (keyword.start < value2.start) {
        queryTemplate.replace(value2.start, value2.length, "%d");
        queryTemplate.replace(keyword.start, keyword.length, "%s");
    } else {
        queryTemplate.replace(keyword.start, keyword.length, "%s");
        queryTemplate.replace(value2.start, value2.length, "%d");
    }
    definition.queryTemplate = std::move(queryTemplate);
    return true;
}

}  // namespace vexor
