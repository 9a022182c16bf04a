// Placeholder filling for the system texts. The texts are code page 932, whose second bytes
// never take the value of "%" (0x25), so a byte scan is safe.
#include "app/text_format.h"

namespace vexor {
namespace {

std::string replaceFirst(const char* pattern, char kind, const std::string& value) {
    const std::string text = pattern;
    std::string result;
    result.reserve(text.size() + value.size());
    bool replaced = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size()) {
            if (text[i + 1] == '%') {
                result += '%';
                ++i;
                continue;
            }
            if (text[i + 1] == kind && !replaced) {
                result += value;
                replaced = true;
                ++i;
                continue;
            }
        }
        result += text[i];
    }
    return result;
}

}  // namespace

std::string formatWithText(const char* pattern, const std::string& value) {
    return replaceFirst(pattern, 's', value);
}

std::string formatWithNumber(const char* pattern, long long value) {
    return replaceFirst(pattern, 'd', std::to_string(value));
}

}  // namespace vexor
