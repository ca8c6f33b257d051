#include <gtest/gtest.h>

#include <QImage>

#include <functional>

#include "platform/measure_canvas.h"
#include "platform/qpainter_canvas.h"
#include "platform/recording_canvas.h"

using namespace quor;

namespace {

QImage whiteImage(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

bool dark(const QImage& img, int x, int y) { return qGray(img.pixel(x, y)) < 128; }

// The columns (or rows) of a row (or column) that hold dark pixels.
std::vector<int> darkInRow(const QImage& img, int y) {
    std::vector<int> out;
    for (int x = 0; x < img.width(); ++x)
        if (dark(img, x, y)) out.push_back(x);
    return out;
}
std::vector<int> darkInColumn(const QImage& img, int x) {
    std::vector<int> out;
    for (int y = 0; y < img.height(); ++y)
        if (dark(img, x, y)) out.push_back(y);
    return out;
}
std::vector<int> range(int from, int to) {
    std::vector<int> out;
    for (int i = from; i <= to; ++i) out.push_back(i);
    return out;
}

FontSpec mono13() {
    FontSpec f;
    f.name = "Courier New";
    f.height = -13;
    f.charset = kOemCharset;
    return f;
}

}  // namespace

TEST(QPainterCanvasPixels, OnePixelLinesLeaveOutTheirEndPoint) {
    QImage img = whiteImage(20, 20);
    {
        QPainterCanvas c(&img);
        c.line(2, 5, 10, 5);
        c.line(15, 2, 15, 12);
    }
    EXPECT_EQ(darkInRow(img, 5), (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 15}));
    EXPECT_EQ(darkInColumn(img, 15), range(2, 11));
}

TEST(QPainterCanvasPixels, TextClippedToARectangleBeyondTheIntRangeDraws) {
    // A damaged page may clip its text to corners whose span no int holds.
    QImage img = whiteImage(40, 20);
    {
        QPainterCanvas c(&img);
        c.setFont(mono13());
        const Rect clip{-537403455, 0, std::numeric_limits<int>::max() - 3, 20};
        c.textOut(2, 2, "AB", &clip, kTextClipped);
    }
    EXPECT_FALSE(darkInRow(img, 8).empty());
}

TEST(QPainterCanvasPixels, WideLinesAreCentred) {
    QImage img = whiteImage(30, 30);
    {
        QPainterCanvas c(&img);
        c.setPen({0, 3});
        c.line(5, 10, 20, 10);
    }
    EXPECT_EQ(darkInColumn(img, 12), range(9, 11));
}

TEST(QPainterCanvasPixels, RectangleFillAndOutline) {
    QImage img = whiteImage(20, 20);
    {
        QPainterCanvas c(&img);
        c.setBrush({makeColor(0, 0, 0)});
        c.fillRect({2, 2, 6, 5});
        c.setBrush({0xFFFFFF, true});
        c.rectangle({10, 10, 15, 14});
    }
    EXPECT_EQ(darkInRow(img, 2), range(2, 5));
    EXPECT_EQ(darkInColumn(img, 3), range(2, 4));
    EXPECT_EQ(darkInRow(img, 10), range(10, 14));
    EXPECT_EQ(darkInColumn(img, 10), range(10, 13));
    EXPECT_EQ(darkInColumn(img, 14), range(10, 13));
    EXPECT_FALSE(dark(img, 12, 12));
}

TEST(QPainterCanvasPixels, DottedPenLeavesGapsAndWidePensDrawSolid) {
    QImage img = whiteImage(40, 10);
    {
        QPainterCanvas c(&img);
        c.setPen({0, 1, PenStyle::Dot});
        c.line(0, 2, 30, 2);
        c.setPen({0, 2, PenStyle::Dot});
        c.line(0, 6, 30, 6);
    }
    EXPECT_EQ(darkInRow(img, 2), (std::vector<int>{0, 1, 2, 6, 7, 8, 12, 13, 14, 18, 19, 20, 24, 25, 26}));
    EXPECT_GE(darkInRow(img, 6).size(), 30u);
}

TEST(QPainterCanvasPixels, XorPenInverts) {
    QImage img = whiteImage(10, 10);
    {
        QPainterCanvas c(&img);
        c.setPen({makeColor(255, 255, 255), 1, PenStyle::Solid, PenMode::Xor});
        c.line(0, 3, 10, 3);
        c.line(0, 3, 5, 3);  // twice: back to white
    }
    EXPECT_EQ(darkInRow(img, 3), range(5, 9));
}

