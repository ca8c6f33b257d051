#include "platform/printer_properties_dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QSpinBox>

namespace quor {

PrinterPropertiesDialog::PrinterPropertiesDialog(const std::string& device, const std::vector<PaperKind>& papers,
                                                 const std::vector<BinKind>& bins, const DeviceMode& mode,
                                                 QWidget* parent)
    : QDialog(parent), original_(mode) {
    setWindowTitle(QString::fromUtf8("Свойства: ") + QString::fromStdString(device));
    auto* form = new QFormLayout;

    paperBox_ = new QComboBox(this);
    for (const PaperKind& p : papers) paperBox_->addItem(QString::fromStdString(p.name), int(p.code));
    if (paperBox_->findData(int(mode.paperSize)) < 0)
        paperBox_->addItem(mode.paperSize == kCustomPaperCode ? QString::fromUtf8("Особый размер") : QString::number(mode.paperSize),
                           int(mode.paperSize));
    paperBox_->setCurrentIndex(paperBox_->findData(int(mode.paperSize)));
    paperBox_->setEnabled(mode.fields & kDmPaperSize);
    form->addRow(QString::fromUtf8("Размер бумаги:"), paperBox_);

    portrait_ = new QRadioButton(QString::fromUtf8("Книжная"), this);
    landscape_ = new QRadioButton(QString::fromUtf8("Альбомная"), this);
    auto* group = new QButtonGroup(this);
    group->addButton(portrait_);
    group->addButton(landscape_);
    (mode.orientation == kDmLandscape ? landscape_ : portrait_)->setChecked(true);
    auto* orientationRow = new QHBoxLayout;
    orientationRow->addWidget(portrait_);
    orientationRow->addWidget(landscape_);
    portrait_->setEnabled(mode.fields & kDmOrientation);
    landscape_->setEnabled(mode.fields & kDmOrientation);
    form->addRow(QString::fromUtf8("Ориентация:"), orientationRow);

    sourceBox_ = new QComboBox(this);
    for (const BinKind& b : bins) sourceBox_->addItem(QString::fromStdString(b.name), int(b.code));
    sourceBox_->setCurrentIndex(std::max(0, sourceBox_->findData(int(mode.defaultSource))));
    sourceBox_->setEnabled((mode.fields & kDmDefaultSource) && !bins.empty());
    form->addRow(QString::fromUtf8("Источник бумаги:"), sourceBox_);

    copies_ = new QSpinBox(this);
    copies_->setRange(1, 9999);
    copies_->setValue(std::max<int>(1, mode.copies));
    copies_->setEnabled(mode.fields & kDmCopies);
    form->addRow(QString::fromUtf8("Число копий:"), copies_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    setLayout(form);
}

DeviceMode PrinterPropertiesDialog::mode() const {
    DeviceMode m = original_;
    if (m.fields & kDmPaperSize) {
        const int code = paperBox_->currentData().toInt();
        if (code != m.paperSize) {
            m.paperSize = static_cast<std::int16_t>(code);
            if (code != kCustomPaperCode) m.fields &= ~static_cast<std::uint32_t>(kDmPaperLength | kDmPaperWidth);
        }
    }
    if (m.fields & kDmOrientation) m.orientation = landscape_->isChecked() ? kDmLandscape : kDmPortrait;
    if ((m.fields & kDmDefaultSource) && sourceBox_->count() > 0)
        m.defaultSource = static_cast<std::int16_t>(sourceBox_->currentData().toInt());
    if (m.fields & kDmCopies) m.copies = static_cast<std::int16_t>(copies_->value());
    return m;
}

bool showPrinterPropertiesDialog(const std::string& device, const std::vector<PaperKind>& papers,
                                 const std::vector<BinKind>& bins, DeviceMode& mode) {
    PrinterPropertiesDialog dialog(device, papers, bins, mode, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted) return false;
    mode = dialog.mode();
    return true;
}

}  // namespace quor
