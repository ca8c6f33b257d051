// The printer device and the platform printer against a real CUPS
// scheduler with the queues of scripts/start-cups.sh: "PDF" (cups-pdf at
// 300 dpi, no margins) and "Trays" (600 dpi, 1/4 in side and 1/2 in top
// and bottom margins, four trays). Skipped when no scheduler offers them.

#include <gtest/gtest.h>

#include <cups/cups.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <chrono>
#include <thread>

#include "device/printer_device.h"
#include "platform/canvas.h"
#include "platform/cups_printer.h"
#include "platform/error.h"
#include "support/cups_output.h"

namespace quor {
namespace {

// A job's attribute as the scheduler keeps it ("" when it has none).
std::string jobAttribute(int jobId, const char* name) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const std::string uri = "ipp://localhost/jobs/" + std::to_string(jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/jobs/");
    std::string value;
    if (ipp_attribute_t* attr = ippFindAttribute(response, name, IPP_TAG_ZERO)) {
        char buf[256];
        ippAttributeString(attr, buf, sizeof buf);
        value = buf;
    }
    ippDelete(response);
    return value;
}

class CupsDeviceTest : public ::testing::Test {
protected:
    CupsPrinter platform;
    TfrPrinter device;

    void SetUp() override {
        REQUIRE_TEST_QUEUES();
        device.attach(&platform);
    }
    void select(const char* name) {
        const int index = device.findPrinter(name);
        ASSERT_GE(index, 0) << name;
        device.selectPrinter(index);
        ASSERT_EQ(device.deviceName(), name);
    }
};

TEST_F(CupsDeviceTest, ListsTheQueuesWithTheVirtualPrinterLast) {
    const auto& names = device.printerNames();
    EXPECT_GE(device.findPrinter("PDF"), 0);
    EXPECT_GE(device.findPrinter("Trays"), 0);
    EXPECT_EQ(names.back(), "Виртуальный принтер");
    EXPECT_EQ(device.virtualIndex(), static_cast<int>(names.size()) - 1);
    EXPECT_LT(device.currentIndex(), device.virtualIndex());
}

TEST_F(CupsDeviceTest, TraysQueueHasItsPapersBinsAndMargins) {
    select("Trays");
    EXPECT_EQ(device.paperCode(), 9);
    EXPECT_EQ(device.sheetWidth(), 2100);
    EXPECT_EQ(device.sheetHeight(), 2970);
    std::vector<int> codes(device.paperCodes().begin(), device.paperCodes().begin() + device.paperCount());
    std::sort(codes.begin(), codes.end());
    EXPECT_EQ(codes, (std::vector<int>{1, 5, 7, 9, 11}));
    EXPECT_EQ(device.binNames(), (std::vector<std::string>{"", "Auto", "Tray 1", "Tray 2", "Manual"}));
    ASSERT_EQ(device.binCount(), 5);
    EXPECT_EQ(device.binCodes()[0], 0xFFFF);
    EXPECT_EQ(device.binCodes()[1], 7);
    EXPECT_EQ(device.binCodes()[2], 257);
    EXPECT_EQ(device.binCodes()[3], 258);
    EXPECT_EQ(device.binCodes()[4], 4);
    EXPECT_EQ(device.binCode(), 7);

    PrinterInfo m;
    device.fillMetrics(m);
    EXPECT_EQ(m.devPageWidth, 4960);
    EXPECT_EQ(m.devPageHeight, 7015);
    EXPECT_EQ(m.devOffsetX, 150);  // 18 pt
    EXPECT_EQ(m.devOffsetY, 300);  // 36 pt
    EXPECT_EQ(m.devPrintWidth, 4660);
    EXPECT_EQ(m.devPrintHeight, 6415);
    EXPECT_EQ(m.pageWidth, 757);
    EXPECT_EQ(m.pageHeight, 1071);
    EXPECT_EQ(m.offsetX, 23);
    EXPECT_EQ(m.offsetY, 46);
}

TEST_F(CupsDeviceTest, TraysQueueTakesLandscapeAndATray) {
    select("Trays");
    device.setPaper(9, 2970, 2100, 258, 1, false);
    EXPECT_EQ(device.orientation(), 1);
    EXPECT_EQ(device.binCode(), 258);
    EXPECT_EQ(device.sheetWidth(), 2970);
    EXPECT_EQ(device.sheetHeight(), 2100);
    PrinterInfo m;
    device.fillMetrics(m);
    EXPECT_EQ(m.devPageWidth, 7015);
    EXPECT_EQ(m.devPageHeight, 4960);
    // The sheet turned counter-clockwise: its bottom border is now on the left.
    EXPECT_EQ(m.devOffsetX, 300);
    EXPECT_EQ(m.devOffsetY, 150);
    device.setPaper(5, 0, 0, automaticBin, 0, false);
    EXPECT_EQ(device.sheetWidth(), 2159);
    EXPECT_EQ(device.sheetHeight(), 3556);
    EXPECT_EQ(device.binCode(), 258);
}

TEST_F(CupsDeviceTest, PdfQueueHasNoMargins) {
    select("PDF");
    device.setPaper(9, 2100, 2970, automaticBin, 0, false);
    PrinterInfo m;
    device.fillMetrics(m);
    EXPECT_EQ(m.devPageWidth, 2480);
    EXPECT_EQ(m.devPageHeight, 3507);
    EXPECT_EQ(m.devOffsetX, 0);
    EXPECT_EQ(m.devOffsetY, 0);
    EXPECT_EQ(m.devPrintWidth, 2480);
    EXPECT_EQ(m.pageWidth, 757);
    EXPECT_EQ(device.binCount(), 1);
}

TEST_F(CupsDeviceTest, PrintsATwoPageJobWithTitleAndCopies) {
    select("PDF");
    device.setPaper(9, 2100, 2970, automaticBin, 0, true);
    const std::string title = "quor-two-pages";
    platform.setTitle(title);
    platform.setCopies(2);
    EXPECT_EQ(platform.copies(), 2);
    platform.beginDoc();
    ASSERT_TRUE(platform.printing());
    Canvas& first = platform.canvas();
    EXPECT_TRUE(first.isPrinter());
    EXPECT_EQ(first.dpiX(), 300);
    first.textOut(100, 100, "Page one");
    first.rectangle(Rect{0, 0, 600, 300});
    platform.newPage();
    platform.canvas().textOut(100, 100, "Page two");
    platform.endDoc();
    EXPECT_FALSE(platform.printing());
    ASSERT_GT(platform.lastJobId(), 0);

    const QString path = waitForOutput(platform.lastJobId());
    RemovedAtEnd cleanup{path};
    ASSERT_FALSE(path.isEmpty()) << "no output for job " << platform.lastJobId();
    EXPECT_TRUE(QFileInfo(path).fileName().startsWith(QString::fromStdString(title)));
    const QString info = runTool("pdfinfo", {path});
    EXPECT_TRUE(info.contains(QString::fromStdString(title))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+2\\b"))) << info.toStdString();
    EXPECT_TRUE(info.contains("595 x 842")) << info.toStdString();
    // cups-pdf writes one file whatever the copies; the job carries them.
    EXPECT_EQ(jobAttribute(platform.lastJobId(), "copies"), "2");
    EXPECT_EQ(jobAttribute(platform.lastJobId(), "media"), "iso_a4_210x297mm");
    EXPECT_EQ(jobAttribute(platform.lastJobId(), "orientation-requested"), "portrait");
    EXPECT_EQ(jobAttribute(platform.lastJobId(), "job-name"), title);
}

TEST_F(CupsDeviceTest, JobCarriesTrayAndOrientation) {
    select("Trays");
    device.setPaper(9, 2970, 2100, 258, 1, true);
    platform.setTitle("quor-tray-job");
    platform.setCopies(1);
    platform.beginDoc();
    platform.canvas().textOut(0, 0, "Tray 2, landscape");
    platform.endDoc();
    const int job = platform.lastJobId();
    ASSERT_GT(job, 0);
    EXPECT_EQ(jobAttribute(job, "media-source"), "tray-2");
    EXPECT_EQ(jobAttribute(job, "orientation-requested"), "landscape");
    EXPECT_EQ(jobAttribute(job, "copies"), "1");
    const QString path = waitForOutput(job);
    RemovedAtEnd cleanup{path};
    ASSERT_FALSE(path.isEmpty());
    EXPECT_TRUE(runTool("pdfinfo", {path}).contains(QRegularExpression("Pages:\\s+1\\b")));
}

// Grey level of a pixel of a binary PGM file (-1 when it cannot be read).
int pgmPixel(const QString& path, int x, int y) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QList<QByteArray> header = f.read(64).split('\n');
    if (header.size() < 4 || header[0] != "P5") return -1;
    const QList<QByteArray> size = header[1].split(' ');
    const int width = size.value(0).toInt();
    const int offset = header[0].size() + header[1].size() + header[2].size() + 3;
    if (!f.seek(offset + static_cast<qint64>(y) * width + x)) return -1;
    const QByteArray b = f.read(1);
    return b.isEmpty() ? -1 : static_cast<unsigned char>(b[0]);
}

TEST_F(CupsDeviceTest, PagesAreDrawnFromTheCornerOfThePrintableArea) {
    select("Trays");
    device.setPaper(9, 2100, 2970, automaticBin, 0, true);
    platform.setTitle("quor-origin");
    platform.setCopies(1);
    platform.beginDoc();
    Canvas& c = platform.canvas();
    c.setBrush(BrushSpec{0, false});
    c.fillRect(Rect{0, 0, 600, 600});  // one inch square at 600 dpi
    platform.endDoc();
    const QString path = waitForOutput(platform.lastJobId());
    RemovedAtEnd cleanup{path};
    ASSERT_FALSE(path.isEmpty());
    const QString base = QDir::tempPath() + QString("/quor-origin-%1").arg(platform.lastJobId());
    QProcess::execute("pdftoppm", {"-r", "72", "-gray", "-singlefile", path, base});
    const QString image = base + ".pgm";
    // The printable area starts 18 pt from the left and 36 pt from the top.
    EXPECT_LT(pgmPixel(image, 20, 38), 64);
    EXPECT_LT(pgmPixel(image, 18 + 70, 36 + 70), 64);
    EXPECT_GT(pgmPixel(image, 15, 38), 192);
    EXPECT_GT(pgmPixel(image, 20, 33), 192);
    EXPECT_GT(pgmPixel(image, 18 + 74, 36 + 74), 192);
    QFile::remove(image);
}

TEST_F(CupsDeviceTest, AbortedJobNeverReachesTheQueue) {
    select("PDF");
    platform.setTitle("quor-aborted");
    platform.beginDoc();
    platform.canvas().textOut(0, 0, "never printed");
    platform.newPage();
    platform.abort();
    EXPECT_FALSE(platform.printing());
    EXPECT_EQ(platform.lastJobId(), 0);
    EXPECT_THROW(platform.canvas(), Error);
    // A later job goes through as usual.
    platform.setTitle("quor-after-abort");
    platform.beginDoc();
    platform.endDoc();
    EXPECT_GT(platform.lastJobId(), 0);
    EXPECT_EQ(jobAttribute(platform.lastJobId(), "job-name"), "quor-after-abort");
    RemovedAtEnd cleanup{waitForOutput(platform.lastJobId())};
    EXPECT_FALSE(cleanup.path.isEmpty());
}

TEST(CupsDeviceFaults, VanishingQueueSwitchesToTheVirtualPrinter) {
    REQUIRE_TEST_QUEUES();
    const QString queue = QString("QuorGone%1").arg(QCoreApplication::applicationPid());
    QProcess add;
    add.start("lpadmin", {"-p", queue, "-E", "-v", "cups-pdf:/ci", "-m", "lsb/usr/cups-pdf/CUPS-PDF_opt.ppd"});
    if (!add.waitForFinished(30000) || add.exitCode() != 0)
        GTEST_SKIP() << "cannot add a queue here (lpadmin needs administrator rights)";
    CupsPrinter platform;
    TfrPrinter device;
    device.attach(&platform);
    const int index = device.findPrinter(queue.toStdString());
    ASSERT_GE(index, 0);
    device.selectPrinter(index);
    EXPECT_FALSE(device.isVirtual());

    QProcess::execute("lpadmin", {"-x", queue});
    EXPECT_NO_THROW(device.readSettings());
    EXPECT_TRUE(device.isVirtual());
    EXPECT_EQ(device.paperCount(), 67);
    device.attach(&platform);
    EXPECT_EQ(device.findPrinter(queue.toStdString()), -1);
    EXPECT_FALSE(device.isVirtual());
}

TEST(CupsDeviceFaults, StoppedSchedulerLeavesOnlyTheVirtualPrinter) {
    REQUIRE_TEST_QUEUES();
    CupsPrinter platform;
    TfrPrinter device;
    device.attach(&platform);
    device.selectPrinter(device.findPrinter("Trays"));
    ASSERT_FALSE(device.isVirtual());

    // A scheduler that is not there, for this process only.
    const QString missing = QDir::tempPath() + "/quor-no-cupsd.sock";
    cupsSetServer(missing.toUtf8().constData());
    EXPECT_NO_THROW(device.readSettings());
    EXPECT_TRUE(device.isVirtual());
    PrinterInfo m;
    EXPECT_NO_THROW(device.fillMetrics(m));
    EXPECT_EQ(m.pageWidth, 758);
    EXPECT_NO_THROW(device.attach(&platform));
    EXPECT_EQ(device.printerNames(), std::vector<std::string>{"Виртуальный принтер"});
    EXPECT_TRUE(device.isVirtual());
    cupsSetServer(nullptr);

    device.attach(&platform);
    EXPECT_FALSE(device.isVirtual());
}

}  // namespace
}  // namespace quor
