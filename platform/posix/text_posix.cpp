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
// One converter per direction and thread, opened once: opening one costs more than converting a
// short text, and a descriptor must not be shared between threads.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial shift state
        return cd_;
    }

private:
    iconv_t cd_;
};

template <typename SkipLength>
std::optional<std::string> convert(Converter& converter, const std::string& input,
                                   SkipLength skipLength) {
    if (!converter.valid()) return std::nullopt;
    iconv_t cd = converter.get();
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
    if (failed) return std::nullopt;
    return output;
}

}  // namespace

std::string cp932ToUtf8(const std::string& text) {
    const std::string clean = withoutStrayBytes(text);
    // What is left fails only at a pair that code page 932 leaves unassigned: drop the pair.
    thread_local Converter fromCp932("UTF-8", "CP932");
    return convert(fromCp932, clean, [&](std::size_t at) {
               return std::max<std::size_t>(cp932CharLength(clean, at), 1);
           }).value_or(std::string());
}

std::optional<std::string> utf8ToCp932(const std::string& text) {
    thread_local Converter toCp932("CP932", "UTF-8");
    return convert(toCp932, text, [](std::size_t) { return std::size_t{0}; });
}

}  // namespace vexor
