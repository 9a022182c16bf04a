// Escaping, conversion and case-blind matching of keywords.
#include "web/keyword_forms.h"

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

std::size_t findIgnoringCase(const std::string& haystack, const std::string& needle) {
    return lowerAscii(haystack).find(lowerAscii(needle));
}

}  // namespace vexor
