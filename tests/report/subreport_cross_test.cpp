// Subreports replayed inside their band and continued on the next page, and
// cross cells printed across a band and continued to the right on the next
// prepared page, checked on the prepared pages.

#include <fstream>
#include <iterator>

#include "data_report_fixture.h"
#include "engine/band.h"
#include "platform/messages.h"

namespace quor::test {
namespace {

class SubreportCrossTest : public DataReportTest {};

TEST_F(SubreportCrossTest, ASubreportContinuesOverAPageBreak) {
    band("Title", kBandReportTitle, 40, 30);
    subreport(100, 45, 1);
    row("Summary", kBandReportSummary, 100, "END");
    addPage();
    band("S", kBandMasterData, 40, 20, "60", 0, 1);
    memo("SText", 40, 42, "S[LINE#]", 200, 1);
    ASSERT_TRUE(prepare()) << shown();

    const auto items = printed();
    ASSERT_EQ(items.size(), 61u);
    ASSERT_EQ(report_.PreparedPages.Count(), 2);
    // The subreport starts at the view's place and its rows go on at the
    // top of the next page, shifted by the view's x.
    EXPECT_EQ(items[0].top, 36 + 5 + 2);
    int onFirstPage = 0;
    for (std::size_t i = 0; i < 60; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[i].text, "S" + std::to_string(i + 1));
        EXPECT_EQ(items[i].left, 40 + 100);
        if (items[i].page == 0) {
            ++onFirstPage;
        } else if (items[i - 1].page == 0) {
            EXPECT_EQ(items[i].top, 36 + 2);
        }
        if (i > 0 && items[i].page == items[i - 1].page) {
            EXPECT_EQ(items[i].top, items[i - 1].top + 20);
        }
    }
    EXPECT_GT(onFirstPage, 40);
    EXPECT_LT(onFirstPage, 60);
    // The band below the subreport follows its last row.
    EXPECT_EQ(items[60].text, "END");
    EXPECT_EQ(items[60].page, 1);
    EXPECT_EQ(items[60].top, items[59].top + 20);
}

// A subreport inside a subreport: the inner one continues where the outer
// one stands on the new page.
TEST_F(SubreportCrossTest, ANestedSubreportContinuesOnTheNextPage) {
    band("Title", kBandReportTitle, 40, 30);
    subreport(100, 40, 1);
    addPage();
    band("A", kBandMasterData, 40, 30, "2", 0, 1);
    subreport(100, 40, 2, 1);
    addPage();
    band("B", kBandMasterData, 40, 20, "40", 0, 2);
    memo("BText", 40, 42, "B[LINE#]", 200, 2);
    ASSERT_TRUE(prepare()) << shown();

    const auto items = printed();
    ASSERT_EQ(items.size(), 80u);
    EXPECT_GE(report_.PreparedPages.Count(), 2);
    const int bottom = report_.TemplatePages[0].BottomEdge();
    for (std::size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[i].text, "B" + std::to_string(i % 40 + 1));
        EXPECT_LE(items[i].top + 18, bottom);
        if (i > 0 && items[i].page != items[i - 1].page) {
            EXPECT_EQ(items[i].top, 36 + 2);
        } else if (i > 0 && i != 40) {
            EXPECT_EQ(items[i].top, items[i - 1].top + 20);
        }
    }
}

TEST_F(SubreportCrossTest, ASubreportBandTallerThanAPageEndsTheBuild) {
    band("Title", kBandReportTitle, 40, 30);
    subreport(100, 45, 1);
    addPage();
    band("Tall", kBandMasterData, 40, 5000, "1", 0, 1);
    EXPECT_FALSE(prepare());
    EXPECT_NE(shown().find(message(kMsgNoRoomForBand)), std::string::npos) << shown();
}

TEST_F(SubreportCrossTest, CrossCellsPastTheRightMarginGoOnTheNextPage) {
    row("R", kBandMasterData, 80, "R[LINE#]", "3");
    TfrBandView& cross = band("Columns", kBandCrossData, 0, 0, "12");
    cross.SetBounds(100, 300, 100, 40);
    memo("Cell", 100, 82, "C[COLUMN#]", 90);
    int rowsBegun = 0;
    std::vector<int> widthsAsked;
    report_.OnBeginColumn = [&](TfrBand&) { ++rowsBegun; };
    report_.OnPrintColumn = [&](int column, int&) { widthsAsked.push_back(column); };
    ASSERT_TRUE(prepare()) << shown();

    ASSERT_EQ(report_.PreparedPages.Count(), 2);
    const int right = report_.TemplatePages[0].RightEdge();
    const int fit = (right - 100) / 100;  // cells on the first page
    ASSERT_LT(fit, 12);
    const auto items = printed();
    ASSERT_EQ(items.size(), 3u * 13u);
    std::vector<std::vector<PrintedItem>> pages(2);
    for (const PrintedItem& p : items) pages[static_cast<std::size_t>(p.page)].push_back(p);
    ASSERT_EQ(pages[0].size(), 3u * (1u + static_cast<std::size_t>(fit)));
    for (int r = 0; r < 3; ++r) {
        SCOPED_TRACE(r);
        const int top = 36 + 20 * r + 2;
        const auto& first = pages[0][static_cast<std::size_t>(r * (fit + 1))];
        EXPECT_EQ(first.text, "R" + std::to_string(r + 1));
        EXPECT_EQ(first.top, top);
        for (int c = 1; c <= 12; ++c) {
            const bool left = c <= fit;
            const auto& cell = left ? pages[0][static_cast<std::size_t>(r * (fit + 1) + c)]
                                    : pages[1][static_cast<std::size_t>(r * (12 - fit) + c - fit - 1)];
            EXPECT_EQ(cell.text, "C" + std::to_string(c)) << c;
            EXPECT_EQ(cell.top, top) << c;
            EXPECT_EQ(cell.left, left ? 100 * c : 36 + 100 * (c - fit - 1)) << c;
        }
    }
    EXPECT_EQ(rowsBegun, 3);
    EXPECT_EQ(widthsAsked.size(), 36u);
}

