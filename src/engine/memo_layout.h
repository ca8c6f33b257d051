#pragma once

// Laying a memo's text out into output lines: breaking one source line
// (WrapLine), hyphenation points (BreakPoints) and the whole text (WrapText).
// Everything here measures on a Canvas and knows nothing of views, so the
// rules can be checked on any surface.

#include <cstddef>
#include <span>
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

// Appends text to a line list the way a text block is read: CR LF, CR and LF
// each end a line; a break at the very end adds no empty line.
void appendAsText(std::vector<std::string>& list, std::string_view text);

// Laid-out lines still to be printed. A page takes lines off the front;
// that costs the lines taken, never the lines left, so a long text is cut
// into pages in linear time.
class PendingLines {
public:
    void assign(std::vector<std::string> lines) {
        lines_ = std::move(lines);
        head_ = 0;
    }
    void clear() { assign({}); }
    std::size_t size() const { return lines_.size() - head_; }
    bool empty() const { return size() == 0; }
    const std::string& operator[](std::size_t i) const { return lines_[head_ + i]; }
    std::span<const std::string> lines() const {
        return std::span<const std::string>(lines_).subspan(head_);
    }
    // Drops the first n lines (all of them when n is larger).
    void dropFront(std::size_t n);

private:
    std::vector<std::string> lines_;
    std::size_t head_ = 0;
};

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
    // Stored pages are drawn whatever their spacing; a build refuses a step
    // that does not move down.
    bool acceptAnyStep = false;
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
