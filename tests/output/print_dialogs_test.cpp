// The print dialog and the progress window, offscreen: what the dialog's
// controls map to, the printer it leaves current, and a print run shown
// and cancelled through the progress window.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "engine/engine_state.h"
#include "output/print_form.h"
#include "device/printer_device.h"
#include "output/progress_form.h"
#include "platform/error.h"
#include "platform/recording_printer.h"
#include "report/report_windows.h"
#include "support/sheet_probe.h"

namespace quor::test {
namespace {

class PrintDialogsTest : public ::testing::Test {
protected:
    PrintDialogsTest() {
        SheetProbe::registerClass();
        reportWindows() = ReportWindows{};
    }
    ~PrintDialogsTest() override {
        reportWindows() = savedWindows_;
        engine() = savedEngine_;
    }
    RecordingPrinter& platform() { return static_cast<RecordingPrinter&>(*printerDevice().platformPrinter()); }
    void addPages(int count) {
        for (int i = 1; i <= count; ++i) {
            TfrPage page(9, 2100, 2970, automaticBin, 0);
            SheetProbe::addPage(report_.PreparedPages, page, static_cast<std::uint32_t>(i));
        }
    }
    // Runs `act` on the modal window once it is up.
    static void whenModal(std::function<void(QWidget&)> act) {
        QTimer::singleShot(0, [act = std::move(act)] {
            QWidget* w = QApplication::activeModalWidget();
            ASSERT_NE(w, nullptr);
            act(*w);
        });
    }