TEST(QPainterCanvasPixels, ClipRegionLimitsDrawing) {
    QImage img = whiteImage(20, 20);
    {
        QPainterCanvas c(&img);
        c.setBrush({0});
        c.save();
        c.intersectClipRect({0, 0, 10, 20});
        c.excludeClipRect({4, 0, 6, 20});
        EXPECT_EQ(c.clipBox(), (Rect{0, 0, 10, 20}));
        EXPECT_FALSE(c.rectVisible({4, 5, 6, 8}));
        EXPECT_TRUE(c.rectVisible({5, 5, 7, 8}));
        c.fillRect({0, 0, 20, 1});
        c.restore();
        EXPECT_EQ(c.clipBox(), (Rect{0, 0, 20, 20}));
        c.fillRect({0, 2, 20, 3});
    }
    EXPECT_EQ(darkInRow(img, 0), (std::vector<int>{0, 1, 2, 3, 6, 7, 8, 9}));
    EXPECT_EQ(darkInRow(img, 2).size(), 20u);
}

TEST(CanvasText, MeasureCanvasIs96DpiWithUnhintedFractionalWidths) {
    Canvas& c = measureCanvas();
    EXPECT_EQ(c.dpiX(), 96);
    c.setFont(mono13());
    FontMetrics m = c.fontMetrics();
    EXPECT_EQ(m.height, 15);
    EXPECT_EQ(m.ascent, 11);
    EXPECT_EQ(m.descent, 4);
    // One cell is 7.796875 px: ten cells round once, not per character.
    EXPECT_EQ(c.textWidth("AAAAAAAAAA"), 78);
    c.setTextCharacterExtra(2);
    EXPECT_EQ(c.textWidth("AAAAAAAAAA"), 98);
    c.setTextCharacterExtra(0);
}

TEST(CanvasText, TabAndFormFeedAreMeasuredAsGlyphs) {
    Canvas& c = measureCanvas();
    c.setFont(mono13());
    EXPECT_EQ(c.textWidth("\t"), c.textWidth("A"));
    EXPECT_EQ(c.textWidth("a\tb\fc\x1B"), c.textWidth("AAAAAA"));
    // No tab stops, no line break at the form feed.
    EXPECT_EQ(c.textExtent("\f\t\tx"), (Size{c.textWidth("AAAA"), 15}));
}

TEST(CanvasText, ExtentOfALineBlock) {
    Canvas& c = measureCanvas();
    c.setFont(mono13());
    EXPECT_EQ(c.textExtent("ab\r\ncdef\nx\ry"), (Size{c.textWidth("cdef"), 4 * 15}));
    EXPECT_EQ(c.textExtent(""), (Size{0, 0}));
}

TEST(CanvasText, PointSizesFollowTheResolution) {
    FontSpec f;
    f.name = "Arial";
    f.pointSize = 10;
    RecordingCanvas screen;
    RecordingCanvas printer(600, true);
    screen.setFont(f);
    printer.setFont(f);
    EXPECT_EQ(FontMeasurer::pixelSizeFor(f, 96), 13);
    EXPECT_EQ(FontMeasurer::pixelSizeFor(f, 600), 83);
    EXPECT_TRUE(printer.isPrinter());
    EXPECT_NEAR(printer.textWidth("Hello") * 96.0 / 600.0, screen.textWidth("Hello"), 1.0);
    // A cell height is turned into the em size that fills it.
    f.height = 15;
    EXPECT_EQ(FontMeasurer::pixelSizeFor(mono13(), 96), 13);
    FontSpec cell = mono13();
    cell.height = 15;
    EXPECT_EQ(FontMeasurer::pixelSizeFor(cell, 96), 13);
}

TEST(RecordingCanvas, RecordsTextWithBytesFontAndBounds) {
    RecordingCanvas c;
    c.setFont(mono13());
    Rect clip{0, 0, 50, 20};
    c.textOut(10, 20, "\x80\x81 x", &clip, kTextClipped);
    FontSpec up = mono13();
    up.escapement = 900;
    c.setFont(up);
    c.textOut(100, 200, "AAAA");
    auto texts = c.all<RecordedText>();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].bytes, "\x80\x81 x");
    EXPECT_EQ(texts[0].font.charset, kOemCharset);
    EXPECT_TRUE(texts[0].clipped);
    EXPECT_EQ(texts[0].bounds, (Rect{10, 20, 10 + c.textWidth("AAAA"), 35}));
    // Turned text runs upward from its reference point.
    EXPECT_EQ(texts[1].bounds, (Rect{100, 200 - c.textWidth("AAAA"), 115, 200}));
}

