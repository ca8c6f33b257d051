// The preview window's opening and closing, its keys and its commands:
// exit, load and save of prepared-report files, print, find and help.

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QScrollBar>

#include "engine/engine_state.h"
#include "output/preview_box.h"
#include "output/preview_form.h"
#include "output/preview_search.h"
#include "output/speed_button.h"
#include "platform/file_dialog.h"
#include "platform/help.h"
#include "platform/message_box.h"
#include "platform/messages.h"
#include "platform/numbers.h"
#include "report/report.h"
#include "report/report_windows.h"

namespace quor {
namespace {

constexpr int kMsgPreviewCaption = 55207;
constexpr int kMsgReportFile = 55211;

// Every window searches its pages' text unless a test puts something else
// in its place.
PreviewSearchFactory& searchFactory() {
    static PreviewSearchFactory factory = [] { return std::make_unique<PreviewTextSearch>(); };
    return factory;
}

QString askFileName(QWidget* parent, bool save, const QString& filter) {
    QFileDialog chooser(parent, QString(), QString(), filter);
    chooser.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    chooser.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    fitFileDialog(chooser);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return {};
    return chooser.selectedFiles().front();
}

PreviewFileChooser& fileChooser() {
    static PreviewFileChooser chooser;
    return chooser;
}

QString chooseFile(QWidget* parent, bool save) {
    const QString filter =
        QString::fromStdString(message(kMsgReportFile)) + QStringLiteral(" (*.frp)");
    return fileChooser() ? fileChooser()(parent, save, filter) : askFileName(parent, save, filter);
}

QString userHelpFile() { return programHelpFile(kUserHelpFileName); }

// File names are bytes on this system.
std::string toPath(const QString& name) { return QFile::encodeName(name).toStdString(); }

void showPreviewWindow(TfrReport& report) {
    QString caption = QString::fromStdString(message(kMsgPreviewCaption));
    if (!report.Title.empty())
        caption +=
            QStringLiteral(" - ") + QFile::decodeName(QByteArray::fromStdString(report.Title));
    if (report.ModalPreview) {
        TfrPreviewForm form;
        form.setWindowTitle(caption);
        form.openFor(report);
        return;
    }
    auto* form = new TfrPreviewForm;
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->setWindowTitle(caption);
    form->openFor(report);
}

}  // namespace

void installPreviewWindow() { reportWindows().showPreview = showPreviewWindow; }

PreviewSearchFactory setPreviewSearchFactory(PreviewSearchFactory factory) {
    PreviewSearchFactory previous = std::move(searchFactory());
    searchFactory() = std::move(factory);
    return previous;
}

PreviewFileChooser setPreviewFileChooser(PreviewFileChooser chooser) {
    PreviewFileChooser previous = std::move(fileChooser());
    fileChooser() = std::move(chooser);
    return previous;
}

void TfrPreviewForm::openFor(TfrReport& report) {
    report_ = &report;
    localize();
    takePages();
    setupButtons();
    if (searchFactory()) search_ = searchFactory()();
    placement_.restore(*this);
    // The panel gets its size with the window; lay it out before the first
    // paint so that the pages stand where they belong at once.
    ensurePolished();
    if (layout()) layout()->activate();
    arrangePreviewPanel();
    refreshView(true);
    HScrollBar->setValue(0);
    VScrollBar->setValue(0);
    savedHelpFile_ = applicationHelpFile();
    if (report.ModalPreview)
        exec();
    else
        show();
}

bool TfrPreviewForm::event(QEvent* event) {
    // The engine's user help is the help of the active preview window.
    if (event->type() == QEvent::WindowActivate && !helpInstalled_) {
        savedHelpFile_ = applicationHelpFile();
        setApplicationHelpFile(userHelpFile());
        helpInstalled_ = true;
    } else if (event->type() == QEvent::WindowDeactivate && helpInstalled_) {
        setApplicationHelpFile(savedHelpFile_);
        helpInstalled_ = false;
    }
    return QDialog::event(event);
}

TfrPreviewForm::~TfrPreviewForm() {
    if (helpInstalled_) setApplicationHelpFile(savedHelpFile_);
}

void TfrPreviewForm::hideEvent(QHideEvent* event) {
    // A window hidden by the user's minimizing stays where it is.
    if (!event->spontaneous()) placement_.store(*this);
    QDialog::hideEvent(event);
}

bool TfrPreviewForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PreviewPanel && event->type() == QEvent::Resize) arrangePreviewPanel();
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (FormKeyDown(key->key(), key->modifiers())) return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrPreviewForm::keyPressEvent(QKeyEvent* event) {
    if (FormKeyDown(event->key(), event->modifiers())) return;
    QDialog::keyPressEvent(event);
}

