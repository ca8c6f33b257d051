// Prepared pages: the list, unpacking on demand, drawing at a scale on
// screens, recordings and the printer, hit tests and export.

#include <QImage>
#include <limits>

#include "engine/line_view.h"
#include "engine/memo_view.h"
#include "platform/error.h"
#include "platform/numbers.h"
#include "platform/qpainter_canvas.h"
#include "platform/recording_canvas.h"
#include "prepared_fixture.h"

namespace quor::preptest {
namespace {

using PreparedPagesTest = PreparedTest;

TEST_F(PreparedPagesTest, InsertCopiesThePaperAndAppendsBeyondTheEnd) {
    TfrEMFPages pages(&host);
    EXPECT_EQ(pages.Count(), 0);
    TfrPage portrait = a4();
    portrait.Margins = {5, 6, 7, 8};
    portrait.UseMargins = false;
    portrait.Bin = 257;
    pages.Insert(7, portrait);  // beyond the end
    pages.Insert(0, a4(1));
    ASSERT_EQ(pages.Count(), 2);
    const PreparedPage& first = pages.Item(0);
    const PreparedPage& second = pages.Item(1);
    EXPECT_EQ(first.Orientation, 1);
    EXPECT_EQ(first.PaperWidth, 2970);
    EXPECT_EQ(second.Orientation, 0);
    EXPECT_EQ(second.PaperSize, 9);
    EXPECT_EQ(second.PaperWidth, 2100);
    EXPECT_EQ(second.PaperHeight, 2970);
    EXPECT_EQ(second.Bin, 257);
    EXPECT_FALSE(second.UseMargins);
    EXPECT_EQ(second.Margins, (PageMargins{5, 6, 7, 8}));
    EXPECT_EQ(second.prnInfo, portrait.prnInfo);
    EXPECT_EQ(second.prnInfo.pageWidth, 758);
    EXPECT_EQ(second.Stream.data(), std::string(1, '\x18'));
    EXPECT_FALSE(second.Visible);
    EXPECT_EQ(second.Page, nullptr);
    EXPECT_EQ(host.pagesAdded, 0);  // only Add tells the report

    pages.Add(a4());
    pages.Add(a4());
    EXPECT_EQ(pages.Count(), 4);
    EXPECT_EQ(host.pagesAdded, 2);
    pages.Delete(0);
    EXPECT_EQ(pages.Item(0).Orientation, 0);
    EXPECT_EQ(pages.Item(0).Bin, 257);
    EXPECT_THROW(pages.Delete(3), Error);
    EXPECT_THROW(pages.Item(-1), Error);
    pages.Clear();
    EXPECT_EQ(pages.Count(), 0);
}

TEST_F(PreparedPagesTest, APageWithOnlyTheVersionByteDrawsNothingAndHitsNothing) {
    TfrEMFPages pages(&host);
    pages.Add(a4());
    pages.Item(0).Visible = true;
    RecordingCanvas canvas;
    pages.Draw(0, canvas, Rect{0, 0, 758, 1071});
    EXPECT_TRUE(canvas.ops().empty());
    int cursor = 0;
    EXPECT_FALSE(pages.HitTest(0, Point{100, 100}, cursor, true));
    EXPECT_TRUE(host.clicked.empty());
}

TEST_F(PreparedPagesTest, DrawScalesFromThePageMetricsAndSetsTheDrawFields) {
    TfrEMFPages pages(&host);
    pages.Add(a4());  // 758 x 1071 design pixels on the virtual printer
    ProbeView box = probe("Box", 100, 50, 200, 100);
    print(pages, 0, box);
    pages.Item(0).Visible = true;

    RecordingCanvas actual;
    pages.Draw(0, actual, Rect{10, 20, 10 + 758, 20 + 1071});
    ASSERT_EQ(actual.all<RecordedFill>().size(), 1u);
    EXPECT_EQ(actual.all<RecordedFill>()[0].rect, (Rect{110, 70, 310, 170}));

    RecordingCanvas half;
    pages.Draw(0, half, Rect{0, 0, 379, 535});
    ASSERT_EQ(half.all<RecordedFill>().size(), 1u);
    // 535 / 1071 is just under a half: 50 design pixels become 25, 150 become 75.
    EXPECT_EQ(half.all<RecordedFill>()[0].rect, (Rect{50, 25, 150, 75}));

    ASSERT_EQ(ProbeView::calls.size(), 2u);
    EXPECT_DOUBLE_EQ(ProbeView::calls[0].scaleX, 1.0);
    EXPECT_EQ(ProbeView::calls[0].offsetX, 10);
    EXPECT_EQ(ProbeView::calls[0].offsetY, 20);
    EXPECT_DOUBLE_EQ(ProbeView::calls[1].scaleX, 379.0 / 758);
    EXPECT_DOUBLE_EQ(ProbeView::calls[1].scaleY, 535.0 / 1071);
    EXPECT_FALSE(ProbeView::calls[1].forPrinter);
    EXPECT_TRUE(ProbeView::calls[1].documentMode);
    EXPECT_EQ(pages.unpackedCount(), 1);  // unpacked once, drawn twice
}

TEST_F(PreparedPagesTest, ScreenDrawingSkipsViewsOutsideTheGrownClipRectangle) {
    TfrEMFPages pages(&host);
    pages.Add(a4());
    ProbeView inside = probe("Inside", 10, 10, 20, 20);
    ProbeView near = probe("Near", 109, 10, 20, 20);  // 9 pixels right of the clip
    ProbeView far = probe("Far", 111, 10, 20, 20);    // 11 pixels right of it
    for (ProbeView* v : {&inside, &near, &far}) print(pages, 0, *v);
    pages.Item(0).Visible = true;

    QImage image(300, 300, QImage::Format_RGB32);
    {
        QPainterCanvas screen(&image);
        screen.intersectClipRect(Rect{0, 0, 100, 100});
        pages.Draw(0, screen, Rect{0, 0, 758, 1071});
    }
    ASSERT_EQ(ProbeView::calls.size(), 2u);
    EXPECT_EQ(ProbeView::calls[0].name, "Inside");
    EXPECT_EQ(ProbeView::calls[1].name, "Near");

    // A recording keeps everything, wherever its clip is.
    ProbeView::calls.clear();
    RecordingCanvas recording;
    recording.intersectClipRect(Rect{0, 0, 100, 100});
    pages.Draw(0, recording, Rect{0, 0, 758, 1071});
    EXPECT_EQ(ProbeView::calls.size(), 3u);
}

TEST_F(PreparedPagesTest, DrawingOnThePrintJobDrawsForThePrinter) {
    usePrinters({RecordingPrinter::officePrinter("Office")});
    TfrEMFPages pages(&host);
    const TfrPage page = a4();
    pages.Add(page);
    ProbeView box = probe("Box", 100, 50, 200, 100);
    ProbeView offSheet = probe("Off", 5000, 5000, 10, 10);
    print(pages, 0, box);
    print(pages, 0, offSheet);
    PreparedPage& rec = pages.Item(0);
    rec.Visible = true;

    RecordingPrinter& printer = platform();
    printer.beginDoc();
    const PrinterInfo& m = rec.prnInfo;
    pages.Draw(0, printer.canvas(), Rect{0, 0, m.devPageWidth, m.devPageHeight});
    printer.endDoc();

    ASSERT_EQ(ProbeView::calls.size(), 2u);  // no clip test on the printer
    EXPECT_TRUE(ProbeView::calls[0].forPrinter);
    EXPECT_DOUBLE_EQ(ProbeView::calls[0].scaleX, double(m.devPageWidth) / m.pageWidth);
    ASSERT_EQ(printer.jobs().size(), 1u);
    const auto fills = printer.jobs()[0].pages.at(0).canvas->all<RecordedFill>();
    ASSERT_EQ(fills.size(), 2u);
    const double k = double(m.devPageWidth) / m.pageWidth;
    EXPECT_EQ(fills[0].rect.left, roundInt(100 * k));
    EXPECT_EQ(fills[0].rect.right, roundInt(100 * k) + roundInt(200 * k));

    // The same canvas type outside a job is no printer page.
    ProbeView::calls.clear();
    RecordingCanvas other(600, true);
    pages.Draw(0, other, Rect{0, 0, m.devPageWidth, m.devPageHeight});
    ASSERT_EQ(ProbeView::calls.size(), 2u);
    EXPECT_FALSE(ProbeView::calls[0].forPrinter);
}

TEST_F(PreparedPagesTest, AnInvisiblePageIsReleasedAndUnpackedAgainWhenShown) {
    TfrEMFPages pages(&host);
    pages.Add(a4());
    pages.Add(a4());
    ProbeView box = probe("Box", 1, 2, 3, 4);
    print(pages, 0, box);
    RecordingCanvas canvas;
    pages.Item(0).Visible = true;
    pages.Draw(0, canvas, Rect{0, 0, 758, 1071});
    ASSERT_NE(pages.Item(0).Page, nullptr);
    EXPECT_EQ(pages.unpackedCount(), 1);

    canvas.clear();
    pages.Item(0).Visible = false;
    pages.Draw(0, canvas, Rect{0, 0, 758, 1071});
    EXPECT_EQ(pages.Item(0).Page, nullptr);
    EXPECT_TRUE(canvas.ops().empty());
    EXPECT_EQ(pages.unpackedCount(), 0);

    pages.Item(0).Visible = true;
    pages.Draw(0, canvas, Rect{0, 0, 758, 1071});
    ASSERT_NE(pages.Item(0).Page, nullptr);
    EXPECT_EQ(pages.Item(0).Page->objectCount(), 1u);
    EXPECT_EQ(canvas.all<RecordedFill>().size(), 1u);
}

TEST_F(PreparedPagesTest, UnpackReadsTheViewsBackWithThePagesMargins) {
    TfrEMFPages pages(&host);
    TfrPage page = a4();
    page.Margins = {30, 40, 50, 60};
    pages.Add(page);
    TfrLineView rule;
    rule.Name = "Rule";
    rule.SetBounds(10, 20, 300, 0);
    ProbeView box = probe("Box", 1, 2, 3, 4);
    print(pages, 0, rule);
    print(pages, 0, box);
    pages.Unpack(0);
    const TfrPage& unpacked = *pages.Item(0).Page;
    EXPECT_EQ(unpacked.Margins, (PageMargins{30, 40, 50, 60}));
    EXPECT_TRUE(unpacked.UseMargins);
    ASSERT_EQ(unpacked.objectCount(), 2u);
    EXPECT_EQ(unpacked.object(0)->className(), "TfrLineView");
    EXPECT_EQ(unpacked.object(0)->Width, 300);
    EXPECT_EQ(unpacked.object(1)->Name, "Box");
    EXPECT_FALSE(unpacked.object(1)->preparedMode);
    EXPECT_EQ(unpacked.object(1)->page, &unpacked);
}

std::unique_ptr<TfrMemoView> storedMemo(const std::string& name, bool autoWidth) {
    auto m = std::make_unique<TfrMemoView>();
    m->Name = name;
    m->Font.name = "Courier New";
    m->SetBounds(40, 24, 96, 30);
    if (autoWidth) m->Flags |= kFlagAutoWidth;
    m->Memo = {"a line much wider than ninety-six pixels\x01", "short\x01"};
    return m;
}

TEST_F(PreparedPagesTest, AutoWidthMemosAreMeasuredWhenThePageIsUnpacked) {
    TfrEMFPages pages(&host);
    pages.Add(a4());
    for (bool autoWidth : {true, false}) {
        auto memo = storedMemo(autoWidth ? "Fitted" : "Fixed", autoWidth);
        store(pages, 0, *memo);
    }
    pages.Unpack(0);
    const TfrPage& page = *pages.Item(0).Page;
    ASSERT_EQ(page.objectCount(), 2u);
    auto reference = storedMemo("Reference", true);
    const int needed = reference->CalcWidth(reference->Memo);
    EXPECT_GT(needed, 96);
    EXPECT_EQ(page.object(0)->Width, needed);
    EXPECT_EQ(page.object(0)->Left, 40);
    EXPECT_EQ(page.object(1)->Width, 96);
}

TEST_F(PreparedPagesTest, DamagedAutoWidthMemosDrawWithoutOverflow) {
    // Values a damaged file may hold: gaps or a character spacing that make
    // the measured width run past the int range.
    const int big = std::numeric_limits<int>::max();
    struct Case {
        int gap;
        int spacing;
    };
    for (const Case& c : {Case{big / 2, 0}, Case{0, big}}) {
        TfrEMFPages pages(&host);
        pages.Add(a4());
        auto memo = storedMemo("Damaged", true);
        memo->GapX = c.gap;
        memo->CharSpacing = c.spacing;
        store(pages, 0, *memo);
        StreamWriter out;
        pages.SaveToStream(out);
        TfrEMFPages loaded(&host);
        StreamReader in(out.data());
        loaded.LoadFromStream(in);
        loaded.Item(0).Visible = true;
        RecordingCanvas screen(96, false, Rect{0, 0, 800, 600});
        loaded.Draw(0, screen, Rect{0, 0, 379, 535});
        EXPECT_EQ(screen.all<RecordedText>().size(), 2u) << c.gap;
    }
}

TEST_F(PreparedPagesTest, RepackWritesChangedViewsBack) {
    TfrEMFPages pages(&host);
    pages.Add(a4());
    ProbeView box = probe("Box", 1, 2, 3, 4);
    print(pages, 0, box);
    const std::string before = pages.Item(0).Stream.data();
    pages.Unpack(0);
    pages.Repack(0);
    EXPECT_EQ(pages.Item(0).Stream.data(), before);
    pages.Item(0).Page->object(0)->Left = 77;
    pages.Repack(0);
    pages.Unpack(0);
    EXPECT_EQ(pages.Item(0).Page->object(0)->Left, 77);
}

TEST_F(PreparedPagesTest, DamagedPageStreamsRaiseAndLeaveThePageEmpty) {
    TfrEMFPages pages(&host);
    pages.Add(a4());
    pages.Item(0).Stream.u8(7);  // no view has kind 7
    EXPECT_THROW(pages.Unpack(0), FormatError);
    EXPECT_EQ(pages.Item(0).Page, nullptr);

    pages.Add(a4());
    pages.Item(1).Stream.u8(kKindNamedClass);
    pages.Item(1).Stream.text16("TNoSuchView");
    try {
        pages.Unpack(1);
        FAIL();
    } catch (const FormatError& e) {
        EXPECT_NE(std::string(e.what()).find("TNoSuchView"), std::string::npos);
    }

    pages.Add(a4());
    ProbeView box = probe("Box", 1, 2, 3, 4);
    print(pages, 2, box);
    std::string cut = pages.Item(2).Stream.data();
    cut.resize(cut.size() - 3);
    pages.Item(2).Stream = StreamWriter();
    pages.Item(2).Stream.bytes(cut);
    pages.Item(2).Visible = true;
    RecordingCanvas canvas;
    EXPECT_THROW(pages.Draw(2, canvas, Rect{0, 0, 758, 1071}), FormatError);
    EXPECT_EQ(engine().currentPage, nullptr);  // the engine state is put back
}

TEST_F(PreparedPagesTest, HitTestPrefersTheViewAddedLast) {
    TfrEMFPages pages(&host);
    pages.Add(a4());
    ProbeView under = probe("Under", 100, 100, 200, 200);
    ProbeView over = probe("Over", 150, 150, 50, 50);
    print(pages, 0, under);
    print(pages, 0, over);
    int cursor = 0;
    EXPECT_TRUE(pages.HitTest(0, Point{160, 160}, cursor, true));
    EXPECT_TRUE(pages.HitTest(0, Point{120, 120}, cursor, true));
    EXPECT_FALSE(pages.HitTest(0, Point{300, 300}, cursor, true));  // right and bottom edges are out
    EXPECT_EQ(host.clicked, (std::vector<std::string>{"Over", "Under"}));

    EXPECT_TRUE(pages.HitTest(0, Point{199, 199}, cursor, false));
    EXPECT_EQ(host.hovered, std::vector<std::string>{"Over"});
    EXPECT_EQ(cursor, 42);

    host.clickHandler = false;
    EXPECT_FALSE(pages.HitTest(0, Point{160, 160}, cursor, true));
    TfrEMFPages orphan;  // no report: nobody handles a click
    orphan.Add(a4());
    print(orphan, 0, over);
    EXPECT_FALSE(orphan.HitTest(0, Point{160, 160}, cursor, true));
}

TEST_F(PreparedPagesTest, HitTestOnAPageStretchedToThePrintableArea) {
    TfrEMFPages pages(&host);
    TfrPage page = a4();
    page.UseMargins = false;
    page.Margins = {10, 20, 30, 40};
    pages.Add(page);
    ProbeView box = probe("Box", 100, 100, 100, 100);
    print(pages, 0, box);
    // kx = (722 - 40) / 758, ky = (1035 - 60) / 1071; offsets 18 + 10, 18 + 20.
    const double kx = 682.0 / 758, ky = 975.0 / 1071;
    const int left = roundInt(100 * kx + 28), top = roundInt(100 * ky + 38);
    const int right = roundInt(28 + 200 * kx), bottom = roundInt(38 + 200 * ky);
    int cursor = 0;
    EXPECT_TRUE(pages.HitTest(0, Point{left, top}, cursor, true));
    EXPECT_TRUE(pages.HitTest(0, Point{right - 1, bottom - 1}, cursor, true));
    EXPECT_FALSE(pages.HitTest(0, Point{left - 1, top}, cursor, true));
    EXPECT_FALSE(pages.HitTest(0, Point{right, top}, cursor, true));
    EXPECT_FALSE(pages.HitTest(0, Point{left, bottom}, cursor, true));
    EXPECT_EQ(host.clicked.size(), 2u);
}

class RecordingSink : public ExportSink {
public:
    std::vector<std::pair<std::string, int>> views;
    void exportView(TfrView& view, int left, int) override { views.emplace_back(view.Name, left); }
    void exportText(const Rect&, int, int, TfrView&, unsigned, const std::string&) override {}
};

TEST_F(PreparedPagesTest, ExportHandsEveryStoredViewToTheFilterWithoutUnpacking) {
    TfrEMFPages pages(&host);
    pages.Add(a4());
    ProbeView a = probe("A", 1, 2, 3, 4);
    ProbeView b = probe("B", 5, 6, 7, 8);
    print(pages, 0, a);
    print(pages, 0, b);
    viewtest::FakeReport report;
    RecordingSink sink;
    report.sink = &sink;
    engine().currentReport = &report;
    pages.Export(0);
    EXPECT_EQ(sink.views, (std::vector<std::pair<std::string, int>>{{"A", 1}, {"B", 5}}));
    EXPECT_EQ(pages.Item(0).Page, nullptr);
}

}  // namespace
}  // namespace quor::preptest
