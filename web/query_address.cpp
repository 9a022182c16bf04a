// Expanding a learnt query template, and the escaping and matching that learning shares.
#include "web/query_address.h"

#include <optional>

#include "platform/text.h"

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

std::string keywordForm(const std::string& keyword, KeywordEncoding encoding) {
    switch (encoding) {
        case KeywordEncoding::EucJp: return percentEncode(toEucJp(keyword));
        case KeywordEncoding::Utf8: return percentEncode(toUtf8(keyword));
        default: return keyword;
    }
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

}  // namespace

std::string buildQueryAddress(const std::string& queryTemplate, const std::string& keyword,
                              int32_t page, int32_t pageStep, int32_t pageOffset,
                              KeywordEncoding keywordEncoding) {
    const Placeholders at = findPlaceholders(queryTemplate);
    if (!at.number || !at.keyword) return std::string();
    // 32-bit arithmetic that wraps instead of overflowing.
    const auto value = static_cast<int32_t>(
        static_cast<uint32_t>(pageOffset) +
        static_cast<uint32_t>(pageStep) * (static_cast<uint32_t>(page) - 1u));
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

std::string percentEncode(const std::string& bytes) {
    static constexpr char HEX[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(bytes.size() * 3);
    auto escape = [&](unsigned char c) {
        encoded += '%';
        encoded += HEX[c >> 4];
        encoded += HEX[c & 0x0F];
    };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (isLeadByte(c)) {
            escape(c);
            if (i + 1 < bytes.size()) escape(static_cast<unsigned char>(bytes[++i]));
        } else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                   c == '*' || c == '-' || c == '.' || c == '@' || c == '_') {
            encoded += static_cast<char>(c);
        } else if (c == ' ') {
            encoded += '+';
        } else {
            escape(c);
        }
    }
    return encoded;
}

std::string toUtf8(const std::string& keyword) { return cp932ToUtf8(keyword); }

std::size_t findIgnoringCase(const std::string& haystack, const std::string& needle) {
    std::string lowHaystack = haystack;
    std::string lowNeedle = needle;
    for (char& c : lowHaystack) c = lowerAscii(c);
    for (char& c : lowNeedle) c = lowerAscii(c);
    return lowHaystack.find(lowNeedle);
}

}  // namespace vexor
