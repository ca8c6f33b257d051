// The platform printer layer without a scheduler: paper codes and sheet
// geometry, tray codes, the recording printer's jobs and the properties
// dialog.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QRadioButton>
#include <QSpinBox>

#include "platform/cups_queue.h"
#include "platform/error.h"
#include "platform/paper_geometry.h"
#include "platform/printer_properties_dialog.h"
#include "platform/recording_printer.h"

namespace quor {
namespace {

TEST(PaperCodes, MapSizesToStandardCodesEitherWayRound) {
    EXPECT_EQ(standardPaperCode(20990, 29704), 9);  // A4 as CUPS reports it
    EXPECT_EQ(standardPaperCode(29700, 21000), 9);
    EXPECT_EQ(standardPaperCode(21590, 27940), 1);
    EXPECT_EQ(standardPaperCode(14817, 20990), 11);
    EXPECT_EQ(standardPaperCode(12345, 6789), 0);
    EXPECT_EQ(standardPaperCode(0, 29700), 0);
}

TEST(PaperCodes, GiveExactPortraitSizes) {
    EXPECT_EQ(standardPaperSize(9), (Size{21000, 29700}));
    EXPECT_EQ(standardPaperSize(1), (Size{21590, 27940}));
    EXPECT_EQ(standardPaperSize(4), (Size{27940, 43180}));  // Ledger, named landscape
    EXPECT_FALSE(standardPaperSize(256));
    EXPECT_FALSE(standardPaperSize(0));
    EXPECT_FALSE(standardPaperSize(30000));
    EXPECT_EQ(standardPaperName(9), "A4");
    EXPECT_EQ(standardPaperName(256), "");
}

TEST(PaperCodes, CustomSizeIsGivenAsThePageIsOriented) {
    DeviceMode m;
    m.paperSize = kCustomPaperCode;
    m.paperWidth = 2970;
    m.paperLength = 2100;
    m.orientation = kDmLandscape;
    EXPECT_EQ(requestedPaperSize(m), (Size{21000, 29700}));
    m.orientation = kDmPortrait;
    EXPECT_EQ(requestedPaperSize(m), (Size{29700, 21000}));
    m.paperWidth = 0;
    EXPECT_FALSE(requestedPaperSize(m));
}

TEST(SheetMetrics, PortraitAndLandscapeWithMargins) {
    const SheetGeometry a4{21000, 29700, {635, 1270, 635, 1270}};
    const DeviceMetrics p = sheetMetrics(a4, 600, 600, false);
    EXPECT_EQ(p, (DeviceMetrics{600, 600, 4960, 7015, 150, 300, 4660, 6415}));
    const SheetGeometry uneven{21000, 29700, {100, 200, 300, 400}};
    const DeviceMetrics l = sheetMetrics(uneven, 254, 254, true);
    // At 254 dpi a dot is 0.1 mm. Turned counter-clockwise, the page's
    // left border is the sheet's bottom, its top the sheet's left, its
    // right the sheet's top and its bottom the sheet's right.
    EXPECT_EQ(l.physicalWidth, 2970);
    EXPECT_EQ(l.physicalHeight, 2100);
    EXPECT_EQ(l.offsetX, 20);
    EXPECT_EQ(l.offsetY, 10);
    EXPECT_EQ(l.printableWidth, 2970 - 20 - 40);
    EXPECT_EQ(l.printableHeight, 2100 - 10 - 30);
}

TEST(SheetMetrics, RejectsImpossibleGeometry) {
    EXPECT_THROW(sheetMetrics({21000, 29700, {}}, 0, 600, false), Error);
    EXPECT_THROW(sheetMetrics({0, 29700, {}}, 600, 600, false), Error);
    EXPECT_THROW(sheetMetrics({21000, 29700, {11000, 0, 11000, 0}}, 600, 600, false), Error);
}

TEST(CupsSources, TakeStandardBinCodesOrDriverCodes) {
    EXPECT_EQ(binCodeForSource("auto", 0), 7);
    EXPECT_EQ(binCodeForSource("manual", 3), 4);
    EXPECT_EQ(binCodeForSource("tray-1", 1), 257);
    EXPECT_EQ(binCodeForSource("tray-2", 2), 258);
    EXPECT_EQ(sourceDisplayName("tray-1"), "Tray 1");
    EXPECT_EQ(sourceDisplayName("large-capacity"), "Large capacity");
    EXPECT_EQ(sourceDisplayName(""), "");
}

TEST(RecordingPrinterJobs, KeepPagesCopiesFormatsAndDrawing) {
    RecordingPrinter printer({RecordingPrinter::officePrinter("Office")});
    printer.setTitle("report");
    printer.setCopies(3);
    printer.beginDoc();
    printer.canvas().textOut(10, 20, "first");
    printer.newPage();
    printer.canvas().line(0, 0, 100, 0);
    printer.endDoc();
    EXPECT_THROW(printer.canvas(), Error);
    EXPECT_THROW(printer.newPage(), Error);

    ASSERT_EQ(printer.jobs().size(), 1u);
    const RecordedJob& job = printer.jobs()[0];
    EXPECT_EQ(job.printer, "Office");
    EXPECT_EQ(job.title, "report");
    EXPECT_EQ(job.copies, 3);
    EXPECT_EQ(job.mode.paperSize, 9);
    EXPECT_TRUE(job.ended);
    EXPECT_FALSE(job.aborted);
    ASSERT_EQ(job.pages.size(), 2u);
    EXPECT_EQ(job.pages[0].metrics.physicalWidth, 4960);
    const auto texts = job.pages[0].canvas->all<RecordedText>();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].bytes, "first");
    EXPECT_TRUE(job.pages[0].canvas->isPrinter());
    EXPECT_EQ(job.pages[1].canvas->all<RecordedLine>().size(), 1u);
}

