// The print job in process, on a recording printer: what the settings do
// to the text object and the page, the copy count that reaches the
// printer, and the settings and logo errors that end a job before anything
// is printed.

#include "app/print_job.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>
#include <fstream>
#include <iterator>

#include "engine/memo_view.h"
#include "engine/picture_view.h"
#include "device/printer_device.h"
#include "platform/error.h"
#include "platform/message_box.h"
#include "platform/qpainter_canvas.h"
#include "platform/recording_printer.h"

namespace quor::test {
namespace {

class PrintJobTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& bytes) {
        const std::string path = dir_.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    void SetUp() override { settings_.setIniSection("Quor Print"); }
    bool run(const std::string& settings, const std::string& document = "line one\r\nline two\r\n") {
        return job_.QuorDocumentPrint(write("doc.prn", document), write("s.ini", "[Quor Print]\n" + settings));
    }
    TfrView* prepared(int page, const std::string& name) {
        TfrEMFPages& pages = job_.report().PreparedPages;
        pages.Unpack(page);
        return pages.Item(page).Page->FindView(name);
    }
    const std::vector<RecordedJob>& jobs() const { return printer_->jobs(); }

    QTemporaryDir dir_;
    RecordingPrinter* printer_ = nullptr;
    PrinterDeviceSession device_{[this] {
        auto p = std::make_unique<RecordingPrinter>(std::vector{RecordingPrinter::officePrinter("Office")});
        printer_ = p.get();
        return p;
    }};
    MessageCapture messages_;
    TFormStorage settings_{"TfQuorPrint"};
    QuorPrintJob job_{settings_};
};

TEST_F(PrintJobTest, SettingsReachTheTextAndCopiesThePrinterUncollated) {
    ASSERT_TRUE(run("Copies=3\nTextLeft=50,9\nTextTop=60\nTextX=4\nTextY=1\nFontName=Liberation Mono\n"
                    "FontSize=12\nFontColor=0x0000FF\nFontStyle=0x1F3\n"));
    ASSERT_EQ(jobs().size(), 1u);
    EXPECT_EQ(jobs()[0].copies, 3);
    EXPECT_EQ(jobs()[0].pages.size(), 1u);
    EXPECT_EQ(jobs()[0].title, dir_.filePath("doc.prn").toStdString());
    auto* fm1 = dynamic_cast<TfrMemoView*>(prepared(0, "FM1"));
    ASSERT_NE(fm1, nullptr);
    EXPECT_EQ(fm1->Left, 50);
    EXPECT_EQ(fm1->Top, 64);
    EXPECT_EQ(fm1->LineSpacing, 4);
    EXPECT_EQ(fm1->CharSpacing, 1);
    EXPECT_EQ(fm1->Font.name, "Liberation Mono");
    EXPECT_EQ(fm1->Font.pointSize, 12);
    EXPECT_EQ(fm1->Font.color, 0x0000FFu);
    // The low byte's four style bits: bold and the others of 0xF3.
    EXPECT_EQ(fm1->Font.style, unsigned{kFontBold | kFontItalic});
    EXPECT_EQ(fm1->Font.charset, kOemCharset);
    EXPECT_TRUE(messages_.messages().empty());
}

TEST_F(PrintJobTest, DefaultsAndTheTemplateOfEachJobStartAfresh) {
    ASSERT_TRUE(run("Orientation=1\nFontStyle=1\n"));
    ASSERT_TRUE(run(""));
    ASSERT_EQ(jobs().size(), 2u);
    EXPECT_EQ(jobs()[0].mode.orientation, kDmLandscape);
    EXPECT_EQ(jobs()[1].mode.orientation, kDmPortrait);
    EXPECT_EQ(jobs()[1].copies, 1);
    auto* fm1 = dynamic_cast<TfrMemoView*>(prepared(0, "FM1"));
    EXPECT_EQ(fm1->Left, 36);
    EXPECT_EQ(fm1->Top, 40);
    EXPECT_EQ(fm1->LineSpacing, 2);
    EXPECT_EQ(fm1->Font.name, "Courier New");
    EXPECT_EQ(fm1->Font.style, 0u);
    // Laid-out lines end in the line-end marker.
    EXPECT_EQ(fm1->Memo, (std::vector<std::string>{"line one\x01", "line two\x01"}));
}

TEST_F(PrintJobTest, SettingAndLogoErrorsEndTheJobBeforeAnythingIsPrinted) {
    const std::string bad = write("bad.bmp", "BM not really a bitmap");
    const std::pair<std::string, std::string> cases[] = {
        {"TextLeft=\n", "'' is not a valid floating point value"},
        {"TextTop=3 cm\n", "'3 cm' is not a valid floating point value"},
        {"Picture1Show=1\nPicture1=x.bmp\nPic1Y=high\n", "'high' is not a valid floating point value"},
        {"Picture1Show=1\n", "Unknown picture file extension (.)"},
        {"Picture2Show=1\nPicture2=logo.gif\n", "Unknown picture file extension (.gif)"},
        {"Picture2Show=2\nPicture2=/nowhere/logo.jpg\n", "Cannot open file /nowhere/logo.jpg"},
        {"Picture1Show=2\nPicture1=" + bad + "\n", ""},
    };
    for (const auto& [settings, text] : cases) {
        try {
            run(settings);
            ADD_FAILURE() << "no error for " << settings;
        } catch (const Error& e) {
            if (!text.empty()) EXPECT_EQ(std::string(e.what()), text) << settings;
        }
    }
    EXPECT_TRUE(jobs().empty());
    EXPECT_TRUE(messages_.messages().empty());
    // The template is whole again: the next job prints.
    EXPECT_TRUE(run(""));
    EXPECT_EQ(jobs().size(), 1u);
}

TEST_F(PrintJobTest, LogoSwitchesShowAndHideTheirBands) {
    // An unknown switch leaves the title picture as the template has it.
    job_.output = JobOutput::none;
    ASSERT_TRUE(run("Picture1Show=3\nPicture2Show=7\n"));
    TfrView* fpt = prepared(0, "FPT");
    ASSERT_NE(fpt, nullptr);
    EXPECT_EQ(std::pair(fpt->Width, fpt->Height), std::pair(96, 10));
    EXPECT_EQ(prepared(0, "FPTP"), nullptr);
    EXPECT_EQ(prepared(0, "FPBP"), nullptr);
    EXPECT_TRUE(jobs().empty());
}

TEST_F(PrintJobTest, NoPrinterIsReportedAndTheJobGoesOn) {
    printer_->testPrinters().clear();
    printer_->refresh();
    printerDevice().attach(printer_);
    job_.output = JobOutput::none;
    EXPECT_TRUE(run(""));
    ASSERT_EQ(messages_.messages().size(), 1u);
    EXPECT_EQ(messages_.messages()[0].text, "В системе не установлен принтер...");
    EXPECT_EQ(messages_.messages()[0].caption, "Quor Print");
    EXPECT_EQ(job_.report().PreparedPages.Count(), 1);
}

}  // namespace
}  // namespace quor::test

