// The page and band engine over the built-in templates: the document memo
// cut at whole lines over the pages, the overlay on every page, the summary
// after the text, and what the OnBeginBand handler may change.

#include <numeric>

#include "band_build_fixture.h"
#include "platform/error.h"
#include "platform/messages.h"

namespace quor::test {
namespace {

class BuiltinBuildTest : public BandBuildTest, public ::testing::WithParamInterface<const char*> {
protected:
    // The memo's measured height is its lines and both gaps (its frame is
    // not counted); a continued piece needs its gaps, its lines and one
    // pixel of the cut. The lowest y of the text on every page and the room
    // of a piece:
    int bottom() { return page().BottomEdge(); }
    int room() { return bottom() - 36 - 2; }
    // Lines a page piece holds: a line fits when it ends at least one pixel
    // above the piece's bottom, after the top gap. Page 1's piece starts 4
    // below the band and reaches one pixel past the cut; later pieces start
    // at the band.
    int firstPageLines() { return (room() - 4) / lineStep(); }
    int laterPageLines() { return (room() - 1) / lineStep(); }
    // The template's own bottom edge, then bottom margins over more than one
    // line step, so that every position of the cut against the lines is met.
    std::vector<int> bottomMargins() {
        std::vector<int> out{0};
        for (int m = 40; m <= 41 + lineStep(); ++m) out.push_back(m);
        return out;
    }
    void loadWithBottomMargin(int lines, int margin) {
        loadBuiltin(GetParam(), lines);
        if (margin != 0) page().Margins.bottom = margin;
    }
    // The most lines that fit page 1 whole.
    int onePageLines() { return (bottom() - 36 - 4 - 2) / lineStep(); }

