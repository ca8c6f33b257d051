// The page engine over templates of our own: page columns, band columns,
// child bands, page footers, views of a Breaked band that cross the cut,
// a memo ending exactly at the cut, and the band view's run-time properties.

#include <algorithm>
#include <numeric>

#include "band_build_fixture.h"
#include "engine/expr/view_bridge.h"
#include "platform/messages.h"

namespace quor::test {
namespace {

// Shows the master-data band once per record: the data loop as far as the
// page engine sees it.
class RecordLoop : public DataLoop {
public:
    int records = 0;
    void run(TfrPage& page, int) override {
        for (int i = 0; i < records && !page.build->stopped(); ++i) page.ShowBand(page.band(kBandMasterData));
    }
    void accumulate(TfrBand&) override {}
    void resetAggregates(TfrBand&) override {}
    bool drawSubreports(TfrBand&, std::size_t) override { return true; }
    void drawCrossCells(TfrBand&) override {}
    void prepareSources(TfrPage&) override {}
};

class BandLayoutTest : public BandBuildTest {
protected:
    // Every printing of a view: page index and the view as printed.
    std::vector<std::pair<std::size_t, PrintedView>> printed(const std::string& name) const {
        std::vector<std::pair<std::size_t, PrintedView>> out;
        for (std::size_t i = 0; i < host_.pages.size(); ++i)
            for (const auto& v : host_.pages[i])
                if (v.name == name) out.emplace_back(i, v);
        return out;
    }
    int countEvents(const std::string& event) const {
        return static_cast<int>(std::count(host_.events.begin(), host_.events.end(), event));
    }
    RecordLoop loop_;
};

TEST_F(BandLayoutTest, ColumnsAndMarginsOfADamagedPageSpanningMoreThanAnIntSaturate) {
    loadBuiltin(kPortraitTemplateType, 200);
    page().Margins.bottom = std::numeric_limits<int>::min() + 15;
    EXPECT_EQ(page().BottomEdge(), std::numeric_limits<int>::max());
    page().Margins.bottom = 0;
    page().Columns = 16779316;
    page().ColumnGap = -256;
    build();
    const std::int64_t room = page().RightEdge() - page().LeftEdge();
    EXPECT_EQ(page().ColumnWidth, (room + std::int64_t{16779315} * 256) / 16779316);
}

TEST_F(BandLayoutTest, PageColumnsTakeTheTextBeforeANewPage) {
    loadBuiltin(kPortraitTemplateType, 0);
    page().Columns = 2;
    page().ColumnGap = 20;
    // Three columns' worth of lines.
    const int bottom = page().BottomEdge();
    const int perColumn = (bottom - 36 - 2 - 4) / lineStep();
    loadBuiltin(kPortraitTemplateType, 3 * perColumn);
    page().Columns = 2;
    page().ColumnGap = 20;
    build();
    const auto pieces = printed("FM1");
    ASSERT_EQ(host_.pages.size(), 2u);
    ASSERT_GE(pieces.size(), 3u);
    const int shift = page().ColumnWidth + 20;
    EXPECT_EQ(page().ColumnWidth, (page().RightEdge() - page().LeftEdge() - 20) / 2);
    // Page 1: the first column below the title's offset, the second from
    // the top margin, shifted by one column; page 2 starts in column 1.
    EXPECT_EQ(pieces[0].first, 0u);
    EXPECT_EQ(pieces[0].second.top, 40);
    EXPECT_EQ(pieces[1].first, 0u);
    EXPECT_EQ(pieces[1].second.top, 36);
    EXPECT_EQ(pieces[1].second.left, pieces[0].second.left + shift);
    EXPECT_EQ(pieces[1].second.lines, perColumn);
    EXPECT_EQ(pieces[2].first, 1u);
    EXPECT_EQ(pieces[2].second.left, pieces[0].second.left);
    int total = 0;
    for (const auto& p : pieces) total += p.second.lines;
    EXPECT_EQ(total, 3 * perColumn);
}

TEST_F(BandLayoutTest, BandColumnsPutRecordsSideBySide) {
    blankPage();
    TfrBandView& data = addBand("Data1", kBandMasterData, 100, 20);
    data.Columns = 3;
    data.ColumnWidth = 100;
    data.ColumnGap = 10;
    addPicture("Cell", 36, 102, 90, 16);
    addBand("Summary1", kBandReportSummary, 200, 20);
    addPicture("Sum", 36, 202, 90, 16);
    loop_.records = 7;
    state_.dataLoop = &loop_;
    build();
    const auto cells = printed("Cell");
    ASSERT_EQ(cells.size(), 7u);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(cells[i].second.left, 36 + 110 * static_cast<int>(i % 3));
        EXPECT_EQ(cells[i].second.top, 36 + 2 + 20 * static_cast<int>(i / 3));
    }
    // The open third row is closed once by the bands that follow.
    const auto sum = printed("Sum");
    ASSERT_EQ(sum.size(), 1u);
    EXPECT_EQ(sum[0].second.left, 36);
    EXPECT_EQ(sum[0].second.top, 36 + 3 * 20 + 2);
}

TEST_F(BandLayoutTest, ChildBandFollowsItsBandAndItsVisibility) {
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(run);
        fresh();
        blankPage();
        TfrBandView& title = addBand("Title1", kBandReportTitle, 0, 30);
        title.ChildBand = "Child1";
        if (run == 2) title.Flags |= kBandPrintChildIfInvisible;
        addPicture("T", 36, 5, 50, 10);
        addBand("Child1", kBandChild, 100, 20);
        addPicture("C", 36, 104, 50, 10);
        host_.onBeginBand = [run](TfrBand& b) {
            if (b.Name == "Title1" && run > 0) b.Visible = false;
        };
        build();
        ASSERT_EQ(host_.pages.size(), 1u);
        const auto t = printed("T");
        const auto c = printed("C");
        if (run == 0) {
            ASSERT_EQ(t.size(), 1u);
            ASSERT_EQ(c.size(), 1u);
            EXPECT_EQ(c[0].second.top, 36 + 30 + 4);
        } else {
            // Hidden: nothing printed, the cursor stays; the child only
            // with PrintChildIfInvisible.
            EXPECT_TRUE(t.empty());
            ASSERT_EQ(c.size(), run == 2 ? 1u : 0u);
            if (run == 2) {
                EXPECT_EQ(c[0].second.top, 36 + 4);
            }
            EXPECT_EQ(countEvents("EndBand 0"), 1);
        }
        // A child band is never shown by itself.
        EXPECT_EQ(countEvents("BeginBand 21 Child1"), run == 1 ? 0 : 1);
    }
}

