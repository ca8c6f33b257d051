// Mapping modes, text alignment, the drawing state stack, curves, paths and
// clipping of the metafile player.

#include <gtest/gtest.h>

#include <QImage>

#include "platform/metafile/metafile.h"
#include "platform/qpainter_canvas.h"
#include "platform/recording_canvas.h"
#include "metafile_builder.h"

using namespace quor;
using quor::test::ByteWriter;
using quor::test::EmfBuilder;
using quor::test::WmfBuilder;

namespace {

RecordingCanvas play(const std::string& bytes, const Rect& dest) {
    RecordingCanvas c;
    Metafile::fromBytes(bytes).draw(c, dest);
    return c;
}


EmfBuilder& selectRed(EmfBuilder& b) {
    return b.pen(1, 0, 0, 0x0000FF).brush(2, 0, 0x00FF00).rec(37, {1}).rec(37, {2});
}

}  // namespace

TEST(MetafileMapping, IsotropicKeepsTheSmallerScaleOnBothAxes) {
    EmfBuilder b;
    selectRed(b).rec(17, {7}).rec(9, {1000, 1000}).rec(11, {200, 100}).rec(43, {0, 0, 1000, 1000});
    auto c = play(b.finish(0, 0, 5000, 2500), Rect{0, 0, 200, 100});
    ASSERT_EQ(c.all<RecordedRectangle>().size(), 1u);
    EXPECT_EQ(c.all<RecordedRectangle>()[0].rect, (Rect{0, 0, 100, 100}));
}

TEST(MetafileMapping, MetricModesCountFromTheReferenceDeviceAndPointUp) {
    EmfBuilder b;  // 4 pixels per millimetre
    selectRed(b).rec(17, {2}).rec(43, {0, 0, 100, -100});  // 10 x 10 mm in 0.1 mm
    auto c = play(b.finish(0, 0, 1000, 1000), Rect{0, 0, 40, 40});
    ASSERT_EQ(c.all<RecordedRectangle>().size(), 1u);
    EXPECT_EQ(c.all<RecordedRectangle>()[0].rect, (Rect{0, 0, 40, 40}));
}

TEST(MetafileMapping, WorldTransformScalesAndMoves) {
    EmfBuilder b;
    ByteWriter x;
    x.f32(2).f32(0).f32(0).f32(2).f32(10).f32(0);
    selectRed(b).rec(35, x).rec(43, {0, 0, 10, 10});
    auto c = play(b.finish(0, 0, 2500, 2500), Rect{0, 0, 100, 100});  // 100 ref px
    ASSERT_EQ(c.all<RecordedRectangle>().size(), 1u);
    EXPECT_EQ(c.all<RecordedRectangle>()[0].rect, (Rect{10, 0, 30, 20}));
}

TEST(MetafileMapping, PlainWmfTakesItsWindowOrWhatItDrawsAsFrame) {
    WmfBuilder w;
    w.rec(0x0103, {8}).rec(0x020B, {100, 100}).rec(0x020C, {100, 200});
    w.rec(0x041B, {200, 300, 100, 100});
    Metafile withWindow = Metafile::fromBytes(w.finish(false));
    EXPECT_EQ(withWindow.format(), MetafileFormat::Wmf);
    EXPECT_EQ(withWindow.frame(), (Rect{0, 0, 200, 100}));
    RecordingCanvas c1;
    withWindow.draw(c1, Rect{0, 0, 400, 200});
    ASSERT_EQ(c1.all<RecordedRectangle>().size(), 1u);
    EXPECT_EQ(c1.all<RecordedRectangle>()[0].rect, (Rect{0, 0, 400, 200}));

    WmfBuilder p;
    p.rec(0x041B, {110, 150, 60, 50});
    Metafile bare = Metafile::fromBytes(p.finish(false));
    EXPECT_EQ(bare.frame(), (Rect{50, 60, 150, 110}));
    EXPECT_EQ(bare.sizePixels(), (Size{100, 50}));
    RecordingCanvas c2;
    bare.draw(c2, Rect{0, 0, 200, 100});
    ASSERT_EQ(c2.all<RecordedRectangle>().size(), 1u);
    EXPECT_EQ(c2.all<RecordedRectangle>()[0].rect, (Rect{0, 0, 200, 100}));
}

TEST(MetafileText, AlignmentMovesTheCellFromTheReferencePoint) {
    EmfBuilder b;
    b.font(1, -20, 400, kRussianCharset, u"Arial").rec(37, {1});
    b.rec(22, {2 | 8}).text(300, 100, "\xC0\xE1\xE2", u"", false);  // right, bottom
    b.rec(22, {6}).text(300, 200, "\xC0\xE1\xE2", u"", false);      // centre, top
    b.rec(22, {1}).rec(27, {10, 50}).text(0, 0, "\xC0", u"", false).text(0, 0, "\xC1", u"", false);
    auto c = play(b.finish(0, 0, 10000, 10000), Rect{0, 0, 400, 400});  // 1:1
    auto texts = c.all<RecordedText>();
    ASSERT_EQ(texts.size(), 4u);
    RecordingCanvas m;
    m.setFont(texts[0].font);
    const int w = m.textWidth("\xC0\xE1\xE2"), h = m.fontMetrics().height;
    EXPECT_EQ(texts[0].x, 300 - w);
    EXPECT_EQ(texts[0].y, 100 - h);
    EXPECT_EQ(texts[1].x, 300 - w / 2);
    EXPECT_EQ(texts[1].y, 200);
    // Updating the current position: the second piece follows the first.
    EXPECT_EQ(texts[2].x, 10);
    EXPECT_EQ(texts[3].x, 10 + m.textWidth("\xC0"));
    EXPECT_EQ(texts[3].y, 50);
}

