// Writing little-endian fields to a byte string, the counterpart of ByteSource: what one writes
// field by field, the other reads back field by field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vexor {

class ByteSink {
public:
    const std::string& bytes() const { return bytes_; }

    void raw(std::string_view bytes) { bytes_ += bytes; }
    void u8(uint8_t value) { little(value, 1); }
    void u16(uint16_t value) { little(value, 2); }
    void u32(uint32_t value) { little(value, 4); }
    void i32(int32_t value) { u32(static_cast<uint32_t>(value)); }

    // A 32-bit byte count and the bytes, as ByteSource::counted reads them.
    void counted(std::string_view bytes) {
        u32(static_cast<uint32_t>(bytes.size()));
        raw(bytes);
    }

private:
    void little(uint64_t value, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i) bytes_ += static_cast<char>((value >> (8 * i)) & 0xFF);
    }

    std::string bytes_;
};

}  // namespace vexor
