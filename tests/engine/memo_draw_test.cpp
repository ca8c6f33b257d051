#include <gtest/gtest.h>

#include <limits>

#include "engine/memo_draw.h"
#include "engine/memo_fake_canvas.h"
#include "engine/memo_layout.h"

namespace quor {
namespace {

using testing::FakeCanvas;
const std::string M(1, kLineEndMarker);

// Memo Left 40, Top 24, Width 200, Height 100, gaps 2/1, no frame lines,
// after ApplyScale at scale 1.
ScaledBox box1() { return ScaledBox{40, 24, 200, 100, 2, 1, Rect{40, 24, 241, 125}, 1.0, 0}; }

MemoTextFormat format(unsigned alignment = 0, int lineSpacing = 2) {
    MemoTextFormat f;
    f.font.name = "Courier New";
    f.font.pointSize = 10;
    f.alignment = alignment;
    f.lineSpacing = lineSpacing;
    return f;
}

std::vector<std::string> text3() { return {"one two" + M, "three", "four four" + M}; }

TEST(MemoFont, ScreenRoundsAtScaleOneAndTruncatesElsewherePrinterUsesItsResolution) {
    EXPECT_EQ(scaledFontHeight(10, DrawScale{1, 1, false}, 96), -13);
    EXPECT_EQ(scaledFontHeight(11, DrawScale{1, 1, false}, 96), -15);      // 14.67 rounds
    EXPECT_EQ(scaledFontHeight(11, DrawScale{1, 1.001, false}, 96), -14);  // 14.68 truncates
    EXPECT_EQ(scaledFontHeight(10, DrawScale{2, 2, false}, 96), -26);      // 26.67 truncates
    EXPECT_EQ(scaledFontHeight(10, DrawScale{1, 1, false}, 600), -13);     // the screen ignores dpi
    EXPECT_EQ(scaledFontHeight(10, DrawScale{6.5, 6.5, true}, 600), -83);
    EXPECT_EQ(scaledFontHeight(9, DrawScale{3, 3, true}, 300), -38);  // 37.5: ties go to even
    EXPECT_EQ(scaledFontHeight(3, DrawScale{3, 3, true}, 300), -12);  // 12.5

    FakeCanvas c;
    FontSpec f = format().font;
    EXPECT_EQ(SelectScaledFont(c, f, DrawScale{}), -13);
    EXPECT_EQ(c.font().height, -13);
    EXPECT_EQ(c.font().pointSize, 10);
}

TEST(MemoFont, TheMostNegativeSizesSaturate) {
    const int small = std::numeric_limits<int>::min(), big = std::numeric_limits<int>::max();
    EXPECT_EQ(designFontHeight(small), big);
    EXPECT_EQ(designFontHeight(big), -big);
    for (const DrawScale& scale : {DrawScale{1, 1, false}, DrawScale{2, 2, false}, DrawScale{6, 6, true}})
        EXPECT_EQ(scaledFontHeight(small, scale, 600), big) << scale.y;
}

TEST(MemoDrawLines, EveryAlignmentPlacesLinesExactly) {
    FakeCanvas c;
    auto lines = text3();
    auto draw = [&](unsigned alignment) {
        c.calls.clear();
        DrawLines(c, lines, box1(), DrawScale{}, format(alignment), 3 * 15 + 2, LinesMode::Draw);
        return c.calls;
    };
    auto calls = draw(kMemoLeft);
    ASSERT_EQ(calls.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(calls[i].x, 42);
        EXPECT_EQ(calls[i].y, 25 + 15 * i);
        EXPECT_EQ(calls[i].clip, (Rect{41, 24, 239, 124}));
        EXPECT_EQ(calls[i].options, unsigned{kTextClipped});
        EXPECT_EQ(calls[i].font.height, -13);
    }
    EXPECT_EQ(calls[0].text, "one two");  // the marker never reaches the surface
    EXPECT_EQ(calls[1].text, "three");

    calls = draw(kMemoRight);  // right edge: frame width + Left - 1 - GapX
    EXPECT_EQ(calls[0].x, 238 - 7 * 7);
    EXPECT_EQ(calls[1].x, 238 - 5 * 7);

    calls = draw(kMemoCenter);
    EXPECT_EQ(calls[0].x, 42 + (197 - 49) / 2);
    EXPECT_EQ(calls[1].x, 42 + (197 - 35) / 2);  // 81: halves go toward zero

    calls = draw(kMemoLeft | kMemoVCenter);
    EXPECT_EQ(calls[0].y, 24 + (101 - 47) / 2 + 1);
    calls = draw(kMemoLeft | kMemoBottom);
    EXPECT_EQ(calls[0].y, 125 - 47 - 1 + 1);
}

TEST(MemoDrawLines, JustificationSpreadsOverSpacesExceptParagraphEnds) {
    FakeCanvas c;
    std::vector<std::string> lines{"a b\xA0" "c", "nospace", "end of para" + M, "x y"};
    DrawLines(c, lines, box1(), DrawScale{}, format(kMemoJustify), 0, LinesMode::Draw);
    ASSERT_EQ(c.calls.size(), 4u);
    EXPECT_EQ(c.calls[0].justifySpaces, 2);  // 32 and 160 both count
    EXPECT_EQ(c.calls[0].justifyExtra, 197 - 5 * 7);
    EXPECT_EQ(c.calls[0].x, 42);
    EXPECT_EQ(c.calls[1].justifySpaces, 0);  // no space: left-aligned
    EXPECT_EQ(c.calls[2].justifySpaces, 0);  // last line of a paragraph
    EXPECT_EQ(c.calls[3].justifySpaces, 1);
    EXPECT_EQ(c.justifyExtra(), 0);  // reset after every line
}

TEST(MemoDrawLines, FitCountsWholeLinesOnly) {
    FakeCanvas c;
    std::vector<std::string> lines(20, "line" + M);
    // Height 91: GapY 1 + 6 x 15 fills the clip exactly.
    ScaledBox b{40, 24, 200, 91, 2, 1, Rect{40, 24, 241, 116}, 1.0, 0};
    auto r = DrawLines(c, lines, b, DrawScale{}, format(), 0, LinesMode::Fit);
    EXPECT_EQ(r.linesDrawn, 6);
    EXPECT_EQ(r.lineStep, 15);
    EXPECT_TRUE(c.calls.empty());
    b.height = 90;
    b.frameRect.bottom = 115;
    EXPECT_EQ(DrawLines(c, lines, b, DrawScale{}, format(), 0, LinesMode::Fit).linesDrawn, 5);
    // Vertical placement does not move the fit test.
    EXPECT_EQ(DrawLines(c, lines, b, DrawScale{}, format(kMemoBottom), 300, LinesMode::Fit).linesDrawn, 5);
    EXPECT_EQ(DrawLines(c, std::span<const std::string>(lines).first(3), b, DrawScale{}, format(), 0,
                        LinesMode::Fit).linesDrawn,
              3);
}

TEST(MemoDrawLines, ScaleTwoAndPrinterResolution) {
    FakeCanvas screen;
    // Scale 2: Left 80, Top 48, GapX 2*2+1, GapY 2*1+0, frame right Round(240*2)+1.
    ScaledBox b2{80, 48, 400, 200, 5, 2, Rect{80, 48, 481, 251}, 2.0, 0};
    MemoTextFormat f = format();
    f.charSpacing = 1;
    DrawLines(screen, text3(), b2, DrawScale{2, 2, false}, f, 47, LinesMode::Draw);
    ASSERT_EQ(screen.calls.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(screen.calls[i].x, 85);
        EXPECT_EQ(screen.calls[i].y, 50 + 30 * i);  // step Round(2*2) + 26
        EXPECT_EQ(screen.calls[i].font.height, -26);
        EXPECT_EQ(screen.calls[i].charExtra, 2);
    }
    screen.calls.clear();
    DrawLines(screen, text3(), b2, DrawScale{2.5, 2.5, false}, f, 47, LinesMode::Draw);
    EXPECT_EQ(screen.calls[0].charExtra, 2);  // Round(2.5) goes to even

    // 600 dpi: scale 600 / (93 / 1.015); Left Round(40s) = 262, Top Round(24s) = 157,
    // GapX Round(2s) + Round(s/2) = 16, GapY Round(s) + Round(s/2) div 2 = 8.
    FakeCanvas printer(7, 600, true);
    const double s = 600 / (93 / 1.015);
    ScaledBox bp{262, 157, 1310, 655, 16, 8, Rect{262, 157, 1573, 813}, s, 0};
    DrawLines(printer, text3(), bp, DrawScale{s, s, true}, format(), 47, LinesMode::Draw);
    ASSERT_EQ(printer.calls.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(printer.calls[i].x, 278);
        EXPECT_EQ(printer.calls[i].y, 165 + 96 * i);  // Round(2s) = 13 plus 83 px of font
        EXPECT_EQ(printer.calls[i].font.height, -83);
    }
}

TEST(MemoDrawLines, TurnedTextRunsUpwardStepByStepToTheRight) {
    FakeCanvas c;
    auto lines = text3();
    DrawLines(c, lines, box1(), DrawScale{}, format(kMemoTurned), 47, LinesMode::Draw);
    ASSERT_EQ(c.calls.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(c.calls[i].x, 42 + 15 * i);
        EXPECT_EQ(c.calls[i].y, 124);
        EXPECT_EQ(c.calls[i].font.escapement, 900);
    }
    EXPECT_EQ(c.font().escapement, 0);  // the upright font is back

    c.calls.clear();
    DrawLines(c, lines, box1(), DrawScale{}, format(kMemoTurned | kMemoRight), 47, LinesMode::Draw);
    EXPECT_EQ(c.calls[0].y, 25 + 49);
    c.calls.clear();
    DrawLines(c, lines, box1(), DrawScale{}, format(kMemoTurned | kMemoCenter), 47, LinesMode::Draw);
    EXPECT_EQ(c.calls[0].y, 124 - (101 - 2 - 49) / 2 - 1);
    c.calls.clear();
    DrawLines(c, lines, box1(), DrawScale{}, format(kMemoTurned | kMemoVCenter), 47, LinesMode::Draw);
    EXPECT_EQ(c.calls[0].x, 40 + (201 - 47) / 2 + 2);
    // Turned text has no fit test.
    EXPECT_EQ(DrawLines(c, std::vector<std::string>(50, "x"), box1(), DrawScale{}, format(kMemoTurned), 0,
                        LinesMode::Fit).linesDrawn,
              50);
}

TEST(MemoDrawLines, RightToLeftAndExport) {
    FakeCanvas c;
    MemoTextFormat f = format();
    f.rtlReading = true;
    DrawLines(c, text3(), box1(), DrawScale{}, f, 0, LinesMode::Draw);
    EXPECT_EQ(c.calls[0].options, unsigned{kTextClipped | kTextRtlReading});

    c.calls.clear();
    ScaledBox b = box1();
    b.frameTyp = 15;
    std::vector<std::pair<unsigned, std::string>> got;
    DrawLines(c, text3(), b, DrawScale{}, format(kMemoRight), 0, LinesMode::Export,
              [&](const ExportedLine& l) {
                  EXPECT_EQ(l.frame, b.frameRect);
                  got.emplace_back(l.frameTyp, std::to_string(l.x) + "," + std::to_string(l.y) + ":" +
                                                   std::string(l.text));
              });
    EXPECT_TRUE(c.calls.empty());
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0], (std::pair<unsigned, std::string>{13u, "189,25:one two"}));
    EXPECT_EQ(got[1], (std::pair<unsigned, std::string>{5u, "203,40:three"}));
    EXPECT_EQ(got[2], (std::pair<unsigned, std::string>{7u, "175,55:four four"}));
}

