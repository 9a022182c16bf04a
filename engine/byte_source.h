// Bounds-checked reading of little-endian fields from a byte string. Every getter checks what is
// left before it takes anything; once a read has failed the source stays failed and every
// further getter returns zero or empty, so a caller may test failed() once or after each field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vexor {

class ByteSource {
public:
    explicit ByteSource(std::string_view bytes) : bytes_(bytes) {}

    bool failed() const { return failed_; }
    std::size_t remaining() const { return failed_ ? 0 : bytes_.size() - position_; }

    // The next count bytes, or empty (and failed) when fewer are left.
    std::string_view take(std::size_t count) {
        if (failed_ || count > bytes_.size() - position_) {
            failed_ = true;
            return {};
        }
        const std::string_view taken = bytes_.substr(position_, count);
        position_ += count;
        return taken;
    }

    // The next count bytes without taking them; empty when fewer are left.
    std::string_view peek(std::size_t count) const {
        if (failed_ || count > bytes_.size() - position_) return {};
        return bytes_.substr(position_, count);
    }

    // Marks the source failed, for content that is well formed byte by byte but not as a whole.
    void fail() { failed_ = true; }

    uint8_t u8() { return static_cast<uint8_t>(little(1)); }
    uint16_t u16() { return static_cast<uint16_t>(little(2)); }
    uint32_t u32() { return static_cast<uint32_t>(little(4)); }
    int32_t i32() { return static_cast<int32_t>(u32()); }

    // A 32-bit byte count and that many bytes. The count is checked against what is left
    // before anything is taken, so a huge count fails without allocating.
    std::string_view counted() { return take(u32()); }

private:
    uint64_t little(std::size_t width) {
        const std::string_view field = take(width);
        uint64_t value = 0;
        for (std::size_t i = field.size(); i > 0; --i)
            value = (value << 8) | static_cast<unsigned char>(field[i - 1]);
        return value;
    }

    std::string_view bytes_;
    std::size_t position_ = 0;
    bool failed_ = false;
};

}  // namespace vexor
