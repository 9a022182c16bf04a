// Preparing code page 932 texts for a line of a terminal.
#include "cli/terminal_text.h"

#include "platform/text.h"

namespace vexor::cli {

TerminalText terminalText(const std::string& cp932) {
    std::string shown;
    std::size_t width = 0;
    for (std::size_t i = 0; i < cp932.size(); ++i) {
        const auto c = static_cast<unsigned char>(cp932[i]);
        if (isLeadByte(c)) {
            if (i + 1 < cp932.size()) {
                shown.append(cp932, i, 2);
                width += 2;
            }
            ++i;  // a lead byte without its second byte is dropped by the conversion anyway
        } else {
            shown.push_back(c < 0x20 || c == 0x7F ? ' ' : static_cast<char>(c));
            width += 1;
        }
    }
    return {cp932ToUtf8(shown), width};
}

}  // namespace vexor::cli