TEST(MemoDrawUnderlines, OneRuleBelowEveryRow) {
    FakeCanvas c;
    DrawUnderlines(c, box1(), DrawScale{}, format(), 0x0000FF);
    ASSERT_EQ(c.lines.size(), 6u);  // 100 div 15
    for (int i = 0; i < 6; ++i) EXPECT_EQ(c.lines[i], (Rect{40, 40 + 15 * i, 239, 40 + 15 * i}));
    EXPECT_EQ(c.pen().width, 1);
    EXPECT_EQ(c.pen().color, 0x0000FFu);
    c.lines.clear();
    DrawUnderlines(c, box1(), DrawScale{}, format(0, -13), 0);  // a zero step draws nothing
    EXPECT_TRUE(c.lines.empty());
}

TEST(MemoDrawUnderlines, OnlyRowsThatCanShowAreDrawn) {
    // The fake surface shows 0..100000; a damaged page may be far taller.
    FakeCanvas c;
    ScaledBox tall = box1();
    tall.height = 2000000000;
    DrawUnderlines(c, tall, DrawScale{}, format(), 0);
    ASSERT_EQ(c.lines.size(), 6665u);
    EXPECT_EQ(c.lines.front().top, 40);
    EXPECT_EQ(c.lines.back().top, 40 + 15 * 6664);
    c.lines.clear();
    tall.top = -1000000000;
    DrawUnderlines(c, tall, DrawScale{}, format(), 0);
    ASSERT_FALSE(c.lines.empty());
    EXPECT_GE(c.lines.front().top, -1);
    EXPECT_LE(c.lines.back().top, 100001);
}

