// Query addresses for arbitrary templates and keywords in every keyword encoding: no crash, the
// same address twice, an address exactly when the template holds both placeholders, the page
// value in it, and an escaped keyword that carries no raw non-ASCII byte, space or "&".
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/query_address.h"

namespace {

// Whether the template holds "%d" and "%s" as a printf-style reading finds them.
bool hasPlaceholders(const std::string& text) {
    bool number = false;
    bool keyword = false;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '%') continue;
        number = number || text[i + 1] == 'd';
        keyword = keyword || text[i + 1] == 's';
        if (text[i + 1] == '%' || text[i + 1] == 'd' || text[i + 1] == 's') ++i;
    }
    return number && keyword;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 10) return 0;
    const auto number = [&](std::size_t at) {
        return static_cast<int32_t>(data[at] | data[at + 1] << 8 | data[at + 2] << 16 |
                                    static_cast<uint32_t>(data[at + 3]) << 24);
    };
    const int32_t step = number(0);
    const int32_t offset = number(4);
    const auto encoding = static_cast<vexor::KeywordEncoding>(data[8] % 4);
    const std::string rest(reinterpret_cast<const char*>(data) + 9, size - 9);
    const std::size_t split = rest.find('\0');
    const std::string queryTemplate = rest.substr(0, split);
    const std::string keyword = split == std::string::npos ? "" : rest.substr(split + 1);

    for (int32_t page = 1; page <= 10; ++page) {
        const std::string address =
            vexor::buildQueryAddress(queryTemplate, keyword, page, step, offset, encoding);
        if (address != vexor::buildQueryAddress(queryTemplate, keyword, page, step, offset, encoding))
            __builtin_trap();
        if (address.empty() != !hasPlaceholders(queryTemplate)) __builtin_trap();
        if (address.empty()) continue;
        const auto value = static_cast<int32_t>(static_cast<uint32_t>(offset) +
                                                static_cast<uint32_t>(step) * static_cast<uint32_t>(page - 1));
        if (address.find(std::to_string(value)) == std::string::npos) __builtin_trap();
        if (encoding == vexor::KeywordEncoding::EucJp || encoding == vexor::KeywordEncoding::Utf8) {
            // Alone in a template, the keyword's form is the whole address but for the number.
            const std::string alone =
                vexor::buildQueryAddress("%s|%d", keyword, page, step, offset, encoding);
            const std::string form = alone.substr(0, alone.rfind('|'));
            for (const char c : form)
                if (static_cast<unsigned char>(c) >= 0x80 || c == ' ' || c == '&' || c == '#')
                    __builtin_trap();
        }
    }
    return 0;
}
