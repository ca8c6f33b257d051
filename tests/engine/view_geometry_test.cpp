#include <QImage>
#include <limits>

#include "engine/stream.h"
#include "platform/qpainter_canvas.h"
#include "platform/recording_canvas.h"
#include "view_fixtures.h"

using namespace quor;
using namespace quor::viewtest;

namespace {

class ViewGeometry : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        engine().documentMode = true;
        v.SetBounds(10, 20, 100, 50);
    }
    BoxView v;
};

std::vector<RecordedLine> framesOf(BoxView& v, double scale = 1.0) {
    RecordingCanvas c;
    v.drawScaleX = v.drawScaleY = scale;
    v.Draw(c);
    return c.all<RecordedLine>();
}

}  // namespace

TEST_F(ViewGeometry, FrameWidthOneAtScaleOneKeepsTheGaps) {
    v.FrameTyp = 15;
    v.ApplyScale();
    // Round(0.5) is 0: ties go to the even neighbour.
    EXPECT_EQ(v.GapX, 2);
    EXPECT_EQ(v.GapY, 1);
    EXPECT_EQ(v.frameRect, (Rect{10, 20, 111, 71}));
    v.RestoreGeometry();
}

TEST_F(ViewGeometry, FrameWidthOneAtScaleTwo) {
    v.FrameTyp = 15;
    v.drawScaleX = v.drawScaleY = 2.0;
    v.drawOffsetX = 5;
    v.drawOffsetY = 7;
    v.ApplyScale();
    EXPECT_EQ(v.GapX, 5);
    EXPECT_EQ(v.GapY, 2);
    EXPECT_EQ(v.Left, 25);
    EXPECT_EQ(v.Top, 47);
    EXPECT_EQ(v.Width, 200);
    EXPECT_FLOAT_EQ(v.FrameWidth, 2.0f);
    // right = 225 - hx, bottom = 147 - hy; ix = Round(0.5) = 0.
    EXPECT_EQ(v.frameRect, (Rect{25, 47, 225, 147}));
    v.RestoreGeometry();
    EXPECT_EQ(v.Left, 10);
    EXPECT_EQ(v.Width, 100);
    EXPECT_EQ(v.GapX, 2);
    EXPECT_EQ(v.GapY, 1);
    EXPECT_FLOAT_EQ(v.FrameWidth, 1.0f);
}

TEST_F(ViewGeometry, WideFramesMoveTheInnerEdges) {
    v.FrameTyp = kFrameLeft | kFrameTop;
    v.FrameWidth = 3;
    v.ApplyScale();
    // ix = Round(1) = 1; without right/bottom lines nothing is taken off there.
    EXPECT_EQ(v.frameRect, (Rect{11, 21, 111, 71}));
    EXPECT_EQ(v.GapX, 2 + 2);  // hx = Round(1.5) = 2
    EXPECT_EQ(v.GapY, 1 + 1);
    v.RestoreGeometry();
}

TEST_F(ViewGeometry, WhileEditingScalesAreOne) {
    engine().documentMode = false;
    v.drawScaleX = 3;
    v.drawOffsetX = 50;
    v.ApplyScale();
    EXPECT_EQ(v.Left, 10);
    EXPECT_EQ(v.Width, 100);
    v.RestoreGeometry();
}

TEST_F(ViewGeometry, ExtremeGeometryStaysInRange) {
    v.SetBounds(INT_MAX - 5, INT_MIN + 5, INT_MAX, INT_MAX);
    v.FrameTyp = 15;
    v.FrameWidth = 1e30f;
    v.drawScaleX = v.drawScaleY = 600 / 91.6256;
    v.ApplyScale();
    EXPECT_EQ(v.Left, INT_MAX);
    v.RestoreGeometry();
    EXPECT_EQ(v.Width, INT_MAX);
}

TEST_F(ViewGeometry, NoFillMeansNoBackgroundWhileBuilding) {
    RecordingCanvas c;
    v.Draw(c);
    EXPECT_TRUE(c.all<RecordedFill>().empty());
    // While editing the frame rectangle is painted white.
    engine().documentMode = false;
    v.Draw(c);
    auto fills = c.all<RecordedFill>();
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rect, (Rect{10, 20, 111, 71}));
    EXPECT_EQ(fills[0].color, 0xFFFFFFu);
}