// Three rows of four cells, value row * 10 + column: a header cell repeated
// on the continued page, a footer cell with the row's total after the last
// cell, and the master footer's cells with their column's total.
TEST_F(SubreportCrossTest, CrossHeadersFootersAndTotalsFollowTheCells) {
    Table& rows = table("Rows");
    rows.count = [] { return 3; };
    rows.cell = [](int, const std::string&) { return Variant(); };
    Table& cols = table("Cols");
    cols.count = [] { return 4; };
    cols.cell = [&rows](int c, const std::string& col) {
        return col == "v" ? Variant((rows.at + 1) * 10 + c + 1) : Variant();
    };
    row("R", kBandMasterData, 80, "R[LINE#]", "Rows");
    row("MF", kBandMasterFooter, 120, "MF");
    band("Hdr", kBandCrossHeader, 0, 0, "", kBandRepeatHeader).SetBounds(40, 300, 60, 40);
    band("Cols", kBandCrossData, 0, 0, "Cols").SetBounds(100, 300, 200, 40);
    band("Tot", kBandCrossFooter, 0, 0).SetBounds(300, 300, 80, 40);
    memo("Hdr", 40, 82, "H[LINE#]", 50);
    memo("Cell", 100, 82, "[v]", 190);
    memo("ColSum", 100, 122, "c[SUM(v)]", 190);
    memo("RowSum", 300, 82, "t[SUM(v)]", 70);
    ASSERT_TRUE(prepare()) << shown();

    const int right = report_.TemplatePages[0].RightEdge();
    const int fit = (right - 100) / 200;  // cells on the first page
    ASSERT_GT(fit, 0);
    ASSERT_LT(fit, 4);
    std::vector<std::vector<std::string>> pages(2);
    auto add = [&pages](int page, const std::string& name, int left, int top, const std::string& text) {
        pages[static_cast<std::size_t>(page)].push_back(name + "@" + std::to_string(left) + "," +
                                                         std::to_string(top) + " " + text);
    };
    for (int r = 0; r <= 3; ++r) {
        const int top = 36 + 20 * r + 2;
        const bool footer = r == 3;
        add(0, footer ? "MFText" : "RText", 40, top, footer ? "MF" : "R" + std::to_string(r + 1));
        if (!footer) add(0, "Hdr", 40, top, "H" + std::to_string(r + 1));
        if (!footer) add(1, "Hdr", 36, top, "H" + std::to_string(r + 1));
        for (int c = 0; c < 4; ++c) {
            const int value = footer ? 60 + 3 * (c + 1) : (r + 1) * 10 + c + 1;
            const std::string text = footer ? "c" + std::to_string(value) : std::to_string(value);
            if (c < fit) add(0, footer ? "ColSum" : "Cell", 100 + 200 * c, top, text);
            else add(1, footer ? "ColSum" : "Cell", 96 + 200 * (c - fit), top, text);
        }
        if (!footer) add(1, "RowSum", 96 + 200 * (4 - fit), top, "t" + std::to_string(40 * (r + 1) + 10));
    }
    std::vector<std::vector<std::string>> got(2);
    ASSERT_EQ(report_.PreparedPages.Count(), 2);
    for (const PrintedItem& p : printed())
        got[static_cast<std::size_t>(p.page)].push_back(p.name + "@" + std::to_string(p.left) + "," +
                                                        std::to_string(p.top) + " " + p.text);
    EXPECT_EQ(got, pages);
}

// The data templates of the template fuzz corpus build under the
// sanitizers with the sources they name.
TEST_F(SubreportCrossTest, TheDataSeedsOfTheTemplateFuzzerBuild) {
    struct Case {
        const char* file;
        const char* error;  // part of the message shown, "" for none
    };
    const Case cases[] = {
        {"data_groups.frf", ""},
        {"data_subreport.frf", ""},
        {"data_cross.frf", ""},
        {"data_sources.frf", "Missing Nowhere.Data"},
    };
    Table& data = table("Data");
    data.count = [] { return 7; };
    data.cell = [](int r, const std::string& c) {
        return c == "key" ? Variant(r / 3) : c == "v" ? Variant(r * 10) : Variant();
    };
    Table& detail = table("Detail");
    detail.count = [] { return 3; };
    detail.cell = [](int, const std::string&) { return Variant(); };
    engine().applicationForms = {&form_};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::ifstream in(std::string(QUOR_SOURCE_DIR) + "/fuzz/corpus/template_fuzz/" + c.file, std::ios::binary);
        ASSERT_TRUE(in);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        messages_.clear();
        load(bytes);
        ASSERT_EQ(report_.Prepare(), *c.error == 0) << shown();
        if (*c.error) EXPECT_NE(shown().find(c.error), std::string::npos) << shown();
        else EXPECT_GT(report_.PreparedPages.Count(), 0);
    }
}

}  // namespace
}  // namespace quor::test