    PrinterDeviceSession device_{[] {
        return std::make_unique<RecordingPrinter>(std::vector<TestPrinter>{
            RecordingPrinter::officePrinter("Office A"), RecordingPrinter::officePrinter("Office B")});
    }};
    TfrReport report_;

private:
    ReportWindows savedWindows_ = reportWindows();
    EngineState savedEngine_ = engine();
};

TEST_F(PrintDialogsTest, PrintFormStartsWithItsCaptionsAndAllPages) {
    TfrPrintForm form;
    EXPECT_EQ(form.windowTitle(), "Печать");
    EXPECT_EQ(form.size(), QSize(485, 226));
    EXPECT_EQ(form.PropButton->text(), "Свойства...");
    EXPECT_EQ(form.Label3->text(), "&Разобрать по копиям");
    ASSERT_EQ(form.CB1->count(), 2);  // no virtual printer
    EXPECT_EQ(form.CB1->itemText(1), "Office B");
    EXPECT_EQ(form.CB1->currentIndex(), 0);
    ASSERT_EQ(form.CB2->count(), 3);
    EXPECT_EQ(form.CB2->itemText(1), "Нечетные страницы");
    EXPECT_EQ(form.CB2->x(), form.Label5->x() + form.Label5->width() + 11);
    EXPECT_EQ(form.request(4), (PrintRequest{"", 1, true, PageFilter::allPages}));
}

TEST_F(PrintDialogsTest, ControlsMapToThePrintArguments) {
    TfrPrintForm form;
    form.RB2->setChecked(true);
    form.E1->setText("3");
    form.CollateCB->setChecked(false);
    form.CB2->setCurrentIndex(2);
    EXPECT_EQ(form.request(4), (PrintRequest{"4", 3, false, PageFilter::evenPages}));

    // Entering the list chooses it.
    form.E2->setText("1, 5-");
    QFocusEvent focus(QEvent::FocusIn);
    QApplication::sendEvent(form.E2, &focus);
    EXPECT_TRUE(form.RB3->isChecked());
    form.CB2->setCurrentIndex(1);
    EXPECT_EQ(form.request(4), (PrintRequest{"1, 5-", 3, false, PageFilter::oddPages}));

    form.E1->setText("many");
    EXPECT_THROW(form.request(4), Error);
}

TEST_F(PrintDialogsTest, CopyButtonsAndCollationPicture) {
    TfrPrintForm form;
    form.copiesDown();
    EXPECT_EQ(form.E1->text(), "1");
    form.copiesUp();
    form.copiesUp();
    EXPECT_EQ(form.E1->text(), "3");
    form.copiesDown();
    EXPECT_EQ(form.E1->text(), "2");
    form.E1->setText("0");
    form.copiesDown();
    EXPECT_EQ(form.E1->text(), "1");
    form.E1->setText("x");
    EXPECT_THROW(form.copiesUp(), Error);

    const QImage collated = form.PB1->grab().toImage();
    // A click on the label toggles collation and the picture with it.
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(2, 2), form.Label3->mapToGlobal(QPointF(2, 2)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.Label3, &click);
    EXPECT_FALSE(form.CollateCB->isChecked());
    const QImage uncollated = form.PB1->grab().toImage();
    EXPECT_NE(collated, uncollated);
    const QColor face = form.PB1->palette().color(QPalette::Button);
    EXPECT_EQ(collated.pixelColor(2, 2), face);     // left of the collated picture
    EXPECT_EQ(uncollated.pixelColor(40, 2), face);  // above the uncollated one
}

TEST_F(PrintDialogsTest, PrinterChoiceIsKeptOnlyWhenConfirmed) {
    {
        TfrPrintForm form;
        emit form.CB1->activated(1);
        EXPECT_EQ(printerDevice().currentIndex(), 1);
        form.reject();
        EXPECT_EQ(printerDevice().currentIndex(), 0);
    }
    TfrPrintForm form;
    emit form.CB1->activated(1);
    form.accept();
    EXPECT_EQ(printerDevice().currentIndex(), 1);
    EXPECT_EQ(TfrPrintForm().savedPrinterIndex, 1);
}

TEST_F(PrintDialogsTest, AskPrintRequestShowsTheDialogOnlyWhenAsked) {
    report_.DefaultCopies = 2;
    report_.DefaultCollate = false;
    report_.ShowPrintDialog = false;
    EXPECT_EQ(askPrintRequest(report_, 3), (PrintRequest{"", 2, false, PageFilter::allPages}));

    report_.ShowPrintDialog = true;
    whenModal([](QWidget& w) {
        auto& form = dynamic_cast<TfrPrintForm&>(w);
        EXPECT_EQ(form.E1->text(), "2");
        form.RB2->setChecked(true);
        form.Button1->click();
    });
    EXPECT_EQ(askPrintRequest(report_, 3), (PrintRequest{"3", 2, false, PageFilter::allPages}));

    whenModal([](QWidget& w) { dynamic_cast<TfrPrintForm&>(w).Button2->click(); });
    EXPECT_EQ(askPrintRequest(report_, 3), std::nullopt);
}

TEST_F(PrintDialogsTest, PrintRunsInTheProgressWindow) {
    installProgressWindow();
    addPages(3);
    report_.Title = "doc.prn";
    std::vector<QString> labels;
    report_.OnPrintReport = [&] {
        auto* form = dynamic_cast<TfrProgressForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->windowTitle(), "Подготовка отчета - doc.prn");
        EXPECT_EQ(form->size(), QSize(278, 106));
        EXPECT_EQ(form->Button1->text(), "Отмена");
        labels.push_back(form->Label1->text());
    };
    report_.PrintPrepared("", 1, false, PageFilter::allPages);
    EXPECT_EQ(labels, std::vector<QString>{"Печатается страница:"});
    ASSERT_EQ(platform().jobs().size(), 1u);
    EXPECT_TRUE(platform().jobs()[0].ended);
    EXPECT_EQ(platform().jobs()[0].pages.size(), 3u);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // An error of the run closes the window and reaches the caller.
    EXPECT_THROW(report_.PrintPrepared("x", 1, false, PageFilter::allPages), Error);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(PrintDialogsTest, CancelInTheProgressWindowAbortsTheJob) {
    installProgressWindow();
    addPages(4);
    // Cancel is pressed once the label shows page 2.
    auto setText = reportWindows().setProgressText;
    reportWindows().setProgressText = [&](const std::string& text) {
        setText(text);
        if (text.ends_with("  2"))
            dynamic_cast<TfrProgressForm&>(*QApplication::activeModalWidget()).Button1->click();
    };
    report_.PrintPrepared("", 1, false, PageFilter::allPages);
    ASSERT_EQ(platform().jobs().size(), 1u);
    EXPECT_TRUE(platform().jobs()[0].aborted);
    EXPECT_EQ(platform().jobs()[0].pages.size(), 2u);
    EXPECT_TRUE(report_.StopRequested);

    // The hook tells a cancelled run from a finished one.
    bool ran = false;
    EXPECT_TRUE(reportWindows().runWithProgress(report_, "c", [&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_FALSE(reportWindows().runWithProgress(report_, "c", [] {
        dynamic_cast<TfrProgressForm&>(*QApplication::activeModalWidget()).Button1->click();
    }));
}

}  // namespace
}  // namespace quor::test
