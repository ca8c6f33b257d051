#include "output/print_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QToolButton>

#include "output/dialog_font.h"
#include "device/printer_device.h"
#include "platform/messages.h"
#include "platform/numbers.h"

namespace quor {
namespace {

enum : int {
    kMsgPrint = 53040,
    kMsgPrinter = 53041,
    kMsgProperties = 53042,
    kMsgCopies = 53043,
    kMsgPages = 53044,
    kMsgAll = 53045,
    kMsgCurrent = 53046,
    kMsgNumbers = 53047,
    kMsgListHint = 53048,
    kMsgName = 53049,
    kMsgCopyCount = 53050,
    kMsgCollate = 53051,
    kMsgPrintWhat = 53052,
    kMsgAllOfRange = 53053,
    kMsgOddPages = 53054,
    kMsgEvenPages = 53055,
};

QString text(int id) { return QString::fromStdString(message(id)); }

// A small printer: paper going in at the top, the body, paper coming out.
QPixmap printerPicture() {
    QPixmap pm(18, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(5, 0, 8, 5);
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(1, 5, 16, 7);
    p.setBrush(Qt::white);
    p.drawRect(4, 11, 10, 4);
    p.fillRect(14, 7, 2, 1, QColor(0, 128, 0));
    return pm;
}

// One sheet with its number in the upper-right corner.
void drawSheet(QPainter& p, int x, int y, int number) {
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(x, y, 17, 22);
    p.drawText(QRect(x + 9, y + 1, 8, 10), Qt::AlignCenter, QString::number(number));
}

QPainter& withSheetFont(QPainter& p) {
    QFont f = p.font();
    f.setPixelSize(8);
    p.setFont(f);
    return p;
}

// Two stacks of sheets fanned 3, 2, 1 (74 x 53).
QPixmap collatedPicture() {
    QPixmap pm(74, 53);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    withSheetFont(p);
    for (int stack = 0; stack < 2; ++stack)
        for (int sheet = 3; sheet >= 1; --sheet)
            drawSheet(p, stack * 39 + (sheet - 1) * 7, 12 + (3 - sheet) * 7, sheet);
    return pm;
}

// Pairs of equal sheets 1 1, 2 2, 3 3 (92 x 40).
QPixmap uncollatedPicture() {
    QPixmap pm(92, 40);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    withSheetFont(p);
    for (int pair = 0; pair < 3; ++pair)
        for (int k = 1; k >= 0; --k) drawSheet(p, pair * 31 + k * 7, 4 + (1 - k) * 7, pair + 1);
    return pm;
}

// CB1's items: background, the printer picture 2 pixels in, the name 24
// pixels in and 1 below the top.
class PrinterItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        p->fillRect(option.rect, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
        static const QPixmap picture = printerPicture();
        p->drawPixmap(option.rect.left() + 2, option.rect.top() + (option.rect.height() - 16) / 2, picture);
        p->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        p->drawText(option.rect.adjusted(24, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                    index.data(Qt::DisplayRole).toString());
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index).expandedTo(QSize(24, 18));
    }
};

// PB1: the button face with the collated or the uncollated picture.
class CollatePicture : public QWidget {
public:
    CollatePicture(QCheckBox* collate, QWidget* parent) : QWidget(parent), collate_(collate) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Button));
        static const QPixmap collated = collatedPicture();
        static const QPixmap uncollated = uncollatedPicture();
        if (collate_->isChecked()) p.drawPixmap(8, 0, collated);
        else p.drawPixmap(0, 8, uncollated);
    }

private:
    QCheckBox* collate_;
};

QLabel* label(const QString& caption, QWidget* parent, QRect geometry) {
    auto* l = new QLabel(caption, parent);
    l->setGeometry(geometry);
    return l;
}

}  // namespace