TEST(RecordingCanvas, JustificationSpreadsExactPixels) {
    RecordingCanvas c;
    c.setFont(mono13());
    const int w = c.textWidth("a b c");
    c.setTextJustification(7, 2);
    c.textOut(0, 0, "a b c");
    c.setTextJustification(0, 0);
    c.textOut(0, 20, "a b c");
    auto texts = c.all<RecordedText>();
    EXPECT_EQ(texts[0].bounds.width(), w + 7);
    EXPECT_EQ(texts[0].justifyExtra, 7);
    EXPECT_EQ(texts[1].bounds.width(), w);
}

TEST(RecordingCanvas, TextBoundsAreMeasuredWithTheStateTheTextWasDrawnWith) {
    // The bounds are measured only when read, with the font and spacing of
    // each piece, and reading them leaves the drawing state as it was.
    auto draw = [](RecordingCanvas& c) {
        c.setFont(mono13());
        c.setTextCharacterExtra(2);
        c.textOut(5, 6, "abc");
        FontSpec big = mono13();
        big.height = -26;
        c.setFont(big);
        c.setTextCharacterExtra(0);
        c.line(0, 0, 1, 1);
        c.textOut(7, 8, "abc");
    };
    RecordingCanvas single, whole;
    draw(single);
    draw(whole);
    const int bigWidth = whole.textWidth("abc");
    const Rect lone = single.textBounds(2);
    EXPECT_EQ(single.textBounds(1), Rect{});  // a line has no text bounds
    EXPECT_EQ(single.textWidth("abc"), bigWidth);
    const auto texts = whole.all<RecordedText>();
    EXPECT_EQ(texts[1].bounds, lone);
    EXPECT_EQ(lone, (Rect{7, 8, 7 + bigWidth, lone.bottom}));
    RecordingCanvas small;
    small.setFont(mono13());
    EXPECT_EQ(texts[0].bounds, (Rect{5, 6, 5 + small.textWidth("abc") + 6, 6 + 15}));
    EXPECT_EQ(whole.textWidth("abc"), bigWidth);
    EXPECT_EQ(whole.textCharacterExtra(), 0);
}

TEST(RecordingCanvas, RecordsShapesInOrder) {
    RecordingCanvas c;
    c.setPen({0xFF, 3, PenStyle::Dash});
    c.line(1, 2, 3, 4);
    c.setBrush({0x00FF00});
    c.fillRect({0, 0, 5, 5});
    c.setBrush({0, true});
    c.fillRect({0, 0, 5, 5});  // a hollow brush fills nothing
    c.rectangle({1, 1, 4, 4});
    ASSERT_EQ(c.ops().size(), 3u);
    auto lines = c.all<RecordedLine>();
    EXPECT_EQ(lines[0].from, (Point{1, 2}));
    EXPECT_EQ(lines[0].pen, (PenSpec{0xFF, 3, PenStyle::Dash}));
    EXPECT_EQ(c.all<RecordedFill>()[0].color, 0x00FF00u);
    EXPECT_TRUE(std::holds_alternative<RecordedRectangle>(c.ops()[2]));
}

TEST(QPainterCanvasText, JustifiedWordsMoveByTheirShare) {
    auto firstDarkColumnFrom = [](const QImage& img, int from) {
        for (int x = from; x < img.width(); ++x)
            for (int y = 0; y < img.height(); ++y)
                if (dark(img, x, y)) return x;
        return -1;
    };
    QImage plain = whiteImage(120, 20), spread = whiteImage(120, 20);
    int cell;
    {
        QPainterCanvas c(&plain);
        c.setFont(mono13());
        c.setBackgroundMode(BackgroundMode::Transparent);
        cell = c.textWidth("AAAAAAAAAA");
        c.textOut(0, 0, "I I I");
    }
    {
        QPainterCanvas c(&spread);
        c.setFont(mono13());
        c.setBackgroundMode(BackgroundMode::Transparent);
        c.setTextJustification(11, 2);
        c.textOut(0, 0, "I I I");
    }
    // The third I starts 4 cells in; it moves by all 11 pixels.
    int third = firstDarkColumnFrom(plain, cell * 4 / 10 - 2);
    EXPECT_EQ(firstDarkColumnFrom(spread, third + 5), third + 11);
}

