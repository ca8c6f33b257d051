// Printing a report's prepared pages to the cups-pdf queue "PDF" of
// scripts/start-cups.sh; skipped when no scheduler offers it.

#include <gtest/gtest.h>

#include <QImage>
#include <QRegularExpression>

#include "engine/engine_state.h"
#include "device/printer_device.h"
#include "platform/cups_printer.h"
#include "report/report.h"
#include "support/cups_output.h"
#include "support/sheet_probe.h"

namespace quor::test {
namespace {

// Colours with red in the low byte.
constexpr std::uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

TEST(PrintToCups, PageListArrivesAsAPdfWithItsPagesAndTitle) {
    REQUIRE_TEST_QUEUES();
    const EngineState savedEngine = engine();
    PrinterDeviceSession session([] { return std::make_unique<CupsPrinter>(); });
    TfrPrinter& device = printerDevice();
    const int pdf = device.findPrinter("PDF");
    ASSERT_GE(pdf, 0);
    device.selectPrinter(pdf);

    SheetProbe::registerClass();
    TfrReport report;
    for (std::uint32_t colour : {kRed, kGreen, kBlue}) {
        TfrPage page(9, 2100, 2970, automaticBin, 0);
        SheetProbe::addPage(report.PreparedPages, page, colour);
    }
    report.Title = "quor-print-list";
    report.ShowProgress = false;
    report.PrintPrepared("3, 1", 1, false, PageFilter::allPages);

    auto& platform = static_cast<CupsPrinter&>(*device.platformPrinter());
    ASSERT_GT(platform.lastJobId(), 0);
    const QString path = waitForOutput(platform.lastJobId());
    RemovedAtEnd cleanup{path};
    ASSERT_FALSE(path.isEmpty()) << "no output for job " << platform.lastJobId();
    EXPECT_TRUE(QFileInfo(path).fileName().startsWith("quor-print-list"));
    const QString info = runTool("pdfinfo", {path});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+2\\b"))) << info.toStdString();
    EXPECT_TRUE(info.contains("quor-print-list")) << info.toStdString();

    // Page 1 (red) then page 3 (blue), each filling its sheet.
    const QString base = QDir::tempPath() + QString("/quor-print-list-%1").arg(platform.lastJobId());
    runTool("pdftoppm", {"-r", "10", "-png", path, base});
    const QColor expected[] = {Qt::red, Qt::blue};
    for (int i = 0; i < 2; ++i) {
        const QString png = QString("%1-%2.png").arg(base).arg(i + 1);
        const QImage image(png);
        QFile::remove(png);
        ASSERT_FALSE(image.isNull()) << png.toStdString();
        const QColor centre = image.pixelColor(image.width() / 2, image.height() / 2);
        EXPECT_NEAR(centre.red(), expected[i].red(), 40) << i;
        EXPECT_NEAR(centre.green(), expected[i].green(), 40) << i;
        EXPECT_NEAR(centre.blue(), expected[i].blue(), 40) << i;
    }
    engine() = savedEngine;
}

}  // namespace
}  // namespace quor::test