TEST_F(ViewGeometry, FillCoversTheScaledRectangle) {
    RecordingCanvas c;
    v.FillColor = 0x00FF00;
    v.drawScaleX = v.drawScaleY = 1.5;
    v.drawOffsetX = 3;
    v.Draw(c);
    auto fills = c.all<RecordedFill>();
    ASSERT_EQ(fills.size(), 1u);
    // Left = Round(15) + 3, right = Round(110 * 1.5 + 3), bottom = Round(70 * 1.5).
    EXPECT_EQ(fills[0].rect, (Rect{18, 30, 168, 105}));
    EXPECT_EQ(fills[0].color, 0x00FF00u);
}

TEST_F(ViewGeometry, NoFrameLinesDrawNothing) {
    v.FrameTyp = 0;
    EXPECT_TRUE(framesOf(v).empty());
}

TEST_F(ViewGeometry, FirstPassDrawsNothing) {
    engine().firstPass = true;
    v.FrameTyp = 15;
    v.FillColor = 0;
    RecordingCanvas c;
    v.Draw(c);
    EXPECT_TRUE(c.ops().empty());
}

TEST_F(ViewGeometry, SolidLinesInTheirOrder) {
    v.FrameTyp = 15;
    v.FrameColor = 0xFF;
    auto lines = framesOf(v);
    ASSERT_EQ(lines.size(), 4u);
    // right, left, bottom, top
    EXPECT_EQ(lines[0].from, (Point{110, 20}));
    EXPECT_EQ(lines[0].to, (Point{110, 70}));
    EXPECT_EQ(lines[1].from, (Point{10, 20}));
    EXPECT_EQ(lines[1].to, (Point{10, 70}));
    EXPECT_EQ(lines[2].from, (Point{10, 70}));
    EXPECT_EQ(lines[2].to, (Point{110, 70}));
    EXPECT_EQ(lines[3].from, (Point{10, 20}));
    EXPECT_EQ(lines[3].to, (Point{110, 20}));
    for (const auto& l : lines) EXPECT_EQ(l.pen, (PenSpec{0xFF, 1, PenStyle::Solid}));
}

TEST_F(ViewGeometry, DottedWidthThreeIsThreeOnePixelLines) {
    v.FrameTyp = kFrameTop | kFrameLeft;
    v.FrameWidth = 3;
    v.FrameStyle = kFrameDot;
    auto lines = framesOf(v);
    ASSERT_EQ(lines.size(), 6u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(lines[i].from.x, 10 - 1 + i);  // left line first
        EXPECT_EQ(lines[i].pen, (PenSpec{0, 1, PenStyle::Dot}));
        EXPECT_EQ(lines[3 + i].from.y, 20 - 1 + i);
        EXPECT_EQ(lines[3 + i].to, (Point{110, 20 - 1 + i}));
    }
}

TEST_F(ViewGeometry, HugeDottedWidthDrawsOnlyVisibleCopies) {
    // A damaged stored width must not become millions of recorded lines.
    v.FrameTyp = kFrameLeft;
    v.FrameWidth = 5000000;
    v.FrameStyle = kFrameDot;
    auto lines = framesOf(v);
    EXPECT_GT(lines.size(), 0u);
    EXPECT_LE(lines.size(), 4096u);
}

TEST_F(ViewGeometry, DoubleFrameIsOuterInnerInFillColourOuter) {
    v.FrameTyp = kFrameBottom;
    v.FrameWidth = 2;
    v.FrameStyle = kFrameDouble;
    v.FrameColor = 0x0000FF;
    v.FillColor = 0x00FF00;
    auto lines = framesOf(v);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].from, (Point{10, 68}));
    EXPECT_EQ(lines[1].from, (Point{10, 70}));
    EXPECT_EQ(lines[2].from, (Point{10, 72}));
    EXPECT_EQ(lines[0].pen, (PenSpec{0x0000FF, 2, PenStyle::Solid}));
    EXPECT_EQ(lines[1].pen.color, 0x00FF00u);
    EXPECT_EQ(lines[2].pen.color, 0x0000FFu);
}

TEST_F(ViewGeometry, DoubleFramesAtTheEndOfTheRangeStayThere) {
    const int big = std::numeric_limits<int>::max();
    v.SetBounds(big - 10, big - 10, 5, 5);
    v.FrameTyp = kFrameRight | kFrameBottom;
    v.FrameWidth = 1000;
    v.FrameStyle = kFrameDouble;
    auto lines = framesOf(v);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[2].from.x, big);
    EXPECT_EQ(lines[5].from.y, big);
}

