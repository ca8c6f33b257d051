#pragma once

// Laying a memo's text out into output lines: breaking one source line
// (WrapLine), hyphenation points (BreakPoints) and the whole text (WrapText).
// Everything here measures on a Canvas and knows nothing of views, so the
// rules can be checked on any surface.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"

namespace quor {

// Closes every output line that ends a paragraph. Prepared pages store it, so
// a memo read back from a page is recognised as already laid out.
inline constexpr char kLineEndMarker = '\x01';

inline bool endsWithLineEnd(std::string_view line) {
    return !line.empty() && line.back() == kLineEndMarker;
}
inline bool holdsLineEnd(std::string_view line) {
    return line.find(kLineEndMarker) != std::string_view::npos;
}

// Positions i (1-based) after which a word may be hyphenated, in increasing
// order. Works on Windows-1251 letters; Latin words have none.
std::vector<int> BreakPoints(std::string_view word);

// Breaks one source line into output lines no wider than maxWidth.
// Only CR, LF and space are special; every other byte is a glyph.
class LineWrapper {
public:
    LineWrapper(Canvas& canvas, int maxWidth, bool wordBreak, std::vector<std::string>& out);
    void WrapLine(std::string_view s);

private:
    int width(std::string_view s) { return canvas_.textWidth(s); }
    void add(std::string line) { out_.push_back(std::move(line)); }

    Canvas& canvas_;
    int maxWidth_;
    bool wordBreak_;
    std::vector<std::string>& out_;
};

// Geometry of a view as ApplyScale left it.
struct TextBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int gapX = 0;
    int gapY = 0;
};

struct WrapTextInput {
    TextBox box;
    FontSpec font;          // the memo font; pointSize gives the height
    int lineSpacing = 0;
    int charSpacing = 0;
    bool turned = false;    // Alignment bit 2
    bool wordWrap = false;
    bool wordBreak = false;
    bool textIsPrepared = false;  // lines already carry their markers
    bool editing = false;         // a template is edited, not built
};

struct TextLayout {
    std::vector<std::string> lines;
    int textHeight = 0;  // lines x lineStep + both gaps along the text flow
    int lineStep = 0;
};

// Pixel height (negative: the em height) of a font of this size at 96 dpi,
// the resolution every layout is made at.
int designFontHeight(int pointSize);

// Distance from one line to the next; refuses spacing that would not move
// the next line down at all.
int checkedLineStep(int lineSpacing, int fontPixelHeight);

// Lays the lines out on the measuring canvas. Sets the canvas font and
// character spacing.
TextLayout WrapText(Canvas& measure, const std::vector<std::string>& source,
                    const WrapTextInput& in);

}  // namespace quor
