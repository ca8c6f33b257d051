#include "companion/about_box.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtGlobal>
#include <cups/cups.h>

namespace quor {
namespace {

const char* const kLicence = "MIT";

QString lines(const std::string& text) {
    QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace('\r', '\n');
    return s;
}

}  // namespace

QString AboutBox::details(const std::string& settingsFile) {
    return QString("Версия: %1\nQt: %2\nCUPS: %3.%4.%5\nЛицензия: %6\nФайл настроек: %7")
        .arg(QUOR_VERSION, qVersion())
        .arg(CUPS_VERSION_MAJOR)
        .arg(CUPS_VERSION_MINOR)
        .arg(CUPS_VERSION_PATCH)
        .arg(kLicence, QFile::decodeName(QByteArray::fromStdString(settingsFile)));
}

AboutBox::AboutBox(const std::string& aboutText, const std::string& extra, const std::string& settingsFile,
                   QWidget* parent)
    : QDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle("О программе");
    auto* layout = new QVBoxLayout(this);
    auto* about = new QLabel(lines(aboutText), this);
    about->setObjectName("AboutText");
    QFont bigger = about->font();
    bigger.setPointSizeF(bigger.pointSizeF() * 1.2);
    about->setFont(bigger);
    layout->addWidget(about);
    if (!extra.empty()) layout->addWidget(new QLabel(lines(extra), this));
    auto* facts = new QLabel(details(settingsFile), this);
    facts->setObjectName("AboutDetails");
    facts->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addSpacing(8);
    layout->addWidget(facts);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace quor
