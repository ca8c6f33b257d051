// Printing prepared pages on the recording printer: page lists, filters,
// copies and collation, jobs split by paper format, cancel, failures, and
// where each page lands on the sheet.

#include "print_fixture.h"

#include "platform/error.h"
#include "report/page_list.h"

namespace quor::test {
namespace {

using Pages = std::vector<int>;
using Texts = std::vector<std::string>;

TEST_F(PrintTest, PageListsPrintTheirPagesInAscendingOrder) {
    addPages(20);
    const struct {
        const char* list;
        std::vector<int> pages;
    } cases[] = {
        {"1,3,5-12", [] {
             std::vector<int> v{1, 3};
             for (int i = 5; i <= 12; ++i) v.push_back(i);
             return v;
         }()},
        {"5-", range(5, 20)},
        {"2 , 4", {2, 4}},
        {"3,1", {1, 3}},
        {"2,2,1-3", {1, 2, 3}},
        {"", range(1, 20)},
        // A range that ends below its start adds nothing; a list that adds
        // nothing prints every page.
        {"7-3", range(1, 20)},
        {"1-2000000000", range(1, 20)},
    };
    std::size_t expectedJobs = 0;
    for (const auto& c : cases) {
        report_.PrintPrepared(c.list, 1, false, PageFilter::allPages);
        ASSERT_EQ(jobs().size(), ++expectedJobs) << c.list;
        EXPECT_EQ(printed(jobs().back()), c.pages) << c.list;
        EXPECT_TRUE(jobs().back().ended) << c.list;
    }
    // A page beyond the report: a job with one empty sheet.
    report_.PrintPrepared("25", 1, false, PageFilter::allPages);
    ASSERT_EQ(jobs().size(), expectedJobs + 1);
    EXPECT_EQ(printed(jobs().back()), (Pages{0}));
    EXPECT_TRUE(jobs().back().ended);
    EXPECT_EQ(report_.PreparedPages.unpackedCount(), 0);
}

TEST_F(PrintTest, ListThatIsNotNumbersFailsBeforeAnyJob) {
    addPages(3);
    for (const char* list : {"a", "1,,2", "-3", "1-b", "1--2", "1;2", "99999999999"}) {
        try {
            report_.PrintPrepared(list, 1, false, PageFilter::allPages);
            ADD_FAILURE() << list << " was accepted";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find("is not a valid integer value"), std::string::npos) << list;
        }
    }
    EXPECT_TRUE(jobs().empty());
    EXPECT_FALSE(platform().printing());
}

TEST_F(PrintTest, OddAndEvenFilters) {
    addPages(8);
    report_.PrintPrepared("1-6", 1, false, PageFilter::oddPages);
    report_.PrintPrepared("1-6", 1, false, PageFilter::evenPages);
    report_.PrintPrepared("", 1, false, PageFilter::evenPages);
    ASSERT_EQ(jobs().size(), 3u);
    EXPECT_EQ(printed(jobs()[0]), (Pages{1, 3, 5}));
    EXPECT_EQ(printed(jobs()[1]), (Pages{2, 4, 6}));
    EXPECT_EQ(printed(jobs()[2]), (Pages{2, 4, 6, 8}));
}

TEST_F(PrintTest, CopiesCollatedAndNot) {
    addPages(2);
    report_.PrintPrepared("", 3, true, PageFilter::allPages);
    ASSERT_EQ(jobs().size(), 1u);
    EXPECT_EQ(printed(jobs()[0]), (Pages{1, 2, 1, 2, 1, 2}));
    EXPECT_EQ(jobs()[0].copies, 1);

    report_.PrintPrepared("", 3, false, PageFilter::allPages);
    ASSERT_EQ(jobs().size(), 2u);
    EXPECT_EQ(printed(jobs()[1]), (Pages{1, 2}));
    EXPECT_EQ(jobs()[1].copies, 3);

    for (int copies : {0, -1}) {
        for (bool collate : {true, false}) {
            report_.PrintPrepared("", copies, collate, PageFilter::allPages);
            EXPECT_EQ(printed(jobs().back()), (Pages{1, 2})) << copies;
            EXPECT_EQ(jobs().back().copies, 1) << copies;
        }
    }
    EXPECT_EQ(jobs().size(), 6u);
}

TEST_F(PrintTest, ChangeOfOrientationSplitsTheJobs) {
    addPage(1);
    addPage(2);
    addPage(3, 1);
    addPage(4);
    report_.PrintPrepared("", 2, false, PageFilter::allPages);
    ASSERT_EQ(jobs().size(), 3u);
    EXPECT_EQ(printed(jobs()[0]), (Pages{1, 2}));
    EXPECT_EQ(printed(jobs()[1]), (Pages{3}));
    EXPECT_EQ(printed(jobs()[2]), (Pages{4}));
    EXPECT_EQ(jobs()[0].mode.orientation, kDmPortrait);
    EXPECT_EQ(jobs()[1].mode.orientation, kDmLandscape);
    EXPECT_EQ(jobs()[2].mode.orientation, kDmPortrait);
    for (const RecordedJob& job : jobs()) {
        EXPECT_TRUE(job.ended);
        // Every job of the run carries the requested copies.
        EXPECT_EQ(job.copies, 2);
    }
    EXPECT_EQ(printerDevice().orientation(), 0);

    // The device is left with the format of the last page printed.
    report_.PrintPrepared("2-3", 1, false, PageFilter::allPages);
    EXPECT_EQ(printerDevice().orientation(), 1);
    EXPECT_EQ(printerDevice().paperCode(), 9);
    EXPECT_EQ(printerDevice().sheetWidth(), 2970);
    ASSERT_EQ(jobs().size(), 5u);
    EXPECT_EQ(printed(jobs()[4]), (Pages{3}));

    // Page 0's format opens the run; a first printed page of another format
    // ends that job before anything is drawn on it.
    report_.PrintPrepared("3", 1, false, PageFilter::allPages);
    ASSERT_EQ(jobs().size(), 7u);
    EXPECT_EQ(printed(jobs()[5]), (Pages{0}));
    EXPECT_EQ(jobs()[5].mode.orientation, kDmPortrait);
    EXPECT_EQ(printed(jobs()[6]), (Pages{3}));
}

TEST_F(PrintTest, CancelAbortsTheJobAfterTheCurrentPage) {
    addPages(4);
    std::vector<int> progress;
    report_.OnProgress = [&](int n) {
        progress.push_back(n);
        if (n == 2) report_.StopRequested = true;
    };
    report_.PrintPrepared("", 2, true, PageFilter::allPages);
    ASSERT_EQ(jobs().size(), 1u);
    EXPECT_EQ(printed(jobs()[0]), (Pages{1, 2}));
    EXPECT_TRUE(jobs()[0].aborted);
    EXPECT_FALSE(jobs()[0].ended);
    EXPECT_EQ(progress, (Pages{1, 2}));
    EXPECT_EQ(report_.PreparedPages.unpackedCount(), 0);

    // The next run starts afresh.
    progress.clear();
    report_.OnProgress = [&](int n) { progress.push_back(n); };
    report_.PrintPrepared("", 1, false, PageFilter::oddPages);
    EXPECT_TRUE(jobs().back().ended);
    EXPECT_EQ(progress, (Pages{1, 3}));
}

TEST_F(PrintTest, FailureWhileDrawingAbortsTheJobAndPassesOn) {
    addPage(1);
    addPage(0);  // its view fails to draw
    EXPECT_THROW(report_.PrintPrepared("", 1, false, PageFilter::allPages), std::runtime_error);
    ASSERT_EQ(jobs().size(), 1u);
    EXPECT_TRUE(jobs()[0].aborted);
    EXPECT_FALSE(platform().printing());
    EXPECT_EQ(report_.PreparedPages.unpackedCount(), 0);
    // The printer is free for the next run.
    EXPECT_NO_THROW(report_.PrintPrepared("1", 1, false, PageFilter::allPages));
    EXPECT_TRUE(jobs().back().ended);
}

TEST_F(PrintTest, NothingPreparedOpensNoJob) {
    bool announced = false;
    report_.OnPrintReport = [&] { announced = true; };
    report_.PrintPrepared("", 1, false, PageFilter::allPages);
    EXPECT_TRUE(jobs().empty());
    EXPECT_FALSE(announced);
}

TEST_F(PrintTest, TitleEventAndMouseOverDuringTheRun) {
    addPages(1);
    int hovers = 0;
    report_.OnMouseOverObject = [&](TfrView&, int&) { ++hovers; };
    std::vector<std::string> seen;
    report_.OnPrintReport = [&] {
        // Raised before the job begins, with the title already set.
        seen.push_back(platform().title());
        EXPECT_FALSE(platform().printing());
        EXPECT_FALSE(report_.OnMouseOverObject);
    };
    report_.PrintPrepared("", 1, false, PageFilter::allPages);
    report_.Title = "/home/user/отчёт.prn";
    report_.PrintPrepared("", 1, false, PageFilter::allPages);
    EXPECT_EQ(seen, (Texts{"Untitled", "/home/user/отчёт.prn"}));
    ASSERT_EQ(jobs().size(), 2u);
    EXPECT_EQ(jobs()[1].title, "/home/user/отчёт.prn");
    ASSERT_TRUE(report_.OnMouseOverObject);
    int cursor = 0;
    SheetProbe probe;
    EXPECT_TRUE(report_.mouseOverObject(probe, cursor));
    EXPECT_EQ(hovers, 1);
}

TEST_F(PrintTest, PagesAreDrawnIntoTheSheetRectangle) {
    // A4 at 600 dpi with 5 mm hardware margins: the sheet is 4961 x 7016
    // dots, the printable area starts 118 dots in.
    addPage(1, 0, true);
    addPage(2, 0, false, PageMargins{20, 30, 40, 50});
    report_.PrintPrepared("", 1, false, PageFilter::allPages);
    ASSERT_EQ(jobs().size(), 1u);
    ASSERT_EQ(jobs()[0].pages.size(), 2u);
    const DeviceMetrics& m = jobs()[0].pages[0].metrics;
    ASSERT_EQ(m.offsetX, 118);
    ASSERT_EQ(m.offsetY, 118);

    const auto fillOf = [&](int page) {
        const auto fills = jobs()[0].pages[static_cast<std::size_t>(page)].canvas->all<RecordedFill>();
        EXPECT_EQ(fills.size(), 1u);
        return fills.empty() ? Rect{} : fills.front().rect;
    };
    // With margins the whole page covers the whole sheet.
    EXPECT_EQ(fillOf(0), (Rect{-118, -118, m.physicalWidth - 118, m.physicalHeight - 118}));

    // Without, the printable area less the margins, scaled from design
    // pixels to dots.
    const PrinterInfo& info = report_.PreparedPages.Item(1).prnInfo;
    EXPECT_EQ(info.devPrintWidth, m.printableWidth);
    const double kx = double(m.printableWidth) / info.printWidth;
    const double ky = double(m.printableHeight) / info.printHeight;
    EXPECT_EQ(fillOf(1), (Rect{int(std::nearbyint(20 * kx)), int(std::nearbyint(30 * ky)),
                               m.printableWidth - int(std::nearbyint(40 * kx)),
                               m.printableHeight - int(std::nearbyint(50 * ky))}));
}

TEST_F(PrintTest, ProgressWindowRunsThePrintWhenInstalled) {
    addPages(3);
    report_.TwoPass = true;
    report_.firstPassPageCount = 3;
    std::string caption;
    std::vector<std::string> texts;
    reportWindows().runWithProgress = [&](TfrReport& r, const std::string& c, const std::function<void()>& work) {
        EXPECT_EQ(&r, &report_);
        caption = c;
        work();
        return true;
    };
    reportWindows().setProgressText = [&](const std::string& t) { texts.push_back(t); };
    report_.Title = "doc.prn";
    report_.PrintPrepared("2-", 1, false, PageFilter::allPages);
    EXPECT_EQ(caption, "Подготовка отчета - doc.prn");
    EXPECT_EQ(texts, (Texts{"Печатается страница:", "Печатается страница:  2 из 3",
                           "Печатается страница:  3 из 3"}));
    EXPECT_EQ(printed(jobs().back()), (Pages{2, 3}));

    // An OnProgress handler or ShowProgress off: no window.
    caption.clear();
    report_.OnProgress = [](int) {};
    report_.PrintPrepared("", 1, false, PageFilter::allPages);
    report_.OnProgress = nullptr;
    report_.ShowProgress = false;
    report_.PrintPrepared("", 1, false, PageFilter::allPages);
    EXPECT_TRUE(caption.empty());
    EXPECT_EQ(jobs().size(), 3u);
}

TEST(PageList, KeepsOnlyTheReportsPagesButRemembersANamedNumber) {
    const PageSet beyond = parsePageList("30-40", 20);
    EXPECT_FALSE(beyond.empty());
    EXPECT_FALSE(beyond.contains(20));
    EXPECT_FALSE(beyond.contains(30));
    const PageSet open = parsePageList(" 18 - ", 20);
    EXPECT_TRUE(open.contains(18));
    EXPECT_TRUE(open.contains(20));
    EXPECT_FALSE(open.contains(17));
    EXPECT_TRUE(parsePageList("   ", 20).empty());
    EXPECT_TRUE(parsePageList("", 20).contains(7));
}

}  // namespace
}  // namespace quor::test