TEST_F(ViewGeometry, FrameWidthOneAtScaleTwoDrawsTwoPixelPen) {
    v.FrameTyp = kFrameRight;
    auto lines = framesOf(v, 2.0);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].pen.width, 2);
    EXPECT_EQ(lines[0].from, (Point{220, 40}));
}

TEST_F(ViewGeometry, FramePixelsOnAnImage) {
    QImage img(150, 100, QImage::Format_RGB32);
    img.fill(Qt::white);
    v.FrameTyp = 15;
    {
        QPainterCanvas c(&img);
        v.Draw(c);
    }
    auto darkAt = [&](int x, int y) { return qGray(img.pixel(x, y)) < 128; };
    for (int y = 20; y < 70; ++y) {
        EXPECT_TRUE(darkAt(10, y)) << y;
        EXPECT_TRUE(darkAt(110, y)) << y;
        if (y > 20) EXPECT_FALSE(darkAt(11, y) || darkAt(109, y)) << y;
    }
    for (int x = 10; x < 110; ++x) {
        EXPECT_TRUE(darkAt(x, 20)) << x;
        EXPECT_TRUE(darkAt(x, 70)) << x;
        if (x > 10 && x < 110) EXPECT_FALSE(darkAt(x, 21) || darkAt(x, 69)) << x;
    }
    EXPECT_FALSE(darkAt(10, 71));
    EXPECT_FALSE(darkAt(111, 20));
}

TEST_F(ViewGeometry, DottedWidthThreeOnAnImage) {
    QImage img(150, 100, QImage::Format_RGB32);
    img.fill(Qt::white);
    v.FrameTyp = kFrameTop;
    v.FrameWidth = 3;
    v.FrameStyle = kFrameDot;
    {
        QPainterCanvas c(&img);
        c.setBackgroundColor(0xFFFFFF);
        v.Draw(c);
    }
    auto darkAt = [&](int x, int y) { return qGray(img.pixel(x, y)) < 128; };
    for (int y : {19, 20, 21}) {
        EXPECT_TRUE(darkAt(10, y));
        EXPECT_FALSE(darkAt(13, y));  // the first gap of the dots
        EXPECT_TRUE(darkAt(16, y));
    }
    EXPECT_FALSE(darkAt(10, 18));
    EXPECT_FALSE(darkAt(10, 22));
}

TEST_F(ViewGeometry, ClipRegionCoversTheFrameLines) {
    v.FrameTyp = 15;
    v.FrameWidth = 3;
    // a = Round(1.5) = 2, b = Round(1) = 1
    EXPECT_EQ(v.ClipRegion(false), (Rect{8, 18, 112, 72}));
    EXPECT_EQ(v.ClipRegion(true), (Rect{-2, 8, 122, 82}));
    v.FrameStyle = kFrameDouble;
    // a = Round(4.5) = 4, b = Round(4) = 4
    EXPECT_EQ(v.ClipRegion(false), (Rect{6, 16, 115, 75}));
    v.FrameTyp = 0;
    EXPECT_EQ(v.ClipRegion(false), (Rect{10, 20, 111, 71}));
}

TEST_F(ViewGeometry, StoredFrameWidths) {
    EXPECT_FLOAT_EQ(TfrView::frameWidthFromStored(10), 10.0f);
    EXPECT_FLOAT_EQ(TfrView::frameWidthFromStored(1500), 1.5f);
    EXPECT_FLOAT_EQ(TfrView::frameWidthFromStored(1), 1.0f);
    EXPECT_FLOAT_EQ(TfrView::frameWidthFromStored(11), 0.011f);
    EXPECT_EQ(TfrView::frameWidthToStored(1.0f), 1);
    EXPECT_EQ(TfrView::frameWidthToStored(10.0f), 10);
    EXPECT_EQ(TfrView::frameWidthToStored(1.5f), 1500);
    // Whole widths above 10 go in thousandths so that they come back whole.
    EXPECT_EQ(TfrView::frameWidthToStored(12.0f), 12000);
    EXPECT_FLOAT_EQ(TfrView::frameWidthFromStored(TfrView::frameWidthToStored(12.0f)), 12.0f);
    // Too thin to be told apart from a whole width: no line at all.
    EXPECT_EQ(TfrView::frameWidthToStored(0.004f), 0);
}
