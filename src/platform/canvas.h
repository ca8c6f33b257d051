#pragma once

// The one drawing surface of the system. Report objects, the preview, the
// printer and the metafile player all draw through it; the operations are
// those of the GDI-like drawing model the report engine was designed for.
//
// Text is passed as bytes together with the font's character set; the
// surface converts it to glyphs where it meets the real renderer. Control
// bytes are never interpreted: they are measured and drawn as the DOS screen
// glyphs of the font.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/geometry.h"

namespace quor {

// 32-bit colour with red in the low byte.
using Color = std::uint32_t;
inline constexpr Color kNoColor = 0x1FFFFFFF;       // "no fill"
inline constexpr Color kButtonFaceColor = 0x8000000F;  // the platform's button face

inline constexpr int colorRed(Color c) { return static_cast<int>(c & 0xFF); }
inline constexpr int colorGreen(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
inline constexpr int colorBlue(Color c) { return static_cast<int>((c >> 16) & 0xFF); }
inline constexpr Color makeColor(int r, int g, int b) {
    return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// In-memory font style set (bold is the first member).
enum FontStyleBits : unsigned {
    kFontBold = 1,
    kFontItalic = 2,
    kFontUnderline = 4,
    kFontStrikeOut = 8,
};

// Character sets the system meets.
inline constexpr int kAnsiCharset = 0;      // Windows-1252
inline constexpr int kDefaultCharset = 1;   // the system's ANSI page: Windows-1251 here
inline constexpr int kRussianCharset = 204; // Windows-1251
inline constexpr int kOemCharset = 255;     // DOS: CP866

struct FontSpec {
    std::string name = "Arial";
    // Size in points, used when `height` is 0: the height then follows the
    // surface's resolution.
    int pointSize = 10;
    // Height in device pixels; negative is the character (em) height,
    // positive the cell height; 0 means "use pointSize".
    int height = 0;
    unsigned style = 0;  // FontStyleBits
    Color color = 0;
    int charset = kRussianCharset;
    // Angle of the text line in tenths of a degree (900: running upward).
    int escapement = 0;

    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

struct FontMetrics {
    int height = 0;  // ascent + descent
    int ascent = 0;
    int descent = 0;
    int internalLeading = 0;
    int averageCharWidth = 0;
};

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Null };
enum class PenMode { Copy, Xor };

struct PenSpec {
    Color color = 0;
    int width = 1;
    PenStyle style = PenStyle::Solid;
    PenMode mode = PenMode::Copy;
    friend bool operator==(const PenSpec&, const PenSpec&) = default;
};

struct BrushSpec {
    Color color = 0xFFFFFF;
    bool hollow = false;  // no fill
    friend bool operator==(const BrushSpec&, const BrushSpec&) = default;
};

enum class BackgroundMode { Transparent, Opaque };

// A decoded raster picture: 32-bit pixels 0xAARRGGBB, row by row, no padding.
struct RasterImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    bool isNull() const { return width <= 0 || height <= 0; }
};

// An outline made of figures, for shapes the simple operations don't cover
// (arcs, chords, pies, rounded rectangles, Bezier curves, poly-polygons).
// A figure starts with moveTo; bezierTo takes two control points and the end
// point; close() joins the figure's end to its start.
struct CanvasPath {
    enum class Op : std::uint8_t { Move, Line, Bezier, Close };
    std::vector<Op> ops;
    std::vector<Point> points;  // one per Move/Line, three per Bezier, none per Close

    void moveTo(Point p) { ops.push_back(Op::Move); points.push_back(p); }
    void lineTo(Point p) { ops.push_back(Op::Line); points.push_back(p); }
    void bezierTo(Point c1, Point c2, Point end) {
        ops.push_back(Op::Bezier);
        points.push_back(c1);
        points.push_back(c2);
        points.push_back(end);
    }
    void close() { ops.push_back(Op::Close); }
    bool isEmpty() const { return ops.empty(); }
    void clear() { ops.clear(); points.clear(); }
};

// Splits a path into polylines with the curves flattened; `closed` tells for
// each polyline whether its figure was closed.
void flattenPath(const CanvasPath& path, std::vector<std::vector<Point>>& polylines,
                 std::vector<bool>& closed);

class Metafile;

enum TextOutOptions : unsigned {
    kTextClipped = 1,      // clip to the given rectangle
    kTextOpaque = 2,       // fill the rectangle with the background colour first
    kTextRtlReading = 4,   // right-to-left reading order
};

class Canvas {
public:
    virtual ~Canvas() = default;

    // Facts about the surface.
    virtual int dpiX() const = 0;
    virtual int dpiY() const = 0;
    virtual bool isPrinter() const { return false; }
    virtual bool isRecording() const { return false; }

    // Fonts and text. Widths include the extra character spacing; the
    // space justification set by setTextJustification applies to the next
    // textOut only as far as the drawing model does: it stays in force until
    // it is set again (to 0 to switch it off).
    virtual void setFont(const FontSpec& font) = 0;
    virtual const FontSpec& font() const = 0;
    virtual FontMetrics fontMetrics() = 0;
    virtual int textWidth(std::string_view bytes) = 0;
    // Extent of a block whose lines are separated by CR LF, CR or LF; no word
    // breaking and no tab expansion.
    virtual Size textExtent(std::string_view bytes) = 0;
    virtual void setTextCharacterExtra(int pixels) = 0;
    virtual int textCharacterExtra() const = 0;
    virtual void setTextJustification(int extraPixels, int spaceCount) = 0;
    // Draws at (x, y) = top left of the text cell.
    virtual void textOut(int x, int y, std::string_view bytes, const Rect* clip = nullptr,
                         unsigned options = 0) = 0;
    virtual void setTextColor(Color color) = 0;
    // The same for Unicode text (metafiles carry UTF-16). The defaults go
    // through the font's code page (characters it lacks become '?'); the Qt
    // canvases draw the characters themselves.
    virtual int textWidthW(std::u16string_view text);
    virtual void textOutW(int x, int y, std::u16string_view text, const Rect* clip = nullptr,
                          unsigned options = 0);

    // Pens, brushes, shapes. Rectangles and lines follow the drawing model:
    // rectangle() outlines with the pen and fills with the brush, excluding
    // the right and bottom edge; line() excludes its end point.
    virtual void setPen(const PenSpec& pen) = 0;
    virtual const PenSpec& pen() const = 0;
    virtual void setBrush(const BrushSpec& brush) = 0;
    virtual const BrushSpec& brush() const = 0;
    virtual void setBackgroundMode(BackgroundMode mode) = 0;
    virtual void setBackgroundColor(Color color) = 0;
    virtual void fillRect(const Rect& r) = 0;  // with the brush, no outline
    virtual void rectangle(const Rect& r) = 0;
    virtual void line(int x1, int y1, int x2, int y2) = 0;
    virtual void polyline(const std::vector<Point>& points) = 0;
    virtual void polygon(const std::vector<Point>& points, bool winding = false) = 0;
    virtual void ellipse(const Rect& r) = 0;
    // Fills the closed figures with the brush (winding or alternate rule)
    // and/or outlines every figure with the pen. The default flattens the
    // curves and draws through polygon and polyline.
    virtual void drawPath(const CanvasPath& path, bool fill, bool stroke, bool winding = false);

    // Clipping, in device coordinates.
    virtual void save() = 0;
    virtual void restore() = 0;
    virtual void intersectClipRect(const Rect& r) = 0;
    virtual void excludeClipRect(const Rect& r) = 0;
    virtual Rect clipBox() const = 0;
    virtual bool rectVisible(const Rect& r) const = 0;

    // Pictures.
    virtual void drawImage(const Rect& dest, const RasterImage& image, bool smooth) = 0;
    // Plays the metafile's records stretched into dest (its frame fills
    // dest); the default plays them through the operations above.
    virtual void drawMetafile(const Rect& dest, const Metafile& metafile);
};

// Saves the canvas state for a scope.
class CanvasStateGuard {
public:
    explicit CanvasStateGuard(Canvas& c) : canvas_(c) { canvas_.save(); }
    ~CanvasStateGuard() { canvas_.restore(); }
    CanvasStateGuard(const CanvasStateGuard&) = delete;
    CanvasStateGuard& operator=(const CanvasStateGuard&) = delete;

private:
    Canvas& canvas_;
};

}  // namespace quor
