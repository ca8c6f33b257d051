// The PDF file printer: the paper the settings ask for with a 5 mm border,
// every job of a run in one file that appears only when committed, and
// nothing left behind by an aborted or unfinished run.

#include "platform/pdf_file_printer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include "platform/canvas.h"
#include "platform/error.h"

namespace quor {
namespace {

QString pdfinfo(const QString& pdf, const QStringList& extra = {}) {
    QProcess p;
    p.start("pdfinfo", extra + QStringList{pdf});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

class PdfFilePrinterTest : public ::testing::Test {
protected:
    QString target() const { return dir_.filePath("out.pdf"); }
    QStringList files() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }
    void page(const std::string& text) {
        printer_.canvas().textOut(0, 0, text);
    }
    // Settings the printer device would push: paper, orientation, copies.
    void setPaper(std::int16_t code, std::int16_t orientation, std::int16_t width = 0, std::int16_t length = 0) {
        PrinterSetup setup = printer_.printerSetup();
        setup.mode->paperSize = code;
        setup.mode->orientation = orientation;
        setup.mode->paperWidth = width;
        setup.mode->paperLength = length;
        printer_.setPrinterSetup(setup);
    }

    QTemporaryDir dir_;
    PdfFilePrinter printer_{target().toStdString()};
};

TEST_F(PdfFilePrinterTest, OnePrinterWithAnyPaperAndTheVirtualBorder) {
    EXPECT_EQ(printer_.printers(), std::vector<std::string>{"PDF"});
    EXPECT_THROW(printer_.setPrinterIndex(1), Error);
    const DeviceMetrics a4 = printer_.metrics();
    EXPECT_EQ(a4, (DeviceMetrics{600, 600, 4960, 7015, 118, 118, 4724, 6779}));
    setPaper(9, kDmLandscape);
    EXPECT_EQ(printer_.metrics().physicalWidth, 7015);
    setPaper(kCustomPaperCode, kDmPortrait, 1000, 1500);
    EXPECT_EQ(printer_.metrics().physicalWidth, 2362);
    EXPECT_EQ(printer_.metrics().physicalHeight, 3543);
    printer_.setCopies(4);
    EXPECT_EQ(printer_.copies(), 4);
    EXPECT_EQ(printer_.printerSetup().mode->copies, 4);
}

TEST_F(PdfFilePrinterTest, JobsOfARunShareOneFileThatAppearsWhenCommitted) {
    printer_.setTitle("doc.prn");
    printer_.beginDoc();
    page("first");
    printer_.newPage();
    page("second");
    printer_.endDoc();
    EXPECT_FALSE(QFile::exists(target()));
    setPaper(9, kDmLandscape);
    printer_.beginDoc();
    page("third");
    printer_.endDoc();
    printer_.commit();
    EXPECT_EQ(files(), QStringList{"out.pdf"});
    const QString info = pdfinfo(target(), {"-f", "1", "-l", "3"});
    EXPECT_TRUE(info.contains("Title:           doc.prn")) << info.toStdString();
    EXPECT_TRUE(info.contains("Pages:           3"));
    EXPECT_TRUE(info.contains("Page    2 size:  595 x 842")) << info.toStdString();
    EXPECT_TRUE(info.contains("Page    3 size:  842 x 595")) << info.toStdString();
}

TEST_F(PdfFilePrinterTest, AbortedOrUnfinishedRunsLeaveNothing) {
    QFile old(target());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("earlier file");
    old.close();
    printer_.beginDoc();
    page("x");
    printer_.abort();
    EXPECT_THROW(printer_.commit(), Error);
    {
        PdfFilePrinter unfinished(target().toStdString());
        unfinished.beginDoc();
        unfinished.canvas().textOut(0, 0, "y");
        EXPECT_THROW(unfinished.commit(), Error);
    }
    EXPECT_EQ(files(), QStringList{"out.pdf"});
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "earlier file");
}

}  // namespace
}  // namespace quor