class PageFooterTest : public BandLayoutTest, public ::testing::WithParamInterface<std::uint16_t> {
protected:
    // Three pages of text in the built-in template with a page footer.
    void buildWithFooter(std::uint16_t flags) {
        loadBuiltin(kPortraitTemplateType, 0);
        addBand("Footer1", kBandPageFooter, 2000, 20, flags);
        addPicture("PF", 36, 2003, 50, 10);
        const int room = page().BottomEdge() - 20 - 36 - 2;
        const int lines = 2 * ((room - 4) / lineStep()) + 10;
        std::vector<std::string> text;
        for (int i = 0; i < lines; ++i) text.push_back(std::to_string(i));
        memo().Memo = text;
        build();
    }
};

TEST_P(PageFooterTest, FooterPagesAndTheEndOfThePass) {
    const std::uint16_t flags = GetParam();
    buildWithFooter(flags);
    ASSERT_EQ(host_.pages.size(), 3u);
    const bool first = flags & kBandOnFirstPage;
    const bool last = flags & kBandOnLastPage;
    std::vector<std::size_t> expected;
    if (first) expected.push_back(0);
    expected.push_back(1);
    if (last) expected.push_back(2);
    std::vector<std::size_t> pages;
    for (const auto& [index, view] : printed("PF")) {
        pages.push_back(index);
        // At the bottom limit: the bottom margin less the footer.
        EXPECT_EQ(view.top, page().BottomEdge() - 20 + 3);
    }
    EXPECT_EQ(pages, expected);
    // A page is ended before its footer; the last page ends once more at the
    // end of the pass, with the page count when its footer was drawn.
    std::vector<std::string> ends;
    for (const auto& e : host_.events)
        if (e.rfind("EndPage", 0) == 0 || e == "BeginBand 3 Footer1") ends.push_back(e);
    std::vector<std::string> want;
    if (first) want.insert(want.end(), {"EndPage 0", "BeginBand 3 Footer1"});
    want.insert(want.end(), {"EndPage 1", "BeginBand 3 Footer1"});
    if (last) want.insert(want.end(), {"EndPage 2", "BeginBand 3 Footer1", "EndPage 3"});
    else want.push_back("EndPage 2");
    EXPECT_EQ(ends, want);
}