TEST(RecordingPrinterJobs, AbortAndFaults) {
    RecordingPrinter printer({RecordingPrinter::officePrinter("Office")});
    printer.beginDoc();
    EXPECT_THROW(printer.beginDoc(), Error);
    printer.abort();
    EXPECT_TRUE(printer.jobs()[0].aborted);
    EXPECT_FALSE(printer.jobs()[0].ended);
    EXPECT_FALSE(printer.printing());

    printer.vanish("Office");
    EXPECT_FALSE(printer.printerSetup().mode);
    EXPECT_THROW(printer.setCopies(2), Error);
    EXPECT_THROW(printer.beginDoc(), Error);
    printer.refresh();
    EXPECT_TRUE(printer.printers().empty());
    EXPECT_THROW(printer.printerIndex(), Error);
}

TEST(PrinterPropertiesDialog, EditsTheSupportedFields) {
    DeviceMode mode;
    mode.fields = kDmOrientation | kDmPaperSize | kDmCopies | kDmDefaultSource;
    mode.paperSize = 9;
    mode.defaultSource = 7;
    const std::vector<PaperKind> papers{{9, "A4"}, {11, "A5"}};
    const std::vector<BinKind> bins{{7, "Auto"}, {258, "Tray 2"}};
    PrinterPropertiesDialog dialog("Trays", papers, bins, mode);
    EXPECT_EQ(dialog.paperBox()->currentText(), "A4");
    EXPECT_EQ(dialog.mode(), mode);

    dialog.paperBox()->setCurrentIndex(1);
    dialog.landscapeButton()->setChecked(true);
    dialog.sourceBox()->setCurrentIndex(1);
    dialog.copiesBox()->setValue(4);
    const DeviceMode edited = dialog.mode();
    EXPECT_EQ(edited.paperSize, 11);
    EXPECT_EQ(edited.orientation, kDmLandscape);
    EXPECT_EQ(edited.defaultSource, 258);
    EXPECT_EQ(edited.copies, 4);

    // Fields the printer lacks stay as they were.
    mode.fields = kDmPaperSize;
    PrinterPropertiesDialog limited("Plain", papers, {}, mode);
    EXPECT_FALSE(limited.sourceBox()->isEnabled());
    limited.landscapeButton()->setChecked(true);
    EXPECT_EQ(limited.mode().orientation, kDmPortrait);
}

}  // namespace
}  // namespace quor
