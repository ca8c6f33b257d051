// Whole builds through Prepare over templates of our own: views aligned to
// each other in a band below the top of the page, and a page template that
// continues on the page the previous one ended on.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/band.h"
#include "engine/band_view.h"
#include "engine/engine_state.h"
#include "engine/memo_view.h"
#include "engine/page.h"
#include "engine/view.h"
#include "report_fixture.h"

namespace quor::test {
namespace {

class PageTemplatesBuildTest : public ReportTest {
protected:
    void SetUp() override {
        saved_ = engine();
        engine().expandBrackets = [](TfrView&, const std::string& text) { return text; };
        report_.ShowProgress = false;
        report_.TemplatePages.Clear();
    }
    void TearDown() override { engine() = saved_; }

    TfrPage& addPage() {
        TfrPage& p = report_.TemplatePages.Add();
        p.Margins = PageMargins{36, 36, 36, 36};
        return p;
    }
    static void addBand(TfrPage& p, const std::string& name, int kind, int top, int height) {
        auto v = std::make_unique<TfrBandView>();
        v->Name = name;
        v->FrameTyp = static_cast<std::uint16_t>(kind);
        v->SetBounds(0, top, 700, height);
        v->Flags = kind == kBandReportTitle ? kBandStretched | kBandBreaked : kBandStretched;
        p.addObject(std::move(v));
    }
    static TfrMemoView& addMemo(TfrPage& p, const std::string& name, int left, int top, int width) {
        auto v = std::make_unique<TfrMemoView>();
        v->Name = name;
        v->SetBounds(left, top, width, 16);
        v->Memo = {name};
        return static_cast<TfrMemoView&>(*p.addObject(std::move(v)));
    }
    // The prepared view and the index of the page it was printed on.
    std::pair<int, const TfrView*> printed(const std::string& name) {
        for (int i = 0; i < report_.PreparedPages.Count(); ++i) {
            report_.PreparedPages.Unpack(i);
            const auto& p = report_.PreparedPages.Item(i).Page;
            if (const TfrView* v = p ? p->FindView(name) : nullptr) return {i, v};
        }
        return {-1, nullptr};
    }

