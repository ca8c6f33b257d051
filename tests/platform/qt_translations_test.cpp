#include "platform/qt_translations.h"

#include <gtest/gtest.h>

#include <QAbstractFileIconProvider>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTranslator>

#include "platform/printer_properties_dialog.h"

namespace quor {
namespace {

void removeInstalledTranslations() {
    for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}

// What a standard Cancel button says with the translation for the locale.
QString cancelText(const QTranslator& translator) {
    const QString text = translator.translate("QPlatformTheme", "Cancel");
    return text.isEmpty() ? QStringLiteral("Cancel") : text;
}

TEST(QtTranslations, TheUsersLanguageElseRussian) {
    const struct {
        const char* locale;
        const char* cancel;
    } cases[] = {
        {"ru_RU", "Отмена"},
        {"de_DE", "Abbrechen"},
        {"en_US", "Cancel"},
        // No translation for these: the program's own language.
        {"C", "Отмена"},
        {"sw_KE", "Отмена"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        const std::unique_ptr<QTranslator> translator = loadQtTranslation(QLocale(QString::fromLatin1(c.locale)));
        ASSERT_NE(translator, nullptr);
        EXPECT_EQ(cancelText(*translator), QString::fromUtf8(c.cancel));
    }
}

TEST(QtTranslations, InstalledTranslationReachesQtsTexts) {
    const std::unique_ptr<QTranslator> expected = loadQtTranslation(QLocale::system());
    ASSERT_NE(expected, nullptr);
    ASSERT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    installQtTranslation(*QCoreApplication::instance());
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), cancelText(*expected));
    removeInstalledTranslations();
}

TEST(QtTranslations, QtsDialogsSpeakRussianUnderTheFallback) {
    installQtTranslation(*QCoreApplication::instance(), QLocale::c());
    QFileDialog files;
    files.setOption(QFileDialog::DontUseNativeDialog);
    EXPECT_EQ(files.findChild<QLabel*>("fileNameLabel")->text(), QString::fromUtf8("&Имя файла:"));
    // A text Qt's own translation lacks.
    EXPECT_EQ(QAbstractFileIconProvider().type(QFileInfo(QDir::tempPath())), QString::fromUtf8("Папка"));
    const PrinterPropertiesDialog printer("PDF", {}, {}, DeviceMode{}, nullptr);
    EXPECT_EQ(printer.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->text(),
              QString::fromUtf8("Отмена"));
    removeInstalledTranslations();
}

}  // namespace
}  // namespace quor
