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
    std::size_t length;
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

// The template's reader takes "%%" for one "%": every "%" of the sample outside the two
// placeholders, an escape such as "%d3" among them, must reach the query address as it stood.
std::string escapePercents(const std::string& text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        if (c == '%') escaped += '%';
        escaped += c;
    }
    return escaped;
}

}  // namespace

QueryLearning learnQueryAddress(EngineDefinition& definition) {
    const std::string& page2 = definition.page2Url;
    const std::string& page3 = definition.page3Url;

    struct Candidate {
        KeywordEncoding encoding;
        std::string bytes;
        ByteScan scan;
    };
    const std::array<Candidate, 3> candidates{{
        {KeywordEncoding::ShiftJis, definition.keyword, ByteScan::CodePage932},
        {KeywordEncoding::EucJp, toEucJp(definition.keyword), ByteScan::Ascii},
        {KeywordEncoding::Utf8, toUtf8(definition.keyword), ByteScan::Ascii},
    }};
    std::size_t keywordStart = npos;
    for (const auto& candidate : candidates) {
        keywordStart = findEscapedKeyword(page2, candidate.bytes, candidate.scan);
        if (keywordStart != npos) {
            definition.keywordEncoding = candidate.encoding;
            break;
        }
    }
    if (keywordStart == npos) return QueryLearning::KeywordNotInAddress;
    // Whatever follows the keyword in its parameter (more words, a suffix) is part of it.
    const std::size_t keywordEnd = std::min(page2.find('&', keywordStart), page2.size());
    const Span keyword{keywordStart, keywordEnd - keywordStart};

    const std::size_t common = std::min(page2.size(), page3.size());
    const std::size_t differ = static_cast<std::size_t>(
        std::mismatch(page2.begin(), page2.begin() + common, page3.begin()).first - page2.begin());
    if (differ == common) return QueryLearning::AddressesAlike;
    if (differ == 0) return QueryLearning::DifferAtStart;
    if (page2.rfind('=', differ) == npos && page2.find('&', differ) == npos &&
        page3.rfind('=', differ) == npos && page3.find('&', differ) == npos)
        return QueryLearning::NoPageParameter;
    const Span value2 = pageValueSpan(page2, differ);
    const Span value3 = pageValueSpan(page3, differ);
    // Regions that overlap would leave a template without one of its placeholders.
    const bool keywordFirst = keyword.start < value2.start;
    const Span left = keywordFirst ? keyword : value2;
    const Span right = keywordFirst ? value2 : keyword;
    const std::size_t between = left.start + left.length;
    if (between > right.start) return QueryLearning::RegionsOverlap;

    const int32_t v2 = leadingNumber(page2.substr(value2.start, value2.length));
    const int32_t v3 = leadingNumber(page3.substr(value3.start, value3.length));
    definition.pageStep = wrapToInt32(int64_t{v3} - v2);
    definition.pageOffset = wrapToInt32(int64_t{v2} - definition.pageStep);
    definition.queryTemplate = escapePercents(page2.substr(0, left.start)) +
                               (keywordFirst ? "%s" : "%d") +
                               escapePercents(page2.substr(between, right.start - between)) +
                               (keywordFirst ? "%d" : "%s") +
                               escapePercents(page2.substr(right.start + right.length));
    return QueryLearning::Learnt;
}

bool learnQueryTemplate(EngineDefinition& definition) {
    return learnQueryAddress(definition) == QueryLearning::Learnt;
}

}  // namespace vexor