    EngineState saved_;
};

struct AlignedView {
    const char* name;
    int left, top, width;
    std::uint8_t align;
    // Where it prints, from the printable edge its alignment names.
    int fromEdge;
};

struct AlignCase {
    const char* title;
    std::vector<AlignedView> views;
};

TEST_F(PageTemplatesBuildTest, AlignedViewsFollowEachOtherInABandBelowThePageTop) {
    // Right-aligned rows are listed from the right: each view moves up to
    // the place of the one before it.
    const std::vector<AlignCase> cases = {
        {"two left", {{"A", 300, 210, 50, kAlignLeft, 0}, {"B", 400, 210, 60, kAlignLeft, 50}}},
        {"three left",
         {{"A", 300, 210, 50, kAlignLeft, 0},
          {"B", 400, 210, 60, kAlignLeft, 50},
          {"C", 500, 210, 70, kAlignLeft, 110}}},
        {"two right", {{"Z", 500, 210, 70, kAlignRight, -70}, {"Y", 400, 210, 60, kAlignRight, -131}}},
        {"three right",
         {{"Z", 500, 210, 70, kAlignRight, -70},
          {"Y", 400, 210, 60, kAlignRight, -131},
          {"X", 300, 210, 50, kAlignRight, -182}}},
        // A view on another row of the band has no neighbour.
        {"left on two rows",
         {{"A", 300, 210, 50, kAlignLeft, 0},
          {"B", 400, 210, 60, kAlignLeft, 50},
          {"D", 450, 220, 40, kAlignLeft, 0}}},
    };
    for (const AlignCase& c : cases) {
        SCOPED_TRACE(c.title);
        report_.TemplatePages.Clear();
        TfrPage& p = addPage();
        // The title takes the top of the page; the summary follows below it.
        addBand(p, "Title1", kBandReportTitle, 0, 150);
        addMemo(p, "T", 36, 4, 100);
        addBand(p, "Summary1", kBandReportSummary, 200, 40);
        for (const AlignedView& v : c.views) addMemo(p, v.name, v.left, v.top, v.width).BandAlign = v.align;
        // Ten below the top of another band: not on the summary's rows.
        addMemo(p, "Other", 600, 10, 200).BandAlign = kAlignLeft;

        ASSERT_TRUE(report_.Prepare());
        ASSERT_EQ(report_.PreparedPages.Count(), 1);
        const TfrPage& page = report_.TemplatePages[0];
        const int summaryTop = page.TopEdge() + 150;
        for (const AlignedView& v : c.views) {
            SCOPED_TRACE(v.name);
            const auto [index, view] = printed(v.name);
            ASSERT_NE(view, nullptr);
            EXPECT_EQ(view->Top, summaryTop + v.top - 200);
            const int edge = v.align == kAlignLeft ? page.LeftEdge() : page.RightEdge();
            EXPECT_EQ(view->Left, edge + v.fromEdge);
        }
    }
}

struct ContinueCase {
    const char* title;
    int firstLines;          // lines of the first template's text
    bool fillFirst;          // its summary reaches the bottom limit exactly
    int pages;               // prepared pages of the build
    int tailPage;            // where the second template's text prints
    std::vector<int> begun;  // OnBeginPage numbers
    std::vector<int> ended;  // OnEndPage numbers
};

TEST_F(PageTemplatesBuildTest, APageTemplateContinuesOnThePreviousPage) {
    const std::vector<ContinueCase> cases = {
        {"room left on the page", 3, false, 1, 0, {0}, {0, 0}},
        {"first text over two pages", 80, false, 2, 1, {0, 1}, {1, 1}},
        // A pass that filled its last page leaves nothing to append to.
        {"page filled to its bottom", 3, true, 2, 1, {0, 1}, {0, 1}},
    };
    for (const ContinueCase& c : cases) {
        SCOPED_TRACE(c.title);
        report_.TemplatePages.Clear();
        TfrPage& first = addPage();
        addBand(first, "Title1", kBandReportTitle, 0, 20);
        TfrMemoView& text = addMemo(first, "Text", 36, 2, 300);
        text.Memo.assign(static_cast<std::size_t>(c.firstLines), "line");
        addBand(first, "Summary1", kBandReportSummary, 40, 20);
        TfrPage& second = addPage();
        second.PrintToPrevPage = true;
        addBand(second, "Title2", kBandReportTitle, 0, 20);
        addMemo(second, "Tail", 36, 2, 300);

        int tailCursor = -1;
        std::vector<int> begun, ended;
        report_.OnBeginPage = [&](int n) { begun.push_back(n); };
        report_.OnEndPage = [&](int n) { ended.push_back(n); };
        report_.OnBeginBand = [&](TfrBand& b) {
            if (b.Name == "Summary1" && c.fillFirst) b.Height = b.Page->BottomLimit - b.Page->CursorY;
            if (b.Name == "Title2") tailCursor = b.Page->CursorY;
        };

        ASSERT_TRUE(report_.Prepare());
        EXPECT_TRUE(shownText().empty());
        EXPECT_EQ(report_.PreparedPages.Count(), c.pages);
        EXPECT_EQ(begun, c.begun);
        EXPECT_EQ(ended, c.ended);
        const auto [index, tail] = printed("Tail");
        ASSERT_NE(tail, nullptr);
        EXPECT_EQ(index, c.tailPage);
        // Where the first template's pass left the cursor, or the top of a new page.
        const int top = report_.TemplatePages[1].TopEdge();
        if (c.fillFirst) EXPECT_EQ(tailCursor, top);
        else EXPECT_GT(tailCursor, top + 20);
        EXPECT_EQ(tail->Top, tailCursor + 2);
    }
}

}  // namespace
}  // namespace quor::test
