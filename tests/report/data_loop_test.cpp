// Data bands through a whole build: sources found by description, the data
// loop of two levels, groups closing their footers, and the accumulators
// behind the aggregate functions, checked on the prepared pages.

#include <algorithm>

#include "data_report_fixture.h"
#include "engine/band.h"

namespace quor::test {
namespace {

using Texts = std::vector<std::string>;

class DataLoopTest : public DataReportTest {};

TEST_F(DataLoopTest, SourceDescriptionsBindOrLeaveTheBand) {
    struct Case {
        const char* description;
        int records;       // master records printed
        const char* error; // part of the message shown, "" for none
    };
    const Case cases[] = {
        {"3", 3, ""},
        {"0", 0, ""},                        // a name, not a count
        {"NoSuchTable", 0, ""},              // no component: no source
        {"Rows", 2, ""},                     // on the report's form
        {"Other.Rows", 2, ""},               // Form.Component
        {"Other.Frame1.Rows", 2, ""},        // Form.Frame.Component
        {"Nowhere.Rows", 0, "Missing Nowhere.Rows"},
        {"Form1", 0, "не является источником данных"},
    };
    Table& rows = table("Rows");
    rows.count = [] { return 2; };
    rows.cell = [](int, const std::string&) { return Variant(); };
    TfrComponentOwner other, frame;
    other.Name = "Other";
    frame.Name = "Frame1";
    other.Components = {&rows.ds, &frame};
    frame.Components = {&rows.ds};
    form_.Components.push_back(&form_);
    engine().applicationForms = {&other};

    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        report_.TemplatePages.Clear();
        addPage();
        row("Header", kBandMasterHeader, 40, "H");
        row("Data", kBandMasterData, 80, "R[LINE#]", c.description);
        row("Footer", kBandMasterFooter, 120, "F");
        messages_.clear();
        const bool built = prepare();
        EXPECT_EQ(built, *c.error == 0);
        if (*c.error) {
            ASSERT_EQ(messages_.messages().size(), 1u);
            EXPECT_NE(messages_.messages().front().text.find(c.error), std::string::npos)
                << messages_.messages().front().text;
            EXPECT_EQ(report_.PreparedPages.Count(), 0);
            continue;
        }
        Texts expected;
        if (c.records > 0) expected.push_back("H");
        for (int i = 1; i <= c.records; ++i) expected.push_back("R" + std::to_string(i));
        if (c.records > 0) expected.push_back("F");
        EXPECT_EQ(texts(), expected);
    }
}

TEST_F(DataLoopTest, RecordsFollowEachOtherDownThePage) {
    row("Header", kBandMasterHeader, 40, "H");
    row("Data", kBandMasterData, 80, "R[LINE#]", "3");
    row("Footer", kBandMasterFooter, 120, "F");
    ASSERT_TRUE(prepare()) << shown();
    const auto items = printed();
    ASSERT_EQ(items.size(), 5u);
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].top, 36 + 20 * static_cast<int>(i) + 2) << i;
        EXPECT_EQ(items[i].left, 40);
    }
}

TEST_F(DataLoopTest, TheReportsOwnRecordsFeedAMasterBandWithoutSource) {
    Table& rows = table("Rows");
    rows.count = [] { return 4; };
    rows.cell = [](int, const std::string&) { return Variant(); };
    form_.Components.clear();
    report_.Dataset = &rows.ds;
    row("Data", kBandMasterData, 80, "R[LINE#]");
    ASSERT_TRUE(prepare()) << shown();
    EXPECT_EQ(texts(), (Texts{"R1", "R2", "R3", "R4"}));
}

