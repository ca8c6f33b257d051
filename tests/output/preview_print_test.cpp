// Printing from the preview on the recording printer: the pages go to the
// report for the run and come back; the dialog when asked for; errors in a
// box with the window left as it was.

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "output/print_form.h"
#include "platform/error.h"
#include "platform/recording_printer.h"
#include "preview_fixture.h"

namespace quor::test {
namespace {

class PreviewPrintTest : public PreviewTestBase {
protected:
    PreviewPrintTest()
        : PreviewTestBase([] {
              return std::make_unique<RecordingPrinter>(
                  std::vector<TestPrinter>{RecordingPrinter::officePrinter("Office A")});
          }) {}
    RecordingPrinter& platform() {
        return static_cast<RecordingPrinter&>(*printerDevice().platformPrinter());
    }
    // Runs `act` on the modal dialog once it is up.
    static void whenModal(std::function<void(QWidget&)> act) {
        QTimer::singleShot(0, [act = std::move(act)] {
            QWidget* w = QApplication::activeModalWidget();
            ASSERT_NE(w, nullptr);
            act(*w);
        });
    }
};

TEST_F(PreviewPrintTest, PrintSendsEveryPageAndTheWindowKeepsThem) {
    build(200);
    TfrPreviewForm& form = open(1000, 700);
    const int pages = form.pageCount();
    ASSERT_TRUE(form.PrintBtn->isEnabled());
    form.PgDownClick();
    int pagesDuringRun = -1;
    report_.OnPrintReport = [&] { pagesDuringRun = report_.PreparedPages.Count(); };
    form.PrintBtn->click();
    EXPECT_EQ(pagesDuringRun, pages);
    ASSERT_EQ(platform().jobs().size(), 1u);
    EXPECT_EQ(platform().jobs()[0].pages.size(), std::size_t(pages));
    EXPECT_EQ(form.pageCount(), pages);
    EXPECT_EQ(report_.PreparedPages.Count(), 0);
    EXPECT_EQ(form.currentPage, 2);  // refreshed without reset

    // Ctrl+P prints as well.
    key(form.PBox, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(platform().jobs().size(), 2u);
}

TEST_F(PreviewPrintTest, DialogChoosesTheCurrentPageOrCancels) {
    build(200);
    report_.ShowPrintDialog = true;
    TfrPreviewForm& form = open(1000, 700);
    form.PgDownClick();
    whenModal([](QWidget& w) {
        auto& dialog = dynamic_cast<TfrPrintForm&>(w);
        dialog.RB2->setChecked(true);  // the current page
        dialog.Button1->click();
    });
    form.PrintBtnClick();
    ASSERT_EQ(platform().jobs().size(), 1u);
    EXPECT_EQ(platform().jobs()[0].pages.size(), 1u);

    whenModal([](QWidget& w) { dynamic_cast<TfrPrintForm&>(w).Button2->click(); });
    form.PrintBtnClick();
    EXPECT_EQ(platform().jobs().size(), 1u);
    EXPECT_GT(form.pageCount(), 1);
}

TEST_F(PreviewPrintTest, PrintErrorIsShownAndThePagesStay) {
    build(200);
    TfrPreviewForm& form = open(1000, 700);
    const int pages = form.pageCount();
    report_.OnPrintReport = [] { throw Error("Принтер не отвечает"); };
    form.PrintBtnClick();
    ASSERT_EQ(messages_.messages().size(), 1u);
    EXPECT_EQ(messages_.messages()[0].text, "Принтер не отвечает");
    EXPECT_EQ(form.pageCount(), pages);
    EXPECT_EQ(report_.PreparedPages.Count(), 0);
    EXPECT_TRUE(form.isVisible());
}

}  // namespace
}  // namespace quor::test