TEST(MetafileText, RecordedAdvancesKeepTheTextLength) {
    EmfBuilder b;
    b.font(1, -20, 400, kRussianCharset, u"Arial").rec(37, {1});
    b.text(0, 0, "\xC0\xE1\xE2\xE3", u"", false, {30, 30, 30, 30});
    auto texts = play(b.finish(0, 0, 10000, 10000), Rect{0, 0, 400, 400}).all<RecordedText>();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NEAR(texts[0].bounds.width(), 120, 4);
}

TEST(MetafileState, RestoreBringsBackPenAndMapping) {
    EmfBuilder b;
    b.pen(1, 0, 0, 0x0000FF).pen(2, 0, 0, 0xFF0000).rec(37, {1});
    b.rec(33, {}).rec(37, {2}).rec(12, {50, 50}).rec(34, {-1});
    b.rec(34, {-5}).rec(34, {3});  // nothing saved: ignored
    b.rec(43, {0, 0, 10, 10});
    auto rects = play(b.finish(0, 0, 2500, 2500), Rect{0, 0, 100, 100}).all<RecordedRectangle>();
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].pen.color, 0x0000FFu);
    EXPECT_EQ(rects[0].rect, (Rect{0, 0, 10, 10}));
}

TEST(MetafileCurves, ArcsChordsPiesAndRoundRectsBecomePaths) {
    WmfBuilder w;
    w.pen(0, 0, 0).brush(0, 0x00FF00).rec(0x012D, {0}).rec(0x012D, {1});
    // Box (0,0)-(100,100), from the ray to the right to the ray upward.
    w.rec(0x081A, {0, 50, 50, 100, 100, 100, 0, 0});  // pie
    w.rec(0x0830, {0, 50, 50, 100, 100, 100, 0, 0});  // chord
    w.rec(0x0817, {0, 50, 50, 100, 100, 100, 0, 0});  // arc
    w.rec(0x061C, {20, 20, 100, 100, 0, 0});          // round rectangle
    auto paths = play(w.finish(true, 0, 0, 100, 100, 1440), Rect{0, 0, 100, 100}).all<RecordedPath>();
    ASSERT_EQ(paths.size(), 4u);
    const RecordedPath& pie = paths[0];
    EXPECT_TRUE(pie.fill && pie.stroke);
    EXPECT_EQ(pie.path.ops.front(), CanvasPath::Op::Move);
    EXPECT_EQ(pie.path.points.front(), (Point{50, 50}));
    EXPECT_EQ(pie.path.ops.back(), CanvasPath::Op::Close);
    // Counter-clockwise on the page from the right to the top: the upper
    // right quarter only.
    for (const auto& p : {paths[0], paths[1], paths[2]}) {
        Rect r = boundingRect(p.path.points);
        EXPECT_GE(r.left, 50);
        EXPECT_LE(r.bottom, 50);
        EXPECT_LE(r.right, 100);
        EXPECT_GE(r.top, 0);
    }
    EXPECT_EQ(paths[1].path.points.front(), (Point{100, 50}));
    EXPECT_TRUE(paths[1].fill);
    EXPECT_FALSE(paths[2].fill);
    EXPECT_EQ(paths[2].path.points.back(), (Point{50, 0}));
    EXPECT_EQ(boundingRect(paths[3].path.points), (Rect{0, 0, 100, 100}));
    EXPECT_EQ(std::count(paths[3].path.ops.begin(), paths[3].path.ops.end(), CanvasPath::Op::Bezier), 4);
}

TEST(MetafileCurves, EmfPathIsBuiltSilentlyAndDrawnOnce) {
    EmfBuilder b;
    selectRed(b).rec(59, {}).rec(27, {0, 0}).rec(54, {100, 0});
    ByteWriter bez;
    bez.i32(0).i32(0).i32(-1).i32(-1).u32(3).i16(100).i16(50).i16(50).i16(100).i16(0).i16(100);
    b.rec(88, bez).rec(61, {}).rec(60, {}).rec(63, {});
    auto c = play(b.finish(0, 0, 2500, 2500), Rect{0, 0, 100, 100});
    ASSERT_EQ(c.ops().size(), 1u);
    auto paths = c.all<RecordedPath>();
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_TRUE(paths[0].fill && paths[0].stroke);
    using Op = CanvasPath::Op;
    EXPECT_EQ(paths[0].path.ops, (std::vector<Op>{Op::Move, Op::Line, Op::Bezier, Op::Close}));
    EXPECT_EQ(paths[0].pen.color, 0x0000FFu);
}

TEST(MetafileClip, IntersectAndExcludeLimitTheDrawingUntilRestored) {
    EmfBuilder b;
    b.pen(1, 5, 0, 0).brush(2, 0, 0x000000).rec(37, {1}).rec(37, {2});
    b.rec(33, {}).rec(30, {0, 0, 50, 100}).rec(29, {10, 10, 20, 20}).rec(43, {0, 0, 100, 50});
    b.rec(34, {-1}).rec(43, {0, 60, 100, 100});
    QImage img(100, 100, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainterCanvas c(&img);
        Metafile::fromBytes(b.finish(0, 0, 2500, 2500)).draw(c, Rect{0, 0, 100, 100});
    }
    EXPECT_EQ(qGray(img.pixel(40, 30)), 0);
    EXPECT_EQ(qGray(img.pixel(60, 30)), 255);  // beyond the intersected clip
    EXPECT_EQ(qGray(img.pixel(15, 15)), 255);  // the excluded hole
    EXPECT_EQ(qGray(img.pixel(80, 80)), 0);    // after the restore
}