    // The page and top of the summary's picture when the text ended at
    // `cursor` on page `last`. The landscape summary band is Breaked: its
    // picture prints where it fits without the band fitting whole.
    std::pair<std::size_t, int> summaryPlace(std::size_t last, int cursor) {
        const bool breaked = GetParam() == std::string(kLandscapeTemplateType);
        const int pieceRoom = bottom() - cursor - 2;
        if (cursor + 18 <= bottom() || (breaked && 14 < pieceRoom)) return {last, cursor + 4};
        if (!breaked) return {last + 1, 36 + 4};
        if (4 < pieceRoom) return {last + 1, 36};
        return {last + 1, 36 + 4 - pieceRoom};
    }
    void expectSummaryAt(std::pair<std::size_t, int> place) {
        ASSERT_EQ(host_.pages.size(), place.first + 1);
        const PrintedView* fpb = find(host_.pages.back(), "FPB");
        ASSERT_NE(fpb, nullptr);
        EXPECT_EQ(fpb->top, place.second);
    }
};

TEST_P(BuiltinBuildTest, EmptyTextGivesOnePageWithEveryBand) {
    loadBuiltin(GetParam(), 0);
    build();
    ASSERT_EQ(host_.pages.size(), 1u);
    const auto& pg = host_.pages[0];
    const PrintedView* fm1 = find(pg, "FM1");
    ASSERT_NE(fm1, nullptr);
    EXPECT_EQ(fm1->top, 36 + 4);
    EXPECT_EQ(fm1->lines, 0);
    ASSERT_NE(find(pg, "FPTP"), nullptr);
    ASSERT_NE(find(pg, "FPB"), nullptr);
    // The summary follows the title band's own height.
    EXPECT_EQ(find(pg, "FPB")->top, 36 + 18 + 4);
    EXPECT_EQ(page().CursorY, 36 + 18 + 18);
    // The overlay is printed first, at its own position.
    EXPECT_TRUE(pg[0].name == "FPTP" || pg[0].name == "FPBP");
    EXPECT_FALSE(state_.ErrorFlag);
}

TEST_P(BuiltinBuildTest, TextUpToOnePageStaysOnPageOne) {
    loadBuiltin(GetParam(), 0);
    for (int n : {1, onePageLines()}) {
        SCOPED_TRACE(n);
        fresh();
        loadBuiltin(GetParam(), n);
        build();
        ASSERT_GE(host_.pages.size(), 1u);
        EXPECT_EQ(memoLines()[0], n);
        EXPECT_EQ(find(host_.pages[0], "FM1")->top, 40);
        expectSummaryAt(summaryPlace(0, 36 + std::max(18, 6 + n * lineStep())));
    }
}

TEST_P(BuiltinBuildTest, OneLineMoreThanAPageContinuesOnPageTwo) {
    loadBuiltin(GetParam(), 0);
    for (int margin : bottomMargins()) {
        SCOPED_TRACE(margin);
        fresh();
        loadWithBottomMargin(0, margin);
        const int n = onePageLines() + 1;
        loadWithBottomMargin(n, margin);
        build();
        ASSERT_GE(host_.pages.size(), 2u);
        const auto lines = memoLines();
        EXPECT_EQ(lines[0], firstPageLines());
        EXPECT_EQ(std::accumulate(lines.begin(), lines.end(), 0), n);
        EXPECT_EQ(find(host_.pages[1], "FM1")->top, 36);
        EXPECT_NE(find(host_.pages[1], "FPTP"), nullptr);
    }
}

TEST_P(BuiltinBuildTest, ThousandLinesFillPagesAtWholeLines) {
    const int n = 1000;
    loadBuiltin(GetParam(), 0);
    for (int margin : bottomMargins()) {
        SCOPED_TRACE(margin);
        fresh();
        loadWithBottomMargin(n, margin);
        build();
        const auto lines = memoLines();
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(std::accumulate(lines.begin(), lines.end(), 0), n);
        EXPECT_EQ(lines[0], firstPageLines());
        const int left = n - firstPageLines();
        const std::size_t expectedPages =
            1 + static_cast<std::size_t>((left + laterPageLines() - 1) / laterPageLines());
        ASSERT_GE(lines.size(), expectedPages);
        for (std::size_t i = 1; i + 1 < expectedPages; ++i) EXPECT_EQ(lines[i], laterPageLines()) << i;
        for (std::size_t i = 0; i < expectedPages; ++i) {
            SCOPED_TRACE(i);
            // Overlay first on every page, then the memo piece.
            ASSERT_FALSE(host_.pages[i].empty());
            EXPECT_TRUE(host_.pages[i][0].name == "FPTP" || host_.pages[i][0].name == "FPBP");
            EXPECT_EQ(find(host_.pages[i], "FM1")->top, i == 0 ? 40 : 36);
        }
        // The summary follows the last piece: its frame, gaps and lines. A
        // cut that leaves the memo at most three pixels under a line makes
        // the continued piece a line taller than its lines (the leftover
        // counts the memo's frame width, the fit of a line does not), so the
        // exact place holds at the template's own bottom only.
        const int lastLines = lines[expectedPages - 1];
        const std::pair<std::size_t, int> place =
            summaryPlace(expectedPages - 1, 36 + 2 + lastLines * lineStep() + 1);
        if (margin == 0) expectSummaryAt(place);
        ASSERT_GE(host_.pages.size(), place.first + 1);
        const PrintedView* fpb = find(host_.pages.back(), "FPB");
        ASSERT_NE(fpb, nullptr);
        if (host_.pages.size() == place.first + 1) {
            EXPECT_GE(fpb->top, place.second);
        }
    }
}

TEST_P(BuiltinBuildTest, BeginBandSeesEveryShowingInOrder) {
    loadBuiltin(GetParam(), 0);
    loadBuiltin(GetParam(), onePageLines() + 1);
    build();
    const std::vector<std::string> expected = {
        "BeginPage 0", "BeginBand 13 Overlay1", "EndBand 13", "BeginBand 22 ", "EndBand 22",
        "BeginBand 0 ReportTitle1",
        // The split starts page 2 from inside the title band.
        "BeginBand 15 ", "EndBand 15", "BeginPage 1", "BeginBand 13 Overlay1", "EndBand 13",
        "BeginBand 2 ", "EndBand 2", "BeginBand 14 ", "EndBand 14", "EndBand 0",
        "BeginBand 15 ", "EndBand 15", "BeginBand 1 ReportSummary1", "EndBand 1", "EndPage 1"};
    EXPECT_EQ(host_.events, expected);
}

TEST_P(BuiltinBuildTest, BeginBandHidesAndResizesTheSummary) {
    loadBuiltin(GetParam(), 3);
    host_.onBeginBand = [](TfrBand& b) {
        if (b.Name == "ReportSummary1") b.Visible = false;
    };
    build();
    ASSERT_EQ(host_.pages.size(), 1u);
    EXPECT_EQ(find(host_.pages[0], "FPB"), nullptr);
    EXPECT_EQ(page().CursorY, 36 + 6 + 3 * lineStep());

    fresh();
    loadBuiltin(GetParam(), 3);
    const int cursor = 36 + 6 + 3 * lineStep();
    int height = bottom() - cursor;
    host_.onBeginBand = [&height](TfrBand& b) {
        if (b.Name == "ReportSummary1") b.Height = height;
    };
    build();
    ASSERT_EQ(host_.pages.size(), 1u);
    EXPECT_EQ(page().CursorY, bottom());

    fresh();
    loadBuiltin(GetParam(), 3);
    height = bottom() - cursor + 1;
    host_.onBeginBand = [&height](TfrBand& b) {
        if (b.Name == "ReportSummary1") b.Height = height;
    };
    build();
    if (GetParam() == std::string(kPortraitTemplateType)) {
        // Too tall by one pixel: the summary goes whole to a new page.
        ASSERT_EQ(host_.pages.size(), 2u);
        EXPECT_EQ(find(host_.pages[1], "FPB")->top, 36 + 4);
    } else {
        // The landscape summary is Breaked: its picture still fits here.
        ASSERT_EQ(host_.pages.size(), 1u);
        EXPECT_EQ(find(host_.pages[0], "FPB")->top, cursor + 4);
    }
}

TEST_P(BuiltinBuildTest, OverlayMovedToTheTopEdgeOfThePaper) {
    loadBuiltin(GetParam(), 2);
    host_.onBeginBand = [](TfrBand& b) {
        if (b.Kind == kBandOverlay) b.Top = 0;
    };
    build();
    const PrintedView* fptp = find(host_.pages[0], "FPTP");
    ASSERT_NE(fptp, nullptr);
    // Its place inside the band, from the top edge of the paper.
    const bool portrait = GetParam() == std::string(kPortraitTemplateType);
    EXPECT_EQ(fptp->top, portrait ? 114 - 112 : 108 - 104);
}

TEST_P(BuiltinBuildTest, StopDuringALongSplitKeepsThePagesMade) {
    loadBuiltin(GetParam(), 1000);
    host_.onBeginBand = [this](TfrBand& b) {
        if (b.Kind == kBandOverlay && host_.pages.size() == 3) host_.stop = true;
    };
    build();
    EXPECT_EQ(host_.pages.size(), 3u);
    EXPECT_FALSE(state_.ErrorFlag);
}

TEST_P(BuiltinBuildTest, PageWithoutRoomEndsInAnError) {
    loadBuiltin(GetParam(), 500);
    // Page 1 has room; the top margin of later pages is beyond the bottom.
    host_.onBeginBand = [this](TfrBand& b) {
        if (b.Kind == kBandOverlay && host_.pages.size() == 2) page().Margins.top = bottom() + 10;
    };
    build();
    EXPECT_TRUE(state_.ErrorFlag);
    EXPECT_LE(host_.pages.size(), static_cast<std::size_t>(kMaxPagesWithoutProgress + 3));
    EXPECT_NE(state_.ErrorText.find(message(kMsgNoRoomForBand)), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Templates, BuiltinBuildTest,
                         ::testing::Values(kPortraitTemplateType, kLandscapeTemplateType));

TEST_F(BandBuildTest, ErrorTextNamesTheViewAndItsLines) {
    loadBuiltin(kPortraitTemplateType, 0);
    memo().Memo = {"a", "b"};
    engine().currentView = &memo();
    state_.recordError(Error("bad"));
    EXPECT_TRUE(state_.ErrorFlag);
    EXPECT_TRUE(host_.stop);
    EXPECT_EQ(state_.ErrorText, message(kMsgBuildError) + "\ra\rb\r\r" + message(kMsgBuildDocument) +
                                    " frRep\r" + message(kMsgBuildObject) + " FM1\r\rbad");
    engine().currentView = nullptr;
    state_.recordError(Error("x"));
    EXPECT_EQ(state_.ErrorText, message(kMsgBuildError) + "\r\r" + message(kMsgBuildDocument) + " frRep\r\rx");
}

}  // namespace
}  // namespace quor::test
