// Escaping texts for HTML.
#include "app/html_text.h"

#include "platform/text.h"

namespace vexor {

std::string htmlEscaped(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string htmlText(const std::string& cp932) { return htmlEscaped(cp932ToUtf8(cp932)); }

}  // namespace vexor