// Masters 1 to 3 with 2, 0 and 1 details.
TEST_F(DataLoopTest, AnEmptyDetailHidesItsMasterUnlessPrintIfSubsetEmpty) {
    Table& masters = table("Masters");
    masters.count = [] { return 3; };
    masters.cell = [](int r, const std::string& c) { return c == "mid" ? Variant(r + 1) : Variant(); };
    Table& details = table("Details");
    const int perMaster[] = {2, 0, 1};
    details.count = [&masters, perMaster] { return perMaster[std::min(masters.at, 2)]; };
    details.cell = [](int r, const std::string& c) { return c == "did" ? Variant(r + 1) : Variant(); };

    for (bool printIfEmpty : {false, true}) {
        SCOPED_TRACE(printIfEmpty);
        report_.TemplatePages.Clear();
        addPage();
        row("MH", kBandMasterHeader, 40, "MH");
        row("M", kBandMasterData, 80, "M[mid]", "Masters", printIfEmpty ? kBandPrintIfSubsetEmpty : 0);
        row("DH", kBandDetailHeader, 120, "DH");
        row("D", kBandDetailData, 160, "D[did]", "Details");
        row("DF", kBandDetailFooter, 200, "DF");
        row("MF", kBandMasterFooter, 240, "MF");
        ASSERT_TRUE(prepare()) << shown();
        Texts expected{"MH", "M1", "DH", "D1", "D2", "DF"};
        if (printIfEmpty) expected.push_back("M2");
        for (const char* t : {"M3", "DH", "D1", "DF", "MF"}) expected.push_back(t);
        EXPECT_EQ(texts(), expected);
    }
}

// Masters 1 and 2 with details 1-2 and 3-4; details 1 to 4 with 2, 0, 1 and
// 1 subdetails. Headers wait for the first record below them; a detail
// without subdetails is left out unless PrintIfSubsetEmpty; footers count
// the records printed above them.
TEST_F(DataLoopTest, ThreeLevelsNestTheirHeadersAndFooters) {
    Table& masters = table("Masters");
    masters.count = [] { return 2; };
    masters.cell = [](int r, const std::string& c) { return c == "mid" ? Variant(r + 1) : Variant(); };
    Table& details = table("Details");
    details.count = [] { return 2; };
    details.cell = [&masters](int r, const std::string& c) {
        return c == "did" ? Variant(masters.at * 2 + r + 1) : Variant();
    };
    Table& subs = table("Subs");
    const int perDetail[] = {2, 0, 1, 1};
    subs.count = [&masters, &details, perDetail] { return perDetail[masters.at * 2 + details.at]; };
    subs.cell = [](int r, const std::string& c) { return c == "sid" ? Variant(r + 1) : Variant(); };

    for (bool printIfEmpty : {false, true}) {
        SCOPED_TRACE(printIfEmpty);
        report_.TemplatePages.Clear();
        addPage();
        row("MH", kBandMasterHeader, 40, "MH");
        row("M", kBandMasterData, 80, "M[mid]", "Masters");
        row("DH", kBandDetailHeader, 120, "DH");
        row("D", kBandDetailData, 160, "D[did]", "Details", printIfEmpty ? kBandPrintIfSubsetEmpty : 0);
        row("SH", kBandSubDetailHeader, 200, "SH");
        row("S", kBandSubDetailData, 240, "S[sid]", "Subs");
        row("SF", kBandSubDetailFooter, 280, "SF[COUNT()]");
        row("DF", kBandDetailFooter, 320, "DF[COUNT()]");
        row("MF", kBandMasterFooter, 360, "MF[COUNT()]");
        ASSERT_TRUE(prepare()) << shown();
        Texts expected{"MH", "M1", "DH", "D1", "SH", "S1", "S2", "SF2", "DF1"};
        if (printIfEmpty) {
            expected.back() = "D2";
            expected.push_back("DF2");
        }
        for (const char* t : {"M2", "DH", "D3", "SH", "S1", "SF1", "D4", "SH", "S1", "SF1", "DF2", "MF2"})
            expected.push_back(t);
        EXPECT_EQ(texts(), expected);
        const auto items = printed();
        for (std::size_t i = 0; i < items.size(); ++i) EXPECT_EQ(items[i].top, 36 + 2 + 20 * static_cast<int>(i)) << i;
    }
}

