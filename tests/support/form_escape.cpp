#include "form_escape.h"

namespace vexor::testing {

std::string formEscaped(const std::string& bytes) {
    static constexpr char HEX[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : bytes) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '*' ||
            c == '-' || c == '.' || c == '_') {
            out += static_cast<char>(c);
        } else if (c == ' ') {
            out += '+';
        } else {
            out += '%';
            out += HEX[c >> 4];
            out += HEX[c & 0x0F];
        }
    }
    return out;
}

}  // namespace vexor::testing
