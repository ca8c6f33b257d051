#include <gtest/gtest.h>

#include "engine/picture_target.h"

using namespace quor;

namespace {
// A 100 x 100 view at (10, 20) without frame lines: the frame rectangle
// reaches one past Left + Width and Top + Height.
const Rect kFrame{10, 20, 111, 121};
const Size kView{100, 100};
const Size kWide{200, 100};
}  // namespace

TEST(PictureTarget, KeepAspectFitsTheLimitingSideAndCentresTheOther) {
    EXPECT_EQ(pictureTarget(kFrame, kView, kWide, 1, 1, kPictureStretched | kPictureKeepAspect),
              (Rect{10, 20, 111, 70}));
    EXPECT_EQ(pictureTarget(kFrame, kView, kWide, 1, 1, kPictureStretched | kPictureKeepAspect | kPictureCenter),
              (Rect{10, 45, 111, 95}));
    // A tall graphic is limited by the height instead.
    EXPECT_EQ(pictureTarget(kFrame, kView, Size{50, 200}, 1, 1, kPictureStretched | kPictureKeepAspect),
              (Rect{10, 20, 35, 121}));
    EXPECT_EQ(pictureTarget(kFrame, kView, Size{50, 200}, 1, 1,
                            kPictureStretched | kPictureKeepAspect | kPictureCenter),
              (Rect{48, 20, 73, 121}));
}

TEST(PictureTarget, StretchedFillsTheFrameAndIgnoresCenter) {
    EXPECT_EQ(pictureTarget(kFrame, kView, kWide, 1, 1, kPictureStretched), kFrame);
    EXPECT_EQ(pictureTarget(kFrame, kView, kWide, 1, 1, kPictureStretched | kPictureCenter), kFrame);
}

TEST(PictureTarget, NaturalSizeFollowsTheDrawScale) {
    // At scale 2 the graphic covers 400 x 200 device pixels, beyond the frame.
    const Rect frame{20, 40, 221, 241};
    EXPECT_EQ(pictureTarget(frame, Size{200, 200}, kWide, 2, 2, 0), (Rect{20, 40, 420, 240}));
    // Centred, it overhangs equally (halves toward zero).
    EXPECT_EQ(pictureTarget(frame, Size{200, 200}, kWide, 2, 2, kPictureCenter), (Rect{20 - 99, 40, 20 - 99 + 400, 240}));
    // KeepAspect alone does nothing without Stretched; sizes round ties to even.
    EXPECT_EQ(pictureTarget(kFrame, kView, Size{5, 3}, 1.5, 2.5, kPictureKeepAspect), (Rect{10, 20, 18, 28}));
}