TEST(QPainterCanvasText, TurnedTextRunsUpwardFromItsPoint) {
    QImage img = whiteImage(100, 100);
    int w;
    {
        QPainterCanvas c(&img);
        FontSpec up = mono13();
        up.escapement = 900;
        c.setFont(up);
        c.setBackgroundMode(BackgroundMode::Transparent);
        w = c.textWidth("HHHH");
        c.textOut(50, 80, "HHHH");
    }
    int minX = 100, maxX = -1, minY = 100, maxY = -1;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            if (dark(img, x, y)) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    // The glyph cell lies right of x = 50 and above y = 80, w pixels long.
    EXPECT_GE(minX, 50);
    EXPECT_LT(maxX, 50 + 15);
    EXPECT_LT(maxY, 80);
    EXPECT_GE(minY, 80 - w);
    EXPECT_GT(maxY - minY, w / 2);
}

TEST(QPainterCanvasText, ClippedTextStaysInItsRectangle) {
    QImage img = whiteImage(100, 30);
    {
        QPainterCanvas c(&img);
        c.setFont(mono13());
        c.setBackgroundMode(BackgroundMode::Transparent);
        Rect clip{0, 0, 20, 30};
        c.textOut(0, 0, "HHHHHHHHHH", &clip, kTextClipped | kTextRtlReading);
    }
    for (int y = 0; y < 30; ++y)
        for (int x = 20; x < 100; ++x) ASSERT_FALSE(dark(img, x, y)) << x << "," << y;
    EXPECT_FALSE(darkInRow(img, 7).empty());
}

// A line's clip rectangle stays on the painter for the lines after it; it
// must not reach whatever is drawn next, nor outlive a restore.
TEST(QPainterCanvasText, ALineClipEndsWithTheLine) {
    const PenSpec pen{0, 3, PenStyle::Solid, PenMode::Copy};
    const BrushSpec brush{0, false};
    const std::vector<Point> triangle{{60, 4}, {76, 4}, {68, 16}};
    CanvasPath path;
    path.moveTo({60, 4});
    path.lineTo({76, 4});
    path.lineTo({76, 16});
    path.close();
    const RasterImage black{16, 12, std::vector<std::uint32_t>(16 * 12, 0xFF000000u)};
    struct Case {
        const char* name;
        std::function<void(Canvas&)> draw;
    };
    const Case cases[] = {
        {"fill", [&](Canvas& c) { c.fillRect({60, 4, 76, 16}); }},
        {"rectangle", [&](Canvas& c) { c.rectangle({60, 4, 76, 16}); }},
        {"line", [&](Canvas& c) { c.line(60, 10, 76, 10); }},
        {"polygon", [&](Canvas& c) { c.polygon(triangle); }},
        {"ellipse", [&](Canvas& c) { c.ellipse({60, 4, 76, 16}); }},
        {"path", [&](Canvas& c) { c.drawPath(path, true, true); }},
        {"image", [&](Canvas& c) { c.drawImage({60, 4, 76, 16}, black, false); }},
        {"unclipped text", [&](Canvas& c) { c.textOut(60, 3, "HH"); }},
        {"after a restore", [&](Canvas& c) {
             c.save();
             c.intersectClipRect({0, 0, 50, 30});
             const Rect clip{0, 0, 20, 30};
             c.textOut(0, 15, "HH", &clip, kTextClipped);
             c.restore();
             c.fillRect({60, 4, 76, 16});
         }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        QImage img = whiteImage(100, 30);
        {
            QPainterCanvas c(&img);
            c.setFont(mono13());
            c.setBackgroundMode(BackgroundMode::Transparent);
            c.setPen(pen);
            c.setBrush(brush);
            const Rect clip{0, 0, 20, 30};
            c.textOut(0, 0, "HHHH", &clip, kTextClipped);
            k.draw(c);
        }
        int outside = 0;
        for (int x = 58; x < 80; ++x) outside += dark(img, x, 10);
        EXPECT_GT(outside, 0);
    }
}
