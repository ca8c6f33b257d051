#pragma once

// What the text path needs to measure and draw a line of bytes without
// shaping it: for one resolved font and one code page, the advance and glyph
// of every byte, which bytes the font itself has, and whether the font is
// "simple" (one glyph per character, and a shaped run of any byte pairs
// puts its glyphs exactly where the single advances add up to).
//
// A line qualifies for the table when the font is simple and has all its
// bytes; anything else (a ligature font, a byte that only a fallback font
// draws, right-to-left text) goes the shaping way.

#include <QFont>
#include <QRawFont>

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/codepage.h"

namespace quor {

class FontTable {
public:
    // The table of a font from a small cache of recently used ones; the font
    // is taken as set (pixel size, weight, italic), its decorations ignored.
    static std::shared_ptr<const FontTable> of(const QFont& font, CodePage page);

    FontTable(const QFont& font, CodePage page);

    bool simple() const { return simple_; }
    // Simple, and every byte has a glyph of this font.
    bool covers(std::string_view bytes) const;
    // Pixels, without extra spacing; only meaningful for covered bytes.
    double advance(unsigned char byte) const { return advances_[byte]; }
    double advance(std::string_view bytes) const;
    std::uint32_t glyph(unsigned char byte) const { return glyphs_[byte]; }
    const QRawFont& rawFont() const { return raw_; }

private:
    QRawFont raw_;
    std::array<double, 256> advances_{};
    std::array<std::uint32_t, 256> glyphs_{};
    std::array<bool, 256> has_{};
    bool simple_ = false;
};

}  // namespace quor
