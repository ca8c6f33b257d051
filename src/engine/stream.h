#pragma once

// Little-endian byte streams of templates and prepared pages.
//
// StreamReader never reads outside its buffer: reading past the end is not
// an error by itself; the missing bytes read as zero and the reader
// remembers that it ran short. No length field makes it allocate more than
// the bytes that are actually there.
//
// Strings and line lists have two layouts: from version 23 on they are
// length-prefixed (`vtext`, `vlines`), before that zero-terminated. `text16`
// and `lines16` are always length-prefixed.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quor {

// First stream version whose strings are length-prefixed.
inline constexpr int kFirstCountedVersion = 23;
// The version this system writes.
inline constexpr int kCurrentStreamVersion = 24;

class StreamReader {
public:
    // The reader views the bytes; they must outlive it.
    explicit StreamReader(std::string_view data) : data_(data) {}
    // A temporary string would be gone before the first read.
    explicit StreamReader(std::string&&) = delete;

    std::size_t size() const { return data_.size(); }
    std::size_t position() const { return pos_; }
    // Any position may be set; beyond the end every read runs short.
    void seek(std::size_t pos) { pos_ = pos; }
    void skip(std::size_t n);
    bool atEnd() const { return pos_ >= data_.size(); }
    std::size_t remaining() const { return atEnd() ? 0 : data_.size() - pos_; }
    // Some read wanted bytes that were not there.
    bool ranShort() const { return short_; }

    std::uint8_t u8();
    std::uint16_t u16();
    std::int16_t i16();
    std::int32_t i32();
    std::uint32_t u32();
    bool flag16();
    // Up to n bytes (fewer when the stream ends).
    std::string bytes(std::size_t n);

    std::string vtext(int version);
    std::string text16() { return vtext(kCurrentStreamVersion); }
    std::vector<std::string> vlines(int version);
    std::vector<std::string> lines16() { return vlines(kCurrentStreamVersion); }

private:
    bool take(void* out, std::size_t n);
    std::string zeroTerminated();

    std::string_view data_;
    std::size_t pos_ = 0;
    bool short_ = false;
};

class StreamWriter {
public:
    // `version` decides the layout of vtext/vlines and of the bodies that
    // consult it; this system writes 24.
    explicit StreamWriter(int version = kCurrentStreamVersion) : version_(version) {}

    int version() const { return version_; }
    const std::string& data() const { return buf_; }
    std::string take() { return std::move(buf_); }
    std::size_t size() const { return buf_.size(); }
    std::size_t position() const { return pos_; }
    // Writes go to the position; a position beyond the end pads with zeros.
    void seek(std::size_t pos) { pos_ = pos; }
    void seekEnd() { pos_ = buf_.size(); }

    void u8(std::uint8_t v);
    void u16(std::uint16_t v);
    void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void u32(std::uint32_t v);
    void flag16(bool v) { u16(v ? 0xFFFF : 0); }
    void bytes(std::string_view b);

    // Strings longer than 65535 bytes do not fit a length prefix: they raise
    // quor::FormatError rather than being cut.
    void vtext(std::string_view s);
    void text16(std::string_view s);
    void vlines(const std::vector<std::string>& lines);
    void lines16(const std::vector<std::string>& lines);

    // An i32 to be filled in later (an end position): returns where it is.
    std::size_t placeholderI32();
    // Fills a placeholder and leaves the position where it was.
    void patchI32(std::size_t at, std::int32_t v);

private:
    void counted(std::string_view s);
    void countedLines(const std::vector<std::string>& lines);

    int version_;
    std::string buf_;
    std::size_t pos_ = 0;
};

}  // namespace quor