// Keys A A B B C. FormNewPage on the group header starts a page at each
// group change that is not the end; on the data band, after each record
// but the last.
TEST_F(DataLoopTest, FormNewPageBreaksAtGroupsOrRecords) {
    struct Case {
        bool onGroup;
        std::vector<Texts> pages;
    };
    const Case cases[] = {
        {true, {{"GA", "M1", "M2", "FA"}, {"GB", "M3", "M4", "FB"}, {"GC", "M5", "FC", "MF"}}},
        {false, {{"GA", "M1"}, {"M2", "FA"}, {"GB", "M3"}, {"M4", "FB"}, {"GC", "M5", "FC", "MF"}}},
    };
    const std::string keys = "AABBC";
    Table& rows = table("Rows");
    rows.count = [] { return 5; };
    rows.cell = [keys](int r, const std::string& col) {
        if (col == "key") return Variant(std::string(1, keys[static_cast<std::size_t>(r)]));
        return col == "id" ? Variant(r + 1) : Variant();
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.onGroup);
        report_.TemplatePages.Clear();
        addPage();
        row("G", kBandGroupHeader, 40, "G[key]", "key", c.onGroup ? kBandFormNewPage : 0);
        row("M", kBandMasterData, 80, "M[id]", "Rows", c.onGroup ? 0 : kBandFormNewPage);
        row("GF", kBandGroupFooter, 120, "F[key]");
        row("MF", kBandMasterFooter, 160, "MF");
        ASSERT_TRUE(prepare()) << shown();
        std::vector<Texts> pages(static_cast<std::size_t>(report_.PreparedPages.Count()));
        for (const PrintedItem& p : printed()) {
            Texts& on = pages[static_cast<std::size_t>(p.page)];
            EXPECT_EQ(p.top, 36 + 2 + 20 * static_cast<int>(on.size())) << p.text;
            on.push_back(p.text);
        }
        EXPECT_EQ(pages, c.pages);
    }
}

TEST_F(DataLoopTest, ASourceAtItsEndPrintsNoHeaderAndNoFooter) {
    Table& none = table("Empty");
    none.cell = [](int, const std::string&) { return Variant(); };
    row("MH", kBandMasterHeader, 40, "MH");
    row("M", kBandMasterData, 80, "M", "Empty");
    row("MF", kBandMasterFooter, 120, "MF");
    row("Sum", kBandReportSummary, 160, "END");
    ASSERT_TRUE(prepare()) << shown();
    EXPECT_EQ(texts(), (Texts{"END"}));
}

// Keys A A B B C: the last record starts a group of its own.
TEST_F(DataLoopTest, GroupFootersCloseWithTheLastRecordOfTheirGroup) {
    struct Case {
        bool canGoBack;
        Texts expected;
    };
    const Case cases[] = {
        {true, {"GA", "M1", "M2", "FA2", "GB", "M3", "M4", "FB4", "GC", "M5", "FC5", "MF"}},
        // Without Prior the footers see the record that opened the next group.
        {false, {"GA", "M1", "M2", "FB3", "GB", "M3", "M4", "FC5", "GC", "M5", "FC5", "MF"}},
    };
    const std::string keys = "AABBC";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.canGoBack);
        owned_.clear();
        tables_.clear();
        form_.Components.clear();
        Table& rows = table("Rows");
        rows.count = [] { return 5; };
        rows.cell = [keys](int r, const std::string& col) {
            if (col == "key") return Variant(std::string(1, keys[static_cast<std::size_t>(r)]));
            return col == "id" ? Variant(r + 1) : Variant();
        };
        if (!c.canGoBack) rows.ds.OnPrior = [](TfrDataset&) { throw std::runtime_error("no way back"); };
        report_.TemplatePages.Clear();
        addPage();
        row("G", kBandGroupHeader, 40, "G[key]", "key");
        row("M", kBandMasterData, 80, "M[id]", "Rows");
        row("GF", kBandGroupFooter, 120, "F[key][id]");
        row("MF", kBandMasterFooter, 160, "MF");
        ASSERT_TRUE(prepare()) << shown();
        EXPECT_EQ(texts(), c.expected);
    }
}