bool TfrPreviewForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (!hasPages()) return false;
    const bool ctrl = modifiers & Qt::ControlModifier;
    auto scrollBy = [](QScrollBar* bar, int delta) { bar->setValue(bar->value() + delta); };
    switch (key) {
        case Qt::Key_Up:
            scrollBy(VScrollBar, -VScrollBar->singleStep());
            return true;
        case Qt::Key_Down:
            scrollBy(VScrollBar, VScrollBar->singleStep());
            return true;
        case Qt::Key_Left:
            scrollBy(HScrollBar, -HScrollBar->singleStep());
            return true;
        case Qt::Key_Right:
            scrollBy(HScrollBar, HScrollBar->singleStep());
            return true;
        case Qt::Key_PageUp:
            if (ctrl)
                PgUpClick();
            else
                scrollBy(VScrollBar, -VScrollBar->pageStep());
            return true;
        case Qt::Key_PageDown:
            if (ctrl)
                PgDownClick();
            else
                scrollBy(VScrollBar, VScrollBar->pageStep());
            return true;
        case Qt::Key_Home:
            if (ctrl) VScrollBar->setValue(0);
            return ctrl;
        case Qt::Key_End:
            if (ctrl) {
                currentPage = pages_.Count();
                updatePageLabel();
                scrollToCurrent();
            }
            return ctrl;
        case Qt::Key_Space:
            ZoomBtnClick();
            return true;
        case Qt::Key_Escape:
            ExitBtnClick();
            return true;
        case Qt::Key_F3:
            if (!ctrl && search_) search_->findNext(*this);
            return true;
        case Qt::Key_O:
            if (ctrl) LoadBtnClick();
            return ctrl;
        case Qt::Key_S:
            if (ctrl) SaveBtnClick();
            return ctrl;
        case Qt::Key_P:
            if (ctrl && PrintBtn->isEnabled()) PrintBtnClick();
            return ctrl;
        case Qt::Key_F:
            if (ctrl) FindBtnClick();
            return ctrl;
        default:
            // While Ctrl is held every other key is swallowed.
            return ctrl && key != Qt::Key_Control;
    }
}

void TfrPreviewForm::ExitBtnClick() {
    if (!report_) return;
    if (report_->ModalPreview && isModal())
        done(QDialog::Accepted);
    else
        close();
}

void TfrPreviewForm::LoadBtnClick() {
    if (!report_) return;
    const QString name = chooseFile(this, false);
    if (!name.isEmpty()) loadPreparedFile(name);
}

void TfrPreviewForm::SaveBtnClick() {
    if (!hasPages()) return;
    const QString name = chooseFile(this, true);
    if (!name.isEmpty()) savePreparedFile(name);
}

void TfrPreviewForm::loadPreparedFile(const QString& fileName) {
    if (!report_) return;
    try {
        // The report's own store is the empty one while the window holds
        // the pages: the file goes there, and only a good file replaces
        // what is shown.
        report_->LoadPreparedReport(toPath(fileName));
    } catch (const std::exception& e) {
        report_->PreparedPages.Clear();
        showException(e);
        return;
    }
    takePages();
    currentPage = 1;
    layoutPages();
    updatePageLabel();
    scrollToCurrent();
    releaseAllPages();
    PBox->update();
}

void TfrPreviewForm::savePreparedFile(const QString& fileName) {
    if (!hasPages()) return;
    const QFileInfo info(fileName);
    const QString suffix = info.suffix();
    QString target =
        suffix.isEmpty() ? fileName : fileName.left(fileName.size() - suffix.size() - 1);
    target += QStringLiteral(".frp");
    returnPages();
    try {
        report_->SavePreparedReport(toPath(target));
    } catch (const std::exception& e) {
        takePages();
        showException(e);
        return;
    }
    takePages();
}

void TfrPreviewForm::FindBtnClick() {
    if (report_ && search_) search_->find(*this);
}

void TfrPreviewForm::HelpBtnClick() { showHelpContents(userHelpFile()); }

bool TfrPreviewForm::offerToReport(int page, Point unscrolled, int& cursor, bool isClick) {
    const Rect& r = pages_.Item(page - 1).screenRect;
    const Point onPage{roundClamped((unscrolled.x - r.left) / scale),
                       roundClamped((unscrolled.y - r.top) / scale)};
    try {
        return pages_.HitTest(page - 1, onPage, cursor, isClick);
    } catch (const std::exception& e) {
        if (isClick) showException(e);
        return false;
    }
}

}  // namespace quor
