// Expanding a learnt query template.
#include "engine/query_address.h"

#include <optional>

#include "platform/bytes.h"
#include "web/euc_jp.h"
#include "web/keyword_forms.h"

namespace vexor {
namespace {

// Where the template's placeholders stand, read as printf reads a format: "%%" is one
// literal "%", so "%%d" holds no placeholder.
struct Placeholders {
    std::optional<std::size_t> number;
    std::optional<std::size_t> keyword;
};

Placeholders findPlaceholders(const std::string& queryTemplate) {
    Placeholders found;
    for (std::size_t i = 0; i + 1 < queryTemplate.size(); ++i) {
        if (queryTemplate[i] != '%') continue;
        const char kind = queryTemplate[i + 1];
        if (kind == 'd' && !found.number) found.number = i;
        if (kind == 's' && !found.keyword) found.keyword = i;
        if (kind == '%' || kind == 'd' || kind == 's') ++i;
    }
    return found;
}

// Escaped in every encoding: learning chose the encoding by the escaped form, and a keyword
// such as "Q&A", "C#" or "1+1" sent as it is would end its parameter or lose characters.
std::string keywordForm(const std::string& keyword, KeywordEncoding encoding) {
    switch (encoding) {
        case KeywordEncoding::EucJp: return percentEncode(toEucJp(keyword));
        case KeywordEncoding::Utf8: return percentEncode(toUtf8(keyword));
        default: return percentEncode(keyword);
    }
}

}  // namespace

std::string buildQueryAddress(const std::string& queryTemplate, const std::string& keyword,
                              int32_t page, int32_t pageStep, int32_t pageOffset,
                              KeywordEncoding keywordEncoding) {
    const Placeholders at = findPlaceholders(queryTemplate);
    if (!at.number || !at.keyword) return std::string();
    const int32_t value = wrapToInt32(int64_t{pageOffset} + int64_t{pageStep} * (int64_t{page} - 1));
    const std::string number = std::to_string(value);
    const std::string form = keywordForm(keyword, keywordEncoding);

    std::string address;
    address.reserve(queryTemplate.size() + form.size() + number.size());
    for (std::size_t i = 0; i < queryTemplate.size(); ++i) {
        if (i == *at.number) {
            address += number;
            ++i;
        } else if (i == *at.keyword) {
            address += form;
            ++i;
        } else if (queryTemplate[i] == '%' && i + 1 < queryTemplate.size() &&
                   queryTemplate[i + 1] == '%') {
            address += '%';
            ++i;
        } else {
            address += queryTemplate[i];  // any other "%" sequence is kept as it stands
        }
    }
    return address;
}

std::string queryAddressOf(const EngineDefinition& engine, const std::string& keyword, int32_t page) {
    return buildQueryAddress(engine.queryTemplate, keyword, page, engine.pageStep, engine.pageOffset,
                             engine.keywordEncoding);
}

}  // namespace vexor
