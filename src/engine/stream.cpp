#include "engine/stream.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/error.h"

namespace quor {

// ---- reading ----

bool StreamReader::take(void* out, std::size_t n) {
    const std::size_t have = std::min(n, remaining());
    std::memset(out, 0, n);
    if (have) std::memcpy(out, data_.data() + pos_, have);
    if (have < n) short_ = true;
    pos_ = std::max(pos_, std::min(pos_ + n, data_.size()));
    return have == n;
}

void StreamReader::skip(std::size_t n) {
    if (n > remaining()) {
        short_ = true;
        pos_ = std::max(pos_, data_.size());
        return;
    }
    pos_ += n;
}

std::uint8_t StreamReader::u8() {
    unsigned char b[1];
    take(b, 1);
    return b[0];
}

std::uint16_t StreamReader::u16() {
    unsigned char b[2];
    take(b, 2);
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::int16_t StreamReader::i16() { return static_cast<std::int16_t>(u16()); }

std::uint32_t StreamReader::u32() {
    unsigned char b[4];
    take(b, 4);
    return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
           (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

std::int32_t StreamReader::i32() { return static_cast<std::int32_t>(u32()); }

bool StreamReader::flag16() { return u16() != 0; }

std::string StreamReader::bytes(std::size_t n) {
    const std::size_t have = std::min(n, remaining());
    std::string out(atEnd() ? std::string_view{} : data_.substr(pos_, have));
    skip(n);
    return out;
}

std::string StreamReader::zeroTerminated() {
    if (atEnd()) {
        short_ = true;
        return {};
    }
    std::size_t end = data_.find('\0', pos_);
    if (end == std::string_view::npos) {
        std::string out(data_.substr(pos_));
        pos_ = data_.size();
        short_ = true;
        return out;
    }
    std::string out(data_.substr(pos_, end - pos_));
    pos_ = end + 1;
    return out;
}

std::string StreamReader::vtext(int version) {
    if (version < kFirstCountedVersion) return zeroTerminated();
    std::uint16_t n = u16();
    std::string out = bytes(n);
    u8();  // the writer's trailing 0, never looked at
    return out;
}

std::vector<std::string> StreamReader::vlines(int version) {
    std::vector<std::string> lines;
    if (version < kFirstCountedVersion) {
        // Characters; 13 ends a line, 0 ends the list. An empty line just
        // before the closing 0 is not added.
        std::string cur;
        for (;;) {
            if (atEnd()) {
                short_ = true;
                if (!cur.empty()) lines.push_back(std::move(cur));
                return lines;
            }
            char c = static_cast<char>(u8());
            if (c == 0) {
                if (!cur.empty()) lines.push_back(std::move(cur));
                return lines;
            }
            if (c == 13) {
                lines.push_back(std::move(cur));
                cur.clear();
            } else {
                cur.push_back(c);
            }
        }
    }
    // The count only says whether the list is empty; the separators end it.
    if (u16() == 0) {
        u8();
        return lines;
    }
    for (;;) {
        std::uint16_t n = u16();
        lines.push_back(bytes(n));
        std::uint8_t sep = u8();
        if (sep == 0 || short_) return lines;
    }
}

// ---- writing ----

void StreamWriter::bytes(std::string_view b) {
    if (pos_ > buf_.size()) buf_.resize(pos_, '\0');
    const std::size_t overlap = std::min(b.size(), buf_.size() - pos_);
    buf_.replace(pos_, overlap, b.data(), b.size());
    pos_ += b.size();
}

void StreamWriter::u8(std::uint8_t v) {
    char c = static_cast<char>(v);
    bytes(std::string_view(&c, 1));
}

void StreamWriter::u16(std::uint16_t v) {
    char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    bytes(std::string_view(b, 2));
}

void StreamWriter::u32(std::uint32_t v) {
    char b[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                 static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
    bytes(std::string_view(b, 4));
}

void StreamWriter::counted(std::string_view s) {
    if (s.size() > std::numeric_limits<std::uint16_t>::max())
        throw FormatError("Строка длиннее 65535 байт не помещается в поток отчёта");
    u16(static_cast<std::uint16_t>(s.size()));
    bytes(s);
}

void StreamWriter::text16(std::string_view s) {
    counted(s);
    u8(0);
}

void StreamWriter::vtext(std::string_view s) {
    if (version_ >= kFirstCountedVersion) {
        text16(s);
        return;
    }
    // The old layout cannot hold a 0 byte: the text ends there.
    bytes(s.substr(0, s.find('\0')));
    u8(0);
}

void StreamWriter::countedLines(const std::vector<std::string>& lines) {
    // Readers take the count only as "empty or not" and follow the
    // separators, so a longer list (a long document's text) keeps every line
    // with the count held at its largest value.
    constexpr std::size_t kMaxCount = std::numeric_limits<std::uint16_t>::max();
    u16(static_cast<std::uint16_t>(std::min(lines.size(), kMaxCount)));
    if (lines.empty()) {
        u8(0);
        return;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        counted(lines[i]);
        u8(i + 1 < lines.size() ? 13 : 0);
    }
}

void StreamWriter::lines16(const std::vector<std::string>& lines) { countedLines(lines); }

void StreamWriter::vlines(const std::vector<std::string>& lines) {
    if (version_ >= kFirstCountedVersion) {
        countedLines(lines);
        return;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        bytes(std::string_view(l).substr(0, std::min(l.find('\0'), l.find('\r'))));
        if (i + 1 < lines.size()) u8(13);
    }
    u8(0);
}

std::size_t StreamWriter::placeholderI32() {
    std::size_t at = pos_;
    i32(0);
    return at;
}

void StreamWriter::patchI32(std::size_t at, std::int32_t v) {
    std::size_t keep = pos_;
    pos_ = at;
    i32(v);
    pos_ = keep;
}

}  // namespace quor