namespace quor::test {
namespace {

// A page of the invoice sample as the preview shows it at 100 %: drawing
// lines from the fonts' byte tables must not change a pixel of the page.
TEST_F(PrintJobTest, PreviewPageIsPixelForPixelTheShapedPage) {
    std::ifstream sample(QUOR_SOURCE_DIR "/samples/invoice.prn", std::ios::binary);
    const std::string document((std::istreambuf_iterator<char>(sample)), std::istreambuf_iterator<char>());
    for (const char* settings : {"", "TextY=1\nFontSize=9\n", "FontName=Arial\n"}) {
        SCOPED_TRACE(settings);
        job_.output = JobOutput::none;
        ASSERT_TRUE(run(settings, document));
        TfrEMFPages& pages = job_.report().PreparedPages;
        ASSERT_GE(pages.Count(), 1);
        pages.Item(0).Visible = true;
        const auto draw = [&](bool fromTables) {
            QImage image(794, 1123, QImage::Format_RGB32);
            image.setDotsPerMeterX(3780);
            image.setDotsPerMeterY(3780);
            image.fill(Qt::white);
            QPainterCanvas canvas(&image);
            canvas.drawTextFromTables(fromTables);
            pages.Draw(0, canvas, Rect{0, 0, image.width(), image.height()});
            return image;
        };
        const QImage shaped = draw(false);
        QImage blank(shaped.size(), shaped.format());
        blank.fill(Qt::white);
        ASSERT_NE(shaped, blank);
        EXPECT_EQ(draw(true), shaped);
    }
}

}  // namespace
}  // namespace quor::test
