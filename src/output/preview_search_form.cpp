#include "output/preview_search_form.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "output/dialog_font.h"
#include "platform/messages.h"

namespace quor {
namespace {

enum : int {
    kMsgFind = 53000,
    kMsgFindText = 53001,
    kMsgOptions = 53002,
    kMsgCaseSensitive = 53003,
    kMsgStart = 53004,
    kMsgFromFirstPage = 53005,
    kMsgGoOn = 53006,
};

QString text(int id) { return QString::fromStdString(message(id)); }

}  // namespace

TfrPreviewSearchForm::TfrPreviewSearchForm(QWidget* parent) : QDialog(parent) {
    // A fixed dialog border: a caption with the close button only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(text(kMsgFind));
    setFixedSize(262, 158);
    setFont(dialogFont());

    Label1 = new QLabel(text(kMsgFindText), this);
    Label1->setGeometry(4, 4, 253, 16);
    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(4, 20, 253, 21);
    Label1->setBuddy(Edit1);

    GroupBox1 = new QGroupBox(text(kMsgOptions), this);
    GroupBox1->setGeometry(4, 48, 140, 69);
    CB1 = new QCheckBox(text(kMsgCaseSensitive), GroupBox1);
    CB1->setGeometry(6, 20, 132, 17);

    GroupBox2 = new QGroupBox(text(kMsgStart), this);
    GroupBox2->setGeometry(147, 48, 110, 69);
    RB1 = new QRadioButton(text(kMsgFromFirstPage), GroupBox2);
    RB1->setGeometry(6, 20, 102, 17);
    RB1->setChecked(true);
    RB2 = new QRadioButton(text(kMsgGoOn), GroupBox2);
    RB2->setGeometry(6, 42, 102, 17);

    Button1 = new QPushButton(text(kMsgOk), this);
    Button1->setGeometry(100, 126, 75, 25);
    Button1->setDefault(true);
    Button2 = new QPushButton(text(kMsgCancel), this);
    Button2->setGeometry(182, 126, 75, 25);
    // Escape cancels (QDialog's own key), Enter takes the default button.
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TfrPreviewSearchForm::focusText() {
    Edit1->setFocus();
    Edit1->selectAll();
}

void TfrPreviewSearchForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    focusText();
}

bool TfrPreviewSearchForm::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) focusText();
    return QDialog::event(event);
}

}  // namespace quor