// 1,000 records, value (i * 37) mod 101, outer groups of 250 and inner ones
// of 50, over several pages.
TEST_F(DataLoopTest, TwoGroupLevelsSumTheirRecordsOverManyPages) {
    const int n = 1000;
    auto value = [](int i) { return (i * 37) % 101; };
    Table& rows = table("Rows");
    rows.count = [] { return n; };
    rows.cell = [&value](int r, const std::string& col) {
        if (col == "v") return Variant(value(r));
        if (col == "outer") return Variant(r / 250);
        if (col == "inner") return Variant(r / 50);
        return Variant();
    };
    row("G1", kBandGroupHeader, 40, "O[outer]", "outer");
    row("G2", kBandGroupHeader, 60, "I[inner]", "inner");
    row("M", kBandMasterData, 80, "[v]", "Rows");
    row("F2", kBandGroupFooter, 120, "i[SUM(v)]");
    row("F1", kBandGroupFooter, 140, "o[SUM(v)] [COUNT()] [MIN(v)] [MAX(v)]");
    row("Sum", kBandReportSummary, 200, "t[SUM(v, M)] [AVG(v, M)]");
    ASSERT_TRUE(prepare()) << shown();

    Texts expected;
    long total = 0;
    for (int o = 0; o < 4; ++o) {
        expected.push_back("O" + std::to_string(o));
        long outer = 0;
        int lo = 1000, hi = -1;
        for (int g = 0; g < 5; ++g) {
            const int first = o * 250 + g * 50;
            expected.push_back("I" + std::to_string(first / 50));
            long inner = 0;
            for (int i = first; i < first + 50; ++i) {
                expected.push_back(std::to_string(value(i)));
                inner += value(i);
                lo = std::min(lo, value(i));
                hi = std::max(hi, value(i));
            }
            expected.push_back("i" + std::to_string(inner));
            outer += inner;
        }
        expected.push_back("o" + std::to_string(outer) + " 250 " + std::to_string(lo) + " " + std::to_string(hi));
        total += outer;
    }
    expected.push_back("t" + std::to_string(total));
    Texts got = texts();
    ASSERT_EQ(got.size(), expected.size());
    // The summary's average over all 1,000 records, whatever its places:
    // the group footers shown just before it reset the data band's record
    // count, not the records its average added.
    const std::size_t blank = got.back().find(' ');
    ASSERT_NE(blank, std::string::npos);
    EXPECT_DOUBLE_EQ(std::stod(got.back().substr(blank + 1)), static_cast<double>(total) / n);
    got.back().resize(blank);
    EXPECT_EQ(got, expected);

    const auto items = printed();
    EXPECT_GT(report_.PreparedPages.Count(), 10);
    for (std::size_t i = 1; i < items.size(); ++i) {
        const int top = items[i].page == items[i - 1].page ? items[i - 1].top + 20 : 36 + 2;
        EXPECT_EQ(items[i].top, top) << i;
    }
}

TEST_F(DataLoopTest, AnInvisibleDataBandCountsOnlyForOptionOne) {
    Table& rows = table("Rows");
    rows.count = [] { return 4; };
    rows.cell = [](int r, const std::string& col) { return col == "v" ? Variant(r + 1) : Variant(); };
    row("M", kBandMasterData, 80, "[v]", "Rows");
    row("MF", kBandMasterFooter, 120, "[SUM(v, M)]/[SUM(v, M, 1)]/[COUNT(M, 1)]");
    for (bool visible : {true, false}) {
        SCOPED_TRACE(visible);
        report_.FindView("M")->Visible = visible;
        ASSERT_TRUE(prepare()) << shown();
        const Texts expected = visible ? Texts{"1", "2", "3", "4", "10/10/4"} : Texts{"0/10/4"};
        EXPECT_EQ(texts(), expected);
    }
}

TEST_F(DataLoopTest, ChildBandsLinkedInACircleShowOnce) {
    row("M", kBandMasterData, 40, "M[LINE#]", "2");
    row("C", kBandChild, 80, "C");
    report_.FindView("M")->SetProperty("ChildBand", Variant("C"));
    report_.FindView("C")->SetProperty("ChildBand", Variant("M"));
    ASSERT_TRUE(prepare()) << shown();
    EXPECT_EQ(texts(), (Texts{"M1", "C", "M2", "C"}));
}

}  // namespace
}  // namespace quor::test
