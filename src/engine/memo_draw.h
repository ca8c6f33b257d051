#pragma once

// Placing and drawing a memo's output lines on a device: the scaled font,
// the position of every line for each alignment, justification, turned text,
// the fit count used when a page is cut, underlines and the width a text
// needs. Pure functions of a Canvas and the memo's scaled geometry.

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "platform/canvas.h"
#include "platform/geometry.h"

namespace quor {

// Alignment bits of a memo.
enum MemoAlignment : unsigned {
    kMemoLeft = 0,
    kMemoRight = 1,
    kMemoCenter = 2,
    kMemoJustify = 3,
    kMemoHorizontalMask = 3,
    kMemoTurned = 4,       // rotated by 90 degrees, running upward
    kMemoVCenter = 8,
    kMemoBottom = 16,
    kMemoVerticalMask = 0x18,
};

// A view's geometry after ApplyScale, in device units.
struct ScaledBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int gapX = 0;
    int gapY = 0;
    Rect frameRect;
    double frameWidth = 1.0;  // already scaled
    unsigned frameTyp = 0;
};

struct DrawScale {
    double x = 1.0;
    double y = 1.0;
    bool forPrinter = false;
};

struct MemoTextFormat {
    FontSpec font;            // pointSize is the memo's size
    unsigned alignment = 0;
    int lineSpacing = 0;
    int charSpacing = 0;
    bool rtlReading = false;
};

// Pixel height (negative) of the memo font on a device. The printer takes the
// point size at its own resolution; the screen takes the pixel height from the
// scale, rounded at exactly 1 and truncated at any other scale.
int scaledFontHeight(int pointSize, const DrawScale& scale, int deviceDpiY);

// Puts the memo font on the canvas at that height, text background
// transparent. Returns the font's pixel height.
int SelectScaledFont(Canvas& canvas, const FontSpec& font, const DrawScale& scale);

enum class LinesMode {
    Draw,    // output on the canvas
    Fit,     // only count the lines that fit the box; nothing is drawn
    Export,  // hand every line to the export callback
};

struct ExportedLine {
    Rect frame;
    int x = 0;
    int y = 0;
    unsigned frameTyp = 0;
    std::string_view text;
};
using LineExport = std::function<void(const ExportedLine&)>;

struct DrawLinesResult {
    int linesDrawn = 0;
    int lineStep = 0;
};

// textHeight: the layout's height in design pixels.
DrawLinesResult DrawLines(Canvas& canvas, std::span<const std::string> lines, const ScaledBox& box,
                          const DrawScale& scale, const MemoTextFormat& format, int textHeight,
                          LinesMode mode, const LineExport& exportLine = {});

// One rule under every text row the box can hold.
void DrawUnderlines(Canvas& canvas, const ScaledBox& box, const DrawScale& scale,
                    const MemoTextFormat& format, Color color);

// The design width a text needs: widest line plus frame and both gaps.
// box holds the unscaled design geometry.
int CalcWidth(Canvas& canvas, std::span<const std::string> lines, const ScaledBox& box,
              const DrawScale& scale, const MemoTextFormat& format);

// Number of bytes that justification spreads extra pixels over.
int justificationSpaces(std::string_view text);

}  // namespace quor
