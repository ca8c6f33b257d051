// The preview window over built reports: opening, the zoom modes and their
// carry-over, scrolling with the page that follows the view, keys and mouse.

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>

#include "platform/help.h"
#include "platform/messages.h"
#include "preview_fixture.h"

namespace quor::test {
namespace {

constexpr int kA4Width = 758;
constexpr int kA4Height = 1071;

TEST_F(PreviewTest, OnePageOpensAt100PercentCentredWithTheSystemsButtons) {
    build(3);
    TfrPreviewForm& form = open(1000, 700);
    EXPECT_EQ(report_.PreparedPages.Count(), 0);  // the window holds them now
    ASSERT_EQ(form.pageCount(), 1);
    EXPECT_EQ(pageRect(0),
              (Rect{(1000 - kA4Width) / 2, 10, (1000 - kA4Width) / 2 + kA4Width, 10 + kA4Height}));
    EXPECT_EQ(label(), "Стр. 1/1");
    EXPECT_EQ(zoomText(), "100%");
    EXPECT_EQ(form.HScrollBar->maximum(), 0);
    EXPECT_FALSE(form.HScrollBar->isEnabled());
    EXPECT_EQ(form.VScrollBar->maximum(), 10 + kA4Height - 700 + 10);

    EXPECT_TRUE(form.ZoomBtn->isVisible());
    EXPECT_TRUE(form.frTBSeparator1->isVisible());
    EXPECT_TRUE(form.PrintBtn->isVisible());
    EXPECT_TRUE(form.ExitBtn->isVisible());
    for (QWidget* hidden :
         {static_cast<QWidget*>(form.LoadBtn), static_cast<QWidget*>(form.SaveBtn),
          static_cast<QWidget*>(form.FindBtn), static_cast<QWidget*>(form.HelpBtn),
          static_cast<QWidget*>(form.PageSetupBtn), static_cast<QWidget*>(form.frTBSeparator3)})
        EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
    // Only the virtual printer: nothing to print on.
    EXPECT_FALSE(form.PrintBtn->isEnabled());
    EXPECT_EQ(form.ExitBtn->toolTip(), "Выход");
    EXPECT_EQ(form.ZoomBtn->toolTip(), "Масштаб");

    // The buttons close up: Print right after the zoom button and its gap.
    EXPECT_EQ(form.PrintBtn->x(), form.ZoomBtn->x() + 53 + 8);
    EXPECT_EQ(form.ExitBtn->x(), form.PrintBtn->x() + 24 + 8);
}

TEST_F(PreviewTest, ZoomModesFitThePageAndTheChoiceCarriesToTheNextWindow) {
    build(200);
    TfrPreviewForm& form = open(1000, 700);
    ASSERT_GE(form.pageCount(), 3);

    form.N3Click(1);  // page width
    EXPECT_DOUBLE_EQ(form.scale, 980.0 / kA4Width);
    EXPECT_EQ(zoomText(), "129%");
    EXPECT_EQ(pageRect(0).left, 10);
    EXPECT_EQ(pageRect(0).width(), 980);

    form.N3Click(3);  // two pages, whatever the width
    EXPECT_EQ(pageRect(0).top, pageRect(1).top);
    EXPECT_EQ(pageRect(1).left, pageRect(0).right + 10);
    EXPECT_EQ(pageRect(2).left, 10);
    EXPECT_GT(pageRect(2).top, pageRect(0).bottom);

    form.N3Click(2);  // whole page: one per row, as high as the area less 20
    for (int i = 0; i < 3; ++i) EXPECT_EQ(pageRect(i).height(), 680) << i;
    EXPECT_EQ(pageRect(1).top, pageRect(0).bottom + 10);

    form.N3Click(25);  // small pages stand side by side
    EXPECT_EQ(zoomText(), "25%");
    EXPECT_EQ(pageRect(1).top, pageRect(0).top);
    EXPECT_EQ(pageRect(0).left, 10);

    form.N3Click(50);
    const QList<QAction*> items = form.ProcMenu->actions();
    ASSERT_EQ(items.size(), 10);
    EXPECT_EQ(items[7]->text(), "По ширине страницы");
    for (QAction* a : items)
        EXPECT_EQ(a->isChecked(), a->data().toInt() == 50) << a->text().toStdString();

    // The next preview window of the run starts at 50%.
    form_.reset();
    build(3);
    TfrPreviewForm& next = open(1000, 700);
    EXPECT_DOUBLE_EQ(next.scale, 0.5);
    EXPECT_EQ(zoomText(), "50%");

    // A report asking for its own initial zoom overrides the mode.
    form_.reset();
    build(3);
    report_.initialZoom = InitialZoom::pzPageWidth;
    open(1000, 700);
    EXPECT_EQ(zoomText(), "129%");
}

TEST_F(PreviewTest, ScrollingMovesTheCurrentPageAndTheLabel) {
    build(200);
    TfrPreviewForm& form = open(1000, 700);
    const int pages = form.pageCount();
    ASSERT_GE(pages, 3);
    const int secondTop = pageRect(1).top;  // 10 + 1071 + 10

    form.VScrollBar->setValue(secondTop - 11);
    EXPECT_EQ(label(), QString("Стр. 1/%1").arg(pages));
    form.VScrollBar->setValue(secondTop - 10);
    EXPECT_EQ(label(), QString("Стр. 2/%1").arg(pages));
    EXPECT_EQ(form.viewOffsetY, -(secondTop - 10));

    form.VScrollBar->setValue(0);
    key(form.PBox, Qt::Key_PageDown);
    EXPECT_EQ(form.VScrollBar->value(), 200);
    key(form.PBox, Qt::Key_Down);
    EXPECT_EQ(form.VScrollBar->value(), 210);
    key(form.PBox, Qt::Key_Up);
    key(form.PBox, Qt::Key_PageUp);
    EXPECT_EQ(form.VScrollBar->value(), 0);

    key(form.PBox, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(form.currentPage, 2);
    EXPECT_EQ(form.VScrollBar->value(), secondTop - 10);
    key(form.PBox, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(form.currentPage, pages);
    key(form.PBox, Qt::Key_PageDown, Qt::ControlModifier);  // already the last
    EXPECT_EQ(form.currentPage, pages);
    EXPECT_EQ(label(), QString("Стр. %1/%1").arg(pages));
    key(form.PBox, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(form.VScrollBar->value(), 0);
    EXPECT_EQ(form.currentPage, 1);

    // The wheel: one notch is one small step.
    QWheelEvent down(QPointF(50, 50), form.PBox->mapToGlobal(QPointF(50, 50)), QPoint(),
                     QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(form.PBox, &down);
    EXPECT_EQ(form.VScrollBar->value(), 10);
}

TEST_F(PreviewTest, KeysAreSeenFirstAndCtrlSwallowsTheRest) {
    build(200);
    TfrPreviewForm& form = open(1000, 700);
    // Home and End without Ctrl pass on; letters with Ctrl are consumed
    // whether or not their buttons are shown.
    EXPECT_FALSE(form.FormKeyDown(Qt::Key_Home, Qt::NoModifier));
    EXPECT_FALSE(form.FormKeyDown(Qt::Key_End, Qt::NoModifier));
    EXPECT_FALSE(form.FormKeyDown(Qt::Key_A, Qt::NoModifier));
    EXPECT_TRUE(form.FormKeyDown(Qt::Key_A, Qt::ControlModifier));
    // Ctrl+F asks for a text: the search dialog is cancelled.
    QTimer::singleShot(0, [] {
        if (QWidget* dialog = QApplication::activeModalWidget()) dialog->close();
    });
    EXPECT_TRUE(form.FormKeyDown(Qt::Key_F, Qt::ControlModifier));
    EXPECT_TRUE(form.FormKeyDown(Qt::Key_P, Qt::ControlModifier));  // Print disabled: nothing
    EXPECT_TRUE(form.FormKeyDown(Qt::Key_F3, Qt::NoModifier));

    EXPECT_TRUE(form.FormKeyDown(Qt::Key_Right, Qt::NoModifier));  // nothing to scroll sideways
    EXPECT_EQ(form.HScrollBar->value(), 0);

    // Space opens the zoom menu below the zoom button.
    key(form.PBox, Qt::Key_Space);
    EXPECT_TRUE(form.ProcMenu->isVisible());
    form.ProcMenu->hide();

    // A key that reaches a control goes through the window first.
    key(form.VScrollBar, Qt::Key_PageDown);
    EXPECT_EQ(form.VScrollBar->value(), 200);

    // Escape closes the window.
    key(form.PBox, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(PreviewTest, WithoutPagesNothingOpensAndNoActionRuns) {
    installPreviewWindow();
    report_.ShowPrepared();  // nothing built
    const QWidgetList windows = QApplication::topLevelWidgets();
    EXPECT_EQ(std::count_if(
                  windows.begin(), windows.end(),
                  [](QWidget* w) { return w->isVisible() && dynamic_cast<TfrPreviewForm*>(w); }),
              0);
    TfrPreviewForm form;
    EXPECT_FALSE(form.FormKeyDown(Qt::Key_PageDown, Qt::ControlModifier));
    form.PgDownClick();
    form.N3Click(50);
    EXPECT_EQ(engine().lastScale, 1.0);
}

TEST_F(PreviewTest, PressesPickThePageOrHandTheObjectToTheReport) {
    build(200);
    TfrPreviewForm& form = open(1000, 700);
    form.N3Click(25);
    ASSERT_EQ(pageRect(1).top, pageRect(0).top);
    const QPoint onSecond(pageRect(1).left + 5, pageRect(1).top + 5);
    const QPoint between(pageRect(0).right + 5, pageRect(0).top + 20);

    press(form.PBox, onSecond);
    release(form.PBox, onSecond);
    EXPECT_EQ(form.currentPage, 2);
    EXPECT_EQ(label().left(7), "Стр. 2/");

    // On the grey between pages: dragging starts, the page stays.
    press(form.PBox, between);
    EXPECT_TRUE(form.PBox->dragging);
    EXPECT_EQ(form.PBox->clickedPage, 0);
    EXPECT_EQ(form.currentPage, 2);
    release(form.PBox, between);
    EXPECT_FALSE(form.PBox->dragging);

    // A double click ends dragging and keeps the page of its first press.
    press(form.PBox, onSecond);
    release(form.PBox, onSecond);
    form.currentPage = 1;
    mouse(form.PBox, QEvent::MouseButtonDblClick, onSecond);
    EXPECT_FALSE(form.PBox->dragging);
    EXPECT_EQ(form.currentPage, 2);
    release(form.PBox, onSecond);

    // Hand-dragging moves the view with the mouse.
    form.N3Click(100);
    form.VScrollBar->setValue(0);
    press(form.PBox, QPoint(50, 300));
    QMouseEvent move(QEvent::MouseMove, QPointF(50, 200), form.PBox->mapToGlobal(QPointF(50, 200)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.PBox, &move);
    EXPECT_EQ(form.VScrollBar->value(), 100);
    release(form.PBox, QPoint(50, 200));

    // A handler for object clicks takes presses on objects: no dragging.
    std::vector<std::string> clicked;
    report_.OnObjectClick = [&](TfrView& v) { clicked.push_back(v.Name); };
    const Rect r = pageRect(0);
    const QPoint onText(r.left + 100, r.top + 60 - 100);  // inside FM1, view scrolled by 100
    press(form.PBox, onText);
    EXPECT_FALSE(form.PBox->dragging);
    EXPECT_FALSE(clicked.empty());
    release(form.PBox, onText);

    // The mouse over an object: the handler's cursor.
    report_.OnMouseOverObject = [](TfrView&, int& cursor) { cursor = Qt::PointingHandCursor; };
    mouse(form.PBox, QEvent::MouseMove, onText);
    EXPECT_EQ(form.PBox->cursor().shape(), Qt::PointingHandCursor);
    mouse(form.PBox, QEvent::MouseMove, QPoint(3, 3));
    EXPECT_EQ(form.PBox->cursor().shape(), Qt::ArrowCursor);

    // A right press pops the zoom menu up.
    press(form.PBox, QPoint(20, 20), Qt::RightButton);
    EXPECT_TRUE(form.ProcMenu->isVisible());
    form.ProcMenu->hide();
}

TEST_F(PreviewTest, ModalWindowReturnsOnExitAndTheReportKeepsNoPages) {
    build(3);
    report_.ModalPreview = true;
    installPreviewWindow();
    setApplicationHelpFile("/app/quorprn.hlp");
    QString captionSeen;
    QString helpWhileActive;
    QTimer::singleShot(0, [&] {
        auto* form = dynamic_cast<TfrPreviewForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        captionSeen = form->windowTitle();
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(form, &activate);
        helpWhileActive = applicationHelpFile();
        form->ExitBtnClick();
    });
    report_.ShowPrepared();
    EXPECT_EQ(captionSeen, "Предварительный просмотр - /home/user/invoice.prn");
    EXPECT_TRUE(helpWhileActive.endsWith("/quorview.hlp"));
    EXPECT_EQ(applicationHelpFile(), "/app/quorprn.hlp");
    EXPECT_EQ(report_.PreparedPages.Count(), 0);
    setApplicationHelpFile(QString());
}

TEST_F(PreviewTest, WindowPlaceIsKeptPerUser) {
    build(3);
    open(600, 400);
    form_->move(30, 40);
    form_->close();
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, "Folvarix");
    s.beginGroup("Form/TfrPreviewForm");
    EXPECT_FALSE(s.value("Maximized").toBool());
    EXPECT_EQ(s.value("Width").toInt(), 616);
    EXPECT_EQ(s.value("Height").toInt(), 451);
    EXPECT_EQ(s.value("XPosition").toInt(), form_->geometry().x());

    // Without stored values the window opens maximized.
    s.remove("");
    s.sync();
    form_ = std::make_unique<TfrPreviewForm>();
    build(3);
    form_->openFor(report_);
    EXPECT_TRUE(form_->isMaximized());
}

TEST_F(PreviewTest, FindCommandsReachTheInstalledSearch) {
    struct RecordingSearch : PreviewSearch {
        std::vector<std::string>* log;
        void find(TfrPreviewForm&) override { log->push_back("find"); }
        void findNext(TfrPreviewForm&) override { log->push_back("next"); }
    };
    std::vector<std::string> log;
    const auto previous = setPreviewSearchFactory([&log] {
        auto s = std::make_unique<RecordingSearch>();
        s->log = &log;
        return s;
    });
    build(3);
    TfrPreviewForm& form = open(1000, 700);
    key(form.PBox, Qt::Key_F, Qt::ControlModifier);
    key(form.PBox, Qt::Key_F3);
    key(form.PBox, Qt::Key_F3, Qt::ControlModifier);  // swallowed
    form.FindBtn->click();
    setPreviewSearchFactory(previous);
    EXPECT_EQ(log, (std::vector<std::string>{"find", "next", "find"}));
}

}  // namespace
}  // namespace quor::test