TfrPrintForm::TfrPrintForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(text(kMsgPrint));
    setFixedSize(485, 226);
    setFont(dialogFont());

    GroupBox1 = new QGroupBox(text(kMsgPrinter), this);
    GroupBox1->setGeometry(8, 4, 469, 56);
    Label1 = label(text(kMsgName), GroupBox1, QRect(12, 26, 44, 16));
    CB1 = new QComboBox(GroupBox1);
    CB1->setGeometry(60, 22, 296, 24);
    CB1->setItemDelegate(new PrinterItemDelegate(CB1));
    Label1->setBuddy(CB1);
    PropButton = new QPushButton(text(kMsgProperties), GroupBox1);
    PropButton->setGeometry(366, 21, 92, 25);

    GroupBox2 = new QGroupBox(text(kMsgPages), this);
    GroupBox2->setGeometry(8, 64, 249, 120);
    RB1 = new QRadioButton(text(kMsgAll), GroupBox2);
    RB1->setGeometry(12, 18, 100, 18);
    RB1->setChecked(true);
    RB2 = new QRadioButton(text(kMsgCurrent), GroupBox2);
    RB2->setGeometry(12, 36, 100, 18);
    RB3 = new QRadioButton(text(kMsgNumbers), GroupBox2);
    RB3->setGeometry(12, 54, 84, 18);
    E2 = new QLineEdit(GroupBox2);
    E2->setGeometry(98, 52, 138, 22);
    Label2 = label(text(kMsgListHint), GroupBox2, QRect(12, 76, 228, 40));
    Label2->setWordWrap(true);

    GroupBox3 = new QGroupBox(text(kMsgCopies), this);
    GroupBox3->setGeometry(264, 64, 213, 120);
    Label4 = label(text(kMsgCopyCount), GroupBox3, QRect(12, 24, 96, 16));
    E1 = new QLineEdit(QStringLiteral("1"), GroupBox3);
    E1->setGeometry(112, 20, 44, 22);
    Label4->setBuddy(E1);
    frSpeedButton1 = new QToolButton(GroupBox3);
    frSpeedButton1->setGeometry(157, 20, 16, 11);
    frSpeedButton1->setArrowType(Qt::UpArrow);
    frSpeedButton2 = new QToolButton(GroupBox3);
    frSpeedButton2->setGeometry(157, 31, 16, 11);
    frSpeedButton2->setArrowType(Qt::DownArrow);
    CollateCB = new QCheckBox(GroupBox3);
    CollateCB->setGeometry(112, 66, 16, 16);
    CollateCB->setChecked(true);
    Label3 = label(text(kMsgCollate), GroupBox3, QRect(130, 58, 78, 34));
    Label3->setWordWrap(true);
    Label3->setBuddy(CollateCB);
    PB1 = new CollatePicture(CollateCB, GroupBox3);
    PB1->setGeometry(8, 50, 100, 61);

    Label5 = label(text(kMsgPrintWhat), this, QRect(8, 196, 0, 16));
    Label5->adjustSize();
    CB2 = new QComboBox(this);
    CB2->addItems({text(kMsgAllOfRange), text(kMsgOddPages), text(kMsgEvenPages)});
    CB2->setCurrentIndex(0);
    CB2->setGeometry(Label5->geometry().right() + 1 + 11, 192, 172, 24);
    Label5->setBuddy(CB2);
    Button1 = new QPushButton(text(kMsgOk), this);
    Button1->setGeometry(316, 192, 75, 25);
    Button1->setDefault(true);
    Button2 = new QPushButton(text(kMsgCancel), this);
    Button2->setGeometry(402, 192, 75, 25);

    TfrPrinter& device = printerDevice();
    const auto& names = device.printerNames();
    // The virtual printer, always last, is not offered.
    for (std::size_t i = 0; i + 1 < names.size(); ++i) CB1->addItem(QString::fromStdString(names[i]));
    savedPrinterIndex = device.currentIndex();
    CB1->setCurrentIndex(savedPrinterIndex < CB1->count() ? savedPrinterIndex : -1);

    connect(CB1, &QComboBox::activated, this, [](int index) { printerDevice().selectPrinter(index); });
    connect(PropButton, &QPushButton::clicked, this, [] { printerDevice().showDeviceProperties(); });
    connect(RB3, &QRadioButton::clicked, this, [this] { E2->setFocus(); });
    E2->installEventFilter(this);
    Label3->installEventFilter(this);
    connect(frSpeedButton1, &QToolButton::clicked, this, &TfrPrintForm::copiesUp);
    connect(frSpeedButton2, &QToolButton::clicked, this, &TfrPrintForm::copiesDown);
    connect(CollateCB, &QCheckBox::toggled, PB1, qOverload<>(&QWidget::update));
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

bool TfrPrintForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == E2 && event->type() == QEvent::FocusIn) {
        RB3->setChecked(true);
    } else if (watched == Label3 &&
               (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
        CollateCB->toggle();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrPrintForm::copiesUp() {
    E1->setText(QString::number(std::int64_t{integerTextToInt(E1->text().toStdString())} + 1));
}

void TfrPrintForm::copiesDown() {
    const int value = integerTextToInt(E1->text().toStdString());
    E1->setText(QString::number(value >= 2 ? value - 1 : 1));
}

PrintRequest TfrPrintForm::request(int currentPage) const {
    PrintRequest r;
    if (RB2->isChecked()) r.pageList = std::to_string(currentPage);
    else if (RB3->isChecked()) r.pageList = E2->text().toStdString();
    r.copies = integerTextToInt(E1->text().toStdString());
    r.collate = CollateCB->isChecked();
    r.filter = static_cast<PageFilter>(std::max(CB2->currentIndex(), 0));
    return r;
}

void TfrPrintForm::done(int result) {
    // A printer chosen in a dialog that was not confirmed is not kept.
    if (result != QDialog::Accepted) printerDevice().selectPrinter(savedPrinterIndex);
    QDialog::done(result);
}

std::optional<PrintRequest> askPrintRequest(TfrReport& report, int currentPage, QWidget* parent) {
    TfrPrintForm form(parent);
    form.E1->setText(QString::number(report.DefaultCopies));
    form.CollateCB->setChecked(report.DefaultCollate);
    if (report.ShowPrintDialog && form.exec() != QDialog::Accepted) return std::nullopt;
    return form.request(currentPage);
}

}  // namespace quor
