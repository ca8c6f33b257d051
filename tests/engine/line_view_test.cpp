#include "engine/line_view.h"
#include "engine/view_factory.h"
#include "platform/recording_canvas.h"
#include "view_fixtures.h"

using namespace quor;
using namespace quor::viewtest;

namespace {

class LineView : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        engine().documentMode = true;
        engine().firstPass = false;
    }
};

TfrLineView line(int left, int top, int width, int height) {
    TfrLineView v;
    v.SetBounds(left, top, width, height);
    return v;
}

}  // namespace

TEST_F(LineView, InitialValuesAndFactory) {
    TfrLineView v;
    EXPECT_EQ(v.objectKind, kKindLine);
    EXPECT_EQ(v.baseName, "Line");
    EXPECT_EQ(v.FrameTyp, kFrameLeft);
    EXPECT_EQ(v.FillColor, 0xFFFFFFu);
    EXPECT_EQ(v.properties().back().name, "Stretched");
    auto made = ViewFactory::instance().create(kKindLine);
    EXPECT_NE(dynamic_cast<TfrLineView*>(made.get()), nullptr);
}

TEST_F(LineView, OrientationFollowsTheSizeAndStays) {
    struct Case {
        int width, height;
        bool horizontal;
    };
    for (const Case c : {Case{50, 0, true}, Case{0, 0, false}, Case{30, 5, true}, Case{10, 20, false},
                         Case{7, 7, false}}) {
        TfrLineView v = line(100, 50, c.width, c.height);
        RecordingCanvas canvas;
        v.Draw(canvas);
        EXPECT_EQ(v.FrameTyp, c.horizontal ? kFrameTop : kFrameLeft) << c.width << "x" << c.height;
        EXPECT_EQ(v.Width, c.horizontal ? c.width : 0);
        EXPECT_EQ(v.Height, c.horizontal ? 0 : c.height);
        EXPECT_TRUE(canvas.all<RecordedFill>().empty());  // no background
        const auto lines = canvas.all<RecordedLine>();
        ASSERT_EQ(lines.size(), 1u);
        if (c.horizontal) {
            EXPECT_EQ(lines[0].from, (Point{100, 50}));
            EXPECT_EQ(lines[0].to, (Point{100 + c.width, 50}));
        } else {
            EXPECT_EQ(lines[0].from, (Point{100, 50}));
            EXPECT_EQ(lines[0].to, (Point{100, 50 + c.height}));
        }
    }
}

TEST_F(LineView, DrawsWithTheScaledFramePen) {
    TfrLineView v = line(10, 20, 0, 30);
    v.FrameWidth = 2;
    v.FrameColor = 0x0000FF;
    v.drawScaleX = v.drawScaleY = 2;
    RecordingCanvas canvas;
    v.Draw(canvas);
    const auto lines = canvas.all<RecordedLine>();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].from, (Point{20, 40}));
    EXPECT_EQ(lines[0].to, (Point{20, 100}));
    EXPECT_EQ(lines[0].pen.width, 4);
    EXPECT_EQ(lines[0].pen.color, 0x0000FFu);
    EXPECT_FLOAT_EQ(v.FrameWidth, 2.0f);
}

TEST_F(LineView, ClipRegionGrowsAcrossTheLine) {
    TfrLineView standing = line(100, 50, 0, 40);
    standing.FrameWidth = 3;
    EXPECT_EQ(standing.ClipRegion(false), (Rect{99, 50, 102, 91}));
    EXPECT_EQ(standing.ClipRegion(true), (Rect{89, 40, 112, 101}));

    TfrLineView lying = line(100, 50, 60, 0);
    lying.FrameWidth = 3;
    EXPECT_EQ(lying.ClipRegion(false), (Rect{100, 49, 161, 52}));

    // Double: a = 2 x 1.5 = 3, c = Trunc(0.5) + 2 = 2.
    standing.FrameWidth = 2;
    standing.FrameStyle = kFrameDouble;
    EXPECT_EQ(standing.ClipRegion(false), (Rect{97, 50, 103, 91}));
    // Thin lines grow by nothing: a = Trunc(0.5) = 0, c = 0.
    lying.FrameWidth = 1;
    EXPECT_EQ(lying.ClipRegion(false), (Rect{100, 50, 161, 51}));
}

TEST_F(LineView, Heights) {
    TfrLineView v = line(0, 0, 0, 37);
    EXPECT_EQ(v.CalcHeight(), 37);
    EXPECT_EQ(v.SmallestHeight(), 1);
    EXPECT_EQ(v.LeftoverHeight(), 0);
}
