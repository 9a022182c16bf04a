// Escaping, conversion and case-blind matching of keywords.
#include "web/keyword_forms.h"

#include <vector>

#include "platform/bytes.h"
#include "platform/text.h"

namespace vexor {

std::string percentEncode(const std::string& bytes) {
    std::string encoded;
    encoded.reserve(bytes.size() * 3);
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t width = leadByteStep(bytes, i);
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (isLeadByte(c)) {
            // Both bytes of the character, even a second byte that is an ASCII letter.
            for (std::size_t k = 0; k < width; ++k)
                appendHexEscape(encoded, static_cast<unsigned char>(bytes[i + k]));
        } else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                   c == '*' || c == '-' || c == '.' || c == '@' || c == '_') {
            encoded += static_cast<char>(c);
        } else if (c == ' ') {
            encoded += '+';
        } else {
            appendHexEscape(encoded, c);
        }
        i += width;
    }
    return encoded;
}

std::string toUtf8(const std::string& keyword) { return cp932ToUtf8(keyword); }

namespace {

// One byte of an address as a query reader sees it, and where it was written.
struct DecodedByte {
    char byte;
    std::size_t at;
};

std::vector<DecodedByte> decodeQueryBytes(const std::string& address) {
    std::vector<DecodedByte> decoded;
    decoded.reserve(address.size());
    for (std::size_t i = 0; i < address.size(); ++i) {
        const char c = address[i];
        if (c == '%' && i + 2 < address.size() && hexValue(address[i + 1]) >= 0 &&
            hexValue(address[i + 2]) >= 0) {
            const int byte = hexValue(address[i + 1]) * 16 + hexValue(address[i + 2]);
            decoded.push_back({static_cast<char>(byte), i});
            i += 2;
        } else {
            decoded.push_back({c == '+' ? ' ' : c, i});
        }
    }
    return decoded;
}

// For each byte of keyword: whether it is an ASCII letter standing as a character of its own.
std::vector<bool> caseBlindBytes(const std::string& keyword, ByteScan scan) {
    std::vector<bool> blind(keyword.size(), false);
    for (std::size_t i = 0; i < keyword.size();) {
        const std::size_t width = scan == ByteScan::CodePage932 ? leadByteStep(keyword, i) : 1;
        const char c = keyword[i];
        blind[i] = width == 1 && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'));
        i += width;
    }
    return blind;
}

}  // namespace

std::size_t findEscapedKeyword(const std::string& address, const std::string& keyword, ByteScan scan) {
    if (keyword.empty()) return 0;
    const std::vector<DecodedByte> decoded = decodeQueryBytes(address);
    const std::vector<bool> blind = caseBlindBytes(keyword, scan);
    for (std::size_t start = 0; start + keyword.size() <= decoded.size(); ++start) {
        std::size_t k = 0;
        for (; k < keyword.size(); ++k) {
            const char got = decoded[start + k].byte;
            if (blind[k] ? lowerAscii(got) != lowerAscii(keyword[k]) : got != keyword[k]) break;
        }
        if (k == keyword.size()) return decoded[start].at;
    }
    return std::string::npos;
}

}  // namespace vexor