TEST(MemoCalcWidth, WidestLinePlusFrameAndGaps) {
    FakeCanvas c;
    ScaledBox design{40, 24, 96, 10, 2, 1, Rect{}, 1.0, 0};
    std::vector<std::string> lines{"abc" + M, "abcdefgh" + M, "ab"};
    EXPECT_EQ(CalcWidth(c, lines, design, DrawScale{}, format()), 56 + 1 + 4 + 1);
    MemoTextFormat f = format();
    f.charSpacing = 1;
    EXPECT_EQ(CalcWidth(c, lines, design, DrawScale{}, f), 64 + 6);
    EXPECT_EQ(CalcWidth(c, lines, design, DrawScale{2, 2, false}, format()), 28 + 6);
    EXPECT_EQ(CalcWidth(c, {}, design, DrawScale{}, format()), 6);
}

TEST(MemoDrawLines, ExtremeStoredGeometrySaturatesInsteadOfOverflowing) {
    FakeCanvas c;
    const int big = std::numeric_limits<int>::max(), small = std::numeric_limits<int>::min();
    ScaledBox b{big - 10, small + 10, big, big, big, 5, Rect{small, small, big, big}, 1e9, 15};
    std::vector<std::string> lines(3, "a b");
    for (unsigned alignment : {unsigned{kMemoRight}, kMemoCenter | kMemoVCenter, kMemoJustify | kMemoBottom,
                               kMemoTurned | kMemoCenter, kMemoTurned | kMemoJustify | kMemoVCenter}) {
        c.calls.clear();
        DrawLines(c, lines, b, DrawScale{3, 3, false}, format(alignment, big), big, LinesMode::Draw);
        ASSERT_EQ(c.calls.size(), 3u);
    }
    EXPECT_EQ(c.calls[2].x, big);  // turned lines step right past the int range: held at its end

    // A frame at the very end of the range: its clip starts there too.
    c.calls.clear();
    DrawLines(c, lines, ScaledBox{big, 0, 10, 10, 0, 0, Rect{big, 0, big, 10}, 1.0, 0}, DrawScale{}, format(),
              15, LinesMode::Draw);
    ASSERT_FALSE(c.calls.empty());
    EXPECT_EQ(c.calls[0].clip.left, big);

    // A one-pixel step over a huge height draws rules only as far as the surface reaches.
    ScaledBox tall{0, 0, 100, big, 0, 0, Rect{0, 0, 101, big}, 1.0, 0};
    DrawUnderlines(c, tall, DrawScale{}, format(0, -12), 0);
    EXPECT_LE(c.lines.size(), 100001u);
    EXPECT_EQ(CalcWidth(c, lines, tall, DrawScale{0, 0, false}, format()), 21 + 1 + 1);
}

}  // namespace
}  // namespace quor
