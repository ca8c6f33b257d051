#pragma once

// The device context both metafile players drive: mapping (world, window and
// viewport, map modes), the object table, the selected pen, brush, font and
// palette, text settings, the current position, paths and clipping. It turns
// the GDI calls of the records into Canvas calls in device pixels of the
// target rectangle, and reports per record what was drawn where.

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"
#include "platform/metafile/metafile.h"

namespace quor::metafile {

struct DPoint {
    double x = 0;
    double y = 0;
};

// Affine map: x' = m11 x + m21 y + dx, y' = m12 x + m22 y + dy.
struct Xform {
    double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;
    DPoint apply(DPoint p) const { return {m11 * p.x + m21 * p.y + dx, m12 * p.x + m22 * p.y + dy}; }
    // This map followed by `then`.
    Xform then(const Xform& t) const;
    double det() const { return m11 * m22 - m12 * m21; }
    Xform inverse() const;  // identity when singular
    bool isFinite() const;
};

enum MapMode { kMmText = 1, kMmLoMetric, kMmHiMetric, kMmLoEnglish, kMmHiEnglish, kMmTwips,
               kMmIsotropic, kMmAnisotropic };

// The line style in the low bits of a metafile pen style.
PenStyle penStyleOf(std::uint32_t style);

struct GdiPen {
    PenStyle style = PenStyle::Solid;
    double width = 0;       // logical units; 0 draws one device pixel
    bool cosmetic = false;  // always one device pixel
    Color color = 0;
};

struct GdiBrush {
    bool hollow = false;
    Color color = 0xFFFFFF;
};

struct GdiFont {
    int height = 0;  // logical units, negative = character height
    int escapement = 0;
    int weight = 400;
    bool italic = false, underline = false, strikeOut = false;
    int charset = kDefaultCharset;
    std::string face = "System";
};

struct GdiObject {
    enum class Kind { Free, Pen, Brush, Font, Palette, Region, Other };
    Kind kind = Kind::Free;
    GdiPen pen;
    GdiBrush brush;
    GdiFont font;
    std::vector<Color> palette;
    std::vector<Rect> regionRects;  // in the units of the region's records

    static GdiObject of(Kind k) {
        GdiObject o;
        o.kind = k;
        return o;
    }
};

// Text alignment bits of the records.
enum : unsigned { kTaUpdateCp = 1, kTaRight = 2, kTaCenter = 6, kTaBottom = 8, kTaBaseline = 24 };

enum class ArcKind { Arc, Chord, Pie };

// The reference frame the target rectangle shows, in the players' device
// units (reference-device pixels for EMF, frame units for WMF).
struct PlayFrame {
    double left = 0, top = 0, width = 1, height = 1;
};

class GdiContext {
public:
    // `measureOnly`: compute records and bounds without drawing.
    GdiContext(Canvas& canvas, const Rect& dest, const PlayFrame& frame, bool measureOnly);
    ~GdiContext();
    GdiContext(const GdiContext&) = delete;
    GdiContext& operator=(const GdiContext&) = delete;

    // How metric map modes and WMF's implicit viewport behave.
    void setReference(double unitsPerMmX, double unitsPerMmY, bool implicitViewport);

    // Record bookkeeping for the enumeration.
    void setObserver(std::function<void(const MetafileRecord&)> observer) { observer_ = std::move(observer); }
    void beginRecord(std::uint32_t type);
    void endRecord();

    // Mapping.
    void setMapMode(int mode);
    void setWindowOrg(double x, double y);
    void setWindowExt(double x, double y);
    void setViewportOrg(double x, double y);
    void setViewportExt(double x, double y);
    void offsetWindowOrg(double dx, double dy);
    void offsetViewportOrg(double dx, double dy);
    void scaleWindowExt(double xn, double xd, double yn, double yd);
    void scaleViewportExt(double xn, double xd, double yn, double yd);
    void setWorldTransform(const Xform& x);
    void modifyWorldTransform(const Xform& x, int mode);

    // Objects: slots are created by the players (WMF: lowest free slot).
    int firstFreeSlot();
    void storeObject(std::uint32_t index, GdiObject object);
    void selectObject(std::uint32_t index);
    void selectStockObject(std::uint32_t stock);
    void deleteObject(std::uint32_t index);
    const GdiObject* object(std::uint32_t index) const;
    void setPaletteEntries(std::uint32_t index, std::uint32_t start, const std::vector<Color>& colors);

    // Settings.
    void setTextColor(Color c) { dc_.textColor = resolveColor(c); }
    void setBkColor(Color c) { dc_.bkColor = resolveColor(c); }
    void setBkMode(int mode) { dc_.bkOpaque = (mode == 2); }
    void setTextAlign(unsigned align) { dc_.textAlign = align; }
    void setPolyFillMode(int mode) { dc_.winding = (mode == 2); }
    void setRop2(int rop) { dc_.xorPen = (rop == 7 || rop == 6); }
    void setArcDirection(int dir) { dc_.clockwise = (dir == 2); }
    void setTextCharExtra(int extra) { dc_.charExtra = extra; }
    Color resolveColor(Color c) const;

    // State stack.
    void saveDc();
    void restoreDc(int which);

