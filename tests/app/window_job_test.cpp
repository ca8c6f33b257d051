// The window's command-line path with the real print job, in process on a
// recording printer: one argument prints and closes the window; with
// "Preview"="True" the preview opens first and the window closes after it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>
#include <functional>

#include "app/main_window.h"
#include "app/print_job.h"
#include "output/preview_form.h"
#include "device/printer_device.h"
#include "platform/message_box.h"
#include "platform/recording_printer.h"
#include "report/report_windows.h"

namespace quor::test {
namespace {

class WindowJobTest : public ::testing::Test {
protected:
    void SetUp() override { installPreviewWindow(); }
    void TearDown() override { reportWindows().showPreview = nullptr; }

    std::string write(const std::string& name, const std::string& bytes) {
        const std::string path = dir_.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    // Runs `action`; the number of preview windows seen meanwhile (each is
    // closed at once).
    int previewsDuring(const std::function<void()>& action) {
        int previews = 0;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* preview = dynamic_cast<TfrPreviewForm*>(w); preview && preview->isVisible()) {
                    ++previews;
                    preview->close();
                }
        });
        watch.start(20);
        action();
        return previews;
    }
    // Shows the window with these arguments and waits until it closes; the
    // previews seen meanwhile.
    int runWindow(std::vector<std::string> arguments, JobOutput output = JobOutput::asSettingsSay) {
        TfQuorPrint window(std::move(arguments));
        QuorPrintJob job(window.FS());
        job.output = output;
        window.setPrintJob([&job](const std::string& document, const std::string& settings) {
            job.QuorDocumentPrint(document, settings);
        });
        return previewsDuring([&] {
            window.show();
            QElapsedTimer clock;
            clock.start();
            while (window.isVisible() && clock.elapsed() < 30000)
                QApplication::processEvents(QEventLoop::AllEvents, 20);
            EXPECT_FALSE(window.isVisible());
        });
    }

    QTemporaryDir dir_;
    RecordingPrinter* printer_ = nullptr;
    PrinterDeviceSession device_{[this] {
        auto p = std::make_unique<RecordingPrinter>(std::vector{RecordingPrinter::officePrinter("Office")});
        printer_ = p.get();
        return p;
    }};
    MessageCapture messages_;
};

TEST_F(WindowJobTest, OneArgumentPrintsOrPreviewsAndCloses) {
    const std::string document = write("doc.prn", "one\r\ntwo\r\n");
    EXPECT_EQ(runWindow({document, write("print.ini", "[Quor Print]\r\nPreview=true\r\n")}), 0);
    EXPECT_EQ(printer_->jobs().size(), 1u);
    EXPECT_EQ(runWindow({document, write("preview.ini", "[Quor Print]\r\nPreview=True\r\n")}), 1);
    EXPECT_EQ(printer_->jobs().size(), 1u);
    EXPECT_TRUE(messages_.messages().empty());
}

TEST_F(WindowJobTest, PreviewOptionAndPreparedPagesOpenThePreview) {
    const std::string document = write("doc.prn", "one\r\ntwo\r\n");
    const std::string settings = write("print.ini", "[Quor Print]\r\nCopies=2\r\n");
    EXPECT_EQ(runWindow({document, settings}, JobOutput::preview), 1);
    EXPECT_TRUE(printer_->jobs().empty());

    TFormStorage storage("TfQuorPrint");
    storage.setIniSection("Quor Print");
    const std::string pages = dir_.filePath("pages.frp").toStdString();
    {
        QuorPrintJob save(storage);
        save.output = JobOutput::none;
        save.OnPrepared = [&](TfrReport& report) { report.SavePreparedReport(pages); };
        ASSERT_TRUE(save.QuorDocumentPrint(document, settings));
    }
    QuorPrintJob open(storage);
    open.output = JobOutput::preview;
    EXPECT_EQ(previewsDuring([&] { EXPECT_TRUE(open.QuorPreparedPrint(pages, settings)); }), 1);
    EXPECT_EQ(open.report().Title, pages);
    EXPECT_TRUE(printer_->jobs().empty());
    open.output = JobOutput::printer;
    EXPECT_EQ(previewsDuring([&] { open.QuorPreparedPrint(pages, settings); }), 0);
    ASSERT_EQ(printer_->jobs().size(), 1u);
    EXPECT_TRUE(messages_.messages().empty());
}

}  // namespace
}  // namespace quor::test
