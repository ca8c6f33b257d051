#pragma once

// Little-endian reads from a byte range that can never leave the range: a
// read past the end yields zero, and callers test has() before they rely on
// a field. Metafile records are read through it.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace quor::metafile {

class ByteView {
public:
    ByteView() = default;
    ByteView(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}
    explicit ByteView(std::string_view s)
        : data_(reinterpret_cast<const unsigned char*>(s.data())), size_(s.size()) {}

    std::size_t size() const { return size_; }
    const unsigned char* data() const { return data_; }
    bool has(std::size_t offset, std::size_t count) const {
        return offset <= size_ && count <= size_ - offset;
    }
    // The part [offset, offset + count), clipped to the range.
    ByteView sub(std::size_t offset, std::size_t count) const {
        if (offset > size_) return {};
        if (count > size_ - offset) count = size_ - offset;
        return ByteView(data_ + offset, count);
    }

    std::uint8_t u8(std::size_t o) const { return has(o, 1) ? data_[o] : 0; }
    std::uint16_t u16(std::size_t o) const {
        return has(o, 2) ? static_cast<std::uint16_t>(data_[o] | (data_[o + 1] << 8)) : 0;
    }
    std::int16_t i16(std::size_t o) const { return static_cast<std::int16_t>(u16(o)); }
    std::uint32_t u32(std::size_t o) const {
        if (!has(o, 4)) return 0;
        return std::uint32_t(data_[o]) | (std::uint32_t(data_[o + 1]) << 8) |
               (std::uint32_t(data_[o + 2]) << 16) | (std::uint32_t(data_[o + 3]) << 24);
    }
    std::int32_t i32(std::size_t o) const { return static_cast<std::int32_t>(u32(o)); }
    float f32(std::size_t o) const {
        std::uint32_t bits = u32(o);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }

private:
    const unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace quor::metafile