INSTANTIATE_TEST_SUITE_P(Flags, PageFooterTest,
                         ::testing::Values(std::uint16_t{0}, kBandOnFirstPage, kBandOnLastPage,
                                           static_cast<std::uint16_t>(kBandOnFirstPage | kBandOnLastPage)));

TEST_F(BandLayoutTest, EmptyNamedBandsAtEveryPageChange) {
    loadBuiltin(kPortraitTemplateType, 0);
    const int room = page().BottomEdge() - 36 - 2;
    loadBuiltin(kPortraitTemplateType, 2 * ((room - 4) / lineStep()) + 10);
    build();
    ASSERT_EQ(host_.pages.size(), 3u);
    // Page header and column header at each later page start, the column
    // footer at each page change and at the end, the page footer when page 2
    // is closed by starting page 3; the loose-view band on page 1 only.
    EXPECT_EQ(countEvents("BeginBand 2 "), 2);
    EXPECT_EQ(countEvents("BeginBand 14 "), 2);
    EXPECT_EQ(countEvents("BeginBand 15 "), 3);
    EXPECT_EQ(countEvents("BeginBand 3 "), 1);
    EXPECT_EQ(countEvents("BeginBand 22 "), 1);
    const auto footer = std::find(host_.events.begin(), host_.events.end(), "BeginBand 3 ");
    ASSERT_NE(footer, host_.events.begin());
    EXPECT_EQ(*(footer - 1), "EndPage 1");
    EXPECT_EQ(*(footer + 2), "BeginPage 2");
}

TEST_F(BandLayoutTest, NothingWithoutDataWhenEmptyReportsAreNotPrinted) {
    loadBuiltin(kPortraitTemplateType, 20);
    host_.ifEmpty = false;
    build();
    EXPECT_TRUE(host_.pages.empty());
    EXPECT_TRUE(host_.events.empty());
    EXPECT_FALSE(state_.ErrorFlag);
}

TEST_F(BandLayoutTest, ViewsOfABreakedBandThatCrossTheCutMoveWhole) {
    blankPage();
    const int bottom = page().BottomEdge();
    const int room = bottom - 36 - 2;
    addBand("Title1", kBandReportTitle, 0, room + 60, kBandStretched | kBandBreaked);
    addMemo("Text", 36, 4, 300, 20, 10);
    addPicture("Above", 400, 10, 50, 10);
    addPicture("Across", 400, room - 5, 50, 10);
    addPicture("Below", 400, room + 20, 50, 10);
    build();
    ASSERT_EQ(host_.pages.size(), 2u);
    const auto above = printed("Above");
    const auto across = printed("Across");
    const auto below = printed("Below");
    ASSERT_EQ(above.size(), 1u);
    EXPECT_EQ(above[0].first, 0u);
    EXPECT_EQ(above[0].second.top, 36 + 10);
    ASSERT_EQ(across.size(), 1u);
    EXPECT_EQ(across[0].first, 1u);
    EXPECT_EQ(across[0].second.top, 36);
    ASSERT_EQ(below.size(), 1u);
    EXPECT_EQ(below[0].first, 1u);
    EXPECT_EQ(below[0].second.top, 36 + 20);
}

TEST_F(BandLayoutTest, TextEndingAtTheCutLosesNoLineAndMayLeaveAnEmptyPiece) {
    loadBuiltin(kPortraitTemplateType, 0);
    const int step = lineStep();
    const int paper = page().prnInfo.pageHeight;
    constexpr int kLines = 59;
    // Every cut position over two line steps around the end of page 2: the
    // text that ends exactly at the cut (or one pixel below it) is printed
    // whole, and the page after it gets a piece that holds no line.
    int emptyPieces = 0;
    for (int room = 29 * step; room < 31 * step; ++room) {
        SCOPED_TRACE(room);
        fresh();
        loadBuiltin(kPortraitTemplateType, kLines);
        page().Margins.bottom = paper - (36 + room + 2);
        build();
        const auto lines = memoLines();
        EXPECT_EQ(std::accumulate(lines.begin(), lines.end(), 0), kLines);
        EXPECT_FALSE(state_.ErrorFlag);
        const auto pieces = printed("FM1");
        ASSERT_GE(pieces.size(), 2u);
        ASSERT_LE(pieces.size(), 3u);
        for (std::size_t i = 0; i + 1 < pieces.size(); ++i) EXPECT_GT(pieces[i].second.lines, 0);
        if (pieces.back().second.lines == 0) {
            ++emptyPieces;
            EXPECT_EQ(pieces.size(), 3u);
        }
    }
    EXPECT_GE(emptyPieces, 1);
}

