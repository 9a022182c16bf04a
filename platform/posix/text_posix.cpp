// Code page 932 conversions through iconv.
#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include "platform/cp932_units.h"
#include "platform/text.h"

namespace vexor {
namespace {

// Converts all of input; at a character the target cannot take, onFailure decides: skip that
// many input bytes (> 0) or give up (0). Returns nothing when iconv cannot be opened or the
// conversion gave up.
template <typename SkipLength>
std::optional<std::string> convert(const char* to, const char* from, const std::string& input,
                                   SkipLength skipLength) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string output;
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char chunk[1024];
    bool failed = false;
    while (inLeft > 0) {
        char* out = chunk;
        std::size_t outLeft = sizeof chunk;
        const std::size_t done = iconv(cd, &in, &inLeft, &out, &outLeft);
        output.append(chunk, static_cast<std::size_t>(out - chunk));
        if (done != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        const std::size_t skip = skipLength(static_cast<std::size_t>(in - input.data()));
        if (skip == 0) {
            failed = true;
            break;
        }
        in += skip;
        inLeft -= skip;
    }
    iconv_close(cd);
    if (failed) return std::nullopt;
    return output;
}

}  // namespace

std::string cp932ToUtf8(const std::string& text) {
    const std::string clean = withoutStrayBytes(text);
    // What is left fails only at a pair that code page 932 leaves unassigned: drop the pair.
    return convert("UTF-8", "CP932", clean, [&](std::size_t at) {
               return std::max<std::size_t>(cp932CharLength(clean, at), 1);
           }).value_or(std::string());
}

std::optional<std::string> utf8ToCp932(const std::string& text) {
    return convert("CP932", "UTF-8", text, [](std::size_t) { return std::size_t{0}; });
}

}  // namespace vexor