    // Drawing, in logical coordinates.
    void moveTo(DPoint p);
    void lineTo(DPoint p);
    void polyline(const std::vector<DPoint>& pts);
    void polylineTo(const std::vector<DPoint>& pts);
    void polyBezier(const std::vector<DPoint>& pts, bool fromCurrent);
    void polyDraw(const std::vector<DPoint>& pts, const std::vector<std::uint8_t>& types);
    void polygon(const std::vector<DPoint>& pts);
    void polyPolygon(const std::vector<std::vector<DPoint>>& polys, bool closed);
    void rectangle(double l, double t, double r, double b);
    void roundRect(double l, double t, double r, double b, double w, double h);
    void ellipse(double l, double t, double r, double b);
    void arc(double l, double t, double r, double b, DPoint start, DPoint end, ArcKind kind,
             bool lineFromCurrent = false);
    void angleArc(DPoint center, double radius, double startDeg, double sweepDeg);
    void fillRect(double l, double t, double r, double b, Color color);
    void patBlt(double l, double t, double r, double b, std::uint32_t rop);
    void setPixel(DPoint p, Color c);

    // Text: 8-bit bytes in the font's character set, or UTF-16.
    struct TextRun {
        DPoint ref;
        std::string bytes;
        std::u16string wide;
        bool isWide = false;
        unsigned options = 0;  // ETO_* bits
        bool hasRect = false;
        double rect[4] = {0, 0, 0, 0};
        double advanceTotal = -1;  // logical, from the dx array; < 0: none
    };
    void text(const TextRun& run);

    // Bitmaps into a logical rectangle.
    void image(double x, double y, double w, double h, const RasterImage& img, std::uint32_t rop);

    // Paths.
    void beginPath();
    void endPath() { dc_.inPath = false; }
    void abortPath();
    void closeFigure();
    void fillPath() { finishPath(true, false); }
    void strokePath() { finishPath(false, true); }
    void strokeAndFillPath() { finishPath(true, true); }

    // Clipping. A region made of several rectangles is approximated by its
    // bounding box, except when it is taken away (RGN_DIFF).
    void intersectClip(double l, double t, double r, double b);
    void excludeClip(double l, double t, double r, double b);
    // Logical rectangles (WMF regions); RGN_COPY with none resets the clip.
    void selectClipRects(const std::vector<Rect>& rects, int mode);
    // Rectangles in reference-device units (EMF regions).
    void selectReferenceClip(const std::vector<Rect>& rects, int mode);
    // The bounding box of the current path.
    void selectClipPath(int mode);
    void offsetClip(double dx, double dy);

    // The colour of a brush object (0xFFFFFFFF: the selected brush); false
    // when it paints nothing.
    bool brushColor(std::uint32_t index, Color& out) const;

    const std::vector<Color>& palette() const { return dc_.palette; }

private:
    struct ClipOp {
        bool exclude = false;
        Rect rect;  // canvas pixels
    };
    struct Dc {
        int mapMode = kMmText;
        DPoint winOrg{0, 0}, winExt{1, 1}, vpOrg{0, 0}, vpExt{1, 1};
        bool vpOrgSet = false, vpExtSet = false;
        Xform world;
        GdiPen pen;
        GdiBrush brush;
        GdiFont font;
        std::vector<Color> palette;
        Color textColor = 0, bkColor = 0xFFFFFF;
        bool bkOpaque = true;
        unsigned textAlign = 0;
        bool winding = false, xorPen = false, clockwise = false;
        int charExtra = 0;
        DPoint cur{0, 0};
        std::vector<ClipOp> clip;
        bool inPath = false;
    };

    void updateTransform();
    DPoint dev(DPoint logical) const { return toDevice_.apply(logical); }
    Point devPoint(DPoint logical) const;
    bool axisAligned() const;
    Rect devRect(double l, double t, double r, double b) const;
    double devLength(double logical) const;
    void applyClip();
    void selectClipDevice(const std::vector<Rect>& deviceRects, int mode);
    void applyPen();
    void applyBrush();
    void applyFont();
    // An axis-aligned rectangle or ellipse drawn straight onto the canvas.
    void axisShape(double l, double t, double r, double b, void (Canvas::*draw)(const Rect&));
    bool penVisible() const { return dc_.pen.style != PenStyle::Null; }
    bool brushVisible() const { return !dc_.brush.hollow; }
    void addBounds(const Rect& r);
    void addBounds(const std::vector<Point>& pts);
    void pathFigureStart(DPoint at);
    void arcPath(CanvasPath& out, double l, double t, double r, double b, DPoint start, DPoint end,
                 bool connect, DPoint* endOut);
    void emitPath(const CanvasPath& p, bool fill, bool stroke);
    void finishPath(bool fill, bool stroke);
    void appendOrDraw(CanvasPath&& p, bool fill, bool stroke);

    Canvas& canvas_;
    Rect dest_;
    PlayFrame frame_;
    bool measureOnly_;
    double unitsPerMmX_ = 1, unitsPerMmY_ = 1;
    bool implicitViewport_ = false;
    Dc dc_;
    std::vector<Dc> saved_;
    std::vector<GdiObject> objects_;
    std::set<std::uint32_t> freeSlots_;
    Xform toDevice_;
    Xform final_;  // reference frame to target pixels
    CanvasPath path_;
    bool pathFigureOpen_ = false;
    int canvasDepth_ = 0;
    std::function<void(const MetafileRecord&)> observer_;
    MetafileRecord record_;
    int recordCount_ = 0;
};

}  // namespace quor::metafile