TEST_F(BandLayoutTest, AMemoCutAboveItsFirstLineContinuesOnTheNextPage) {
    loadBuiltin(kPortraitTemplateType, 40);
    const int bottom = page().BottomEdge();
    // Page 1 leaves the memo less than one line; later pages have room.
    page().Margins.top = bottom - 20;
    host_.onBeginBand = [this](TfrBand& b) {
        if (b.Kind == kBandOverlay && host_.pages.size() == 2) page().Margins.top = 36;
    };
    build();
    ASSERT_GE(host_.pages.size(), 2u);
    EXPECT_EQ(find(host_.pages[0], "FM1"), nullptr);
    const auto lines = memoLines();
    EXPECT_EQ(std::accumulate(lines.begin(), lines.end(), 0), 40);
    EXPECT_EQ(lines[1], 40);
    EXPECT_FALSE(state_.ErrorFlag);
}

TEST_F(BandLayoutTest, ALineTallerThanAnyPageEndsTheBuildWithAnError) {
    loadBuiltin(kPortraitTemplateType, 3);
    memo().Font.pointSize = 2000;
    build();
    EXPECT_TRUE(state_.ErrorFlag);
    EXPECT_TRUE(host_.stop);
    EXPECT_LE(host_.pages.size(), static_cast<std::size_t>(kMaxPagesWithoutProgress + 2));
    EXPECT_NE(state_.ErrorText.find(message(kMsgNoRoomForBand) + " ReportTitle1"), std::string::npos);
}

TEST_F(BandLayoutTest, BandViewPropertiesAreTheBandsDuringABuild) {
    loadBuiltin(kPortraitTemplateType, 3);
    std::vector<Variant> seen;
    host_.onBeginBand = [&seen](TfrBand& b) {
        if (b.Kind == kBandOverlay) b.View->SetProperty("Top", Variant(0));
        if (b.Name != "ReportSummary1") return;
        b.View->SetProperty("HEIGHT", Variant(40));
        seen.push_back(b.View->GetProperty("Height"));
        seen.push_back(*reportObjectProperty("reportsummary1", "Height"));
        seen.push_back(b.View->GetProperty("Top"));
        seen.push_back(Variant(b.Top));
        b.View->SetProperty("Left", Variant(7));
        b.View->SetProperty("Width", Variant(9));
        seen.push_back(Variant(b.Left + b.Width));
    };
    const int cursor = 36 + 6 + 3 * lineStep();
    build();
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0], Variant(40));
    EXPECT_EQ(seen[1], Variant(40));
    EXPECT_EQ(seen[2], seen[3]);
    EXPECT_EQ(seen[4], Variant(16));
    // The new height is the band's for this showing.
    EXPECT_EQ(page().CursorY, cursor + 40);
    // The overlay moved to the top edge of the paper.
    const PrintedView* fptp = find(host_.pages[0], "FPTP");
    ASSERT_NE(fptp, nullptr);
    EXPECT_EQ(fptp->top, 114 - 112);
    // The views themselves never changed.
    EXPECT_EQ(report_.FindView("ReportSummary1")->Height, 18);
    EXPECT_EQ(report_.FindView("ReportSummary1")->GetProperty("Height"), Variant(18));

    // Hidden through its view: the summary prints nothing.
    fresh();
    loadBuiltin(kPortraitTemplateType, 3);
    host_.onBeginBand = [](TfrBand& b) {
        if (b.Name == "ReportSummary1") b.View->SetProperty("Visible", Variant(false));
    };
    build();
    EXPECT_EQ(find(host_.pages[0], "FPB"), nullptr);
    EXPECT_TRUE(report_.FindView("ReportSummary1")->Visible);
    EXPECT_EQ(page().CursorY, cursor);
}

}  // namespace
}  // namespace quor::test
