#include "output/progress_form.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <exception>
#include <utility>

#include "output/dialog_font.h"
#include "platform/messages.h"
#include "report/report.h"
#include "report/report_windows.h"

namespace quor {
namespace {

QString fromText(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The window of the run in progress, for setProgressText.
TfrProgressForm* activeForm = nullptr;

}  // namespace

TfrProgressForm::TfrProgressForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setFixedSize(278, 106);
    setFont(dialogFont());
    Label1 = new QLabel(this);
    Label2 = new QLabel(this);
    for (auto [label, top] : {std::pair{Label1, 26}, std::pair{Label2, 42}}) {
        label->setGeometry(20, top, 237, 16);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
    Button1 = new QPushButton(this);
    Button1->setGeometry(100, 68, 75, 25);
    connect(Button1, &QPushButton::clicked, this, &TfrProgressForm::reject);
}

int TfrProgressForm::showProgressModal(TfrReport& report) {
    Button1->setText(fromText(message(kMsgCancel)));
    report_ = &report;
    Label2->clear();
    cancelled_ = false;
    failure_ = nullptr;
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    // Delivered by the modal loop, once the window is up.
    QMetaObject::invokeMethod(this, [this] { start(); }, Qt::QueuedConnection);
    const int result = exec();
    report_ = nullptr;
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    return result;
}

void TfrProgressForm::start() {
    if (!onStart) return;
    try {
        onStart(*this);
    } catch (...) {
        failure_ = std::current_exception();
        QDialog::reject();
        return;
    }
    if (!cancelled_) accept();
}

void TfrProgressForm::reject() {
    if (report_) report_->StopRequested = true;
    cancelled_ = true;
    QDialog::reject();
}

void installProgressWindow() {
    ReportWindows& windows = reportWindows();
    windows.runWithProgress = [](TfrReport& report, const std::string& caption,
                                 const std::function<void()>& work) {
        TfrProgressForm form(QApplication::activeWindow());
        form.setWindowTitle(fromText(caption));
        form.onStart = [&work](TfrProgressForm&) { work(); };
        TfrProgressForm* outer = std::exchange(activeForm, &form);
        struct Restore {
            TfrProgressForm* outer;
            ~Restore() { activeForm = outer; }
        } restore{outer};
        return form.showProgressModal(report) == QDialog::Accepted;
    };
    windows.setProgressText = [](const std::string& text) {
        if (activeForm) activeForm->Label1->setText(fromText(text));
    };
}

}  // namespace quor
