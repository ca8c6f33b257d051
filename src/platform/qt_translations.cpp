#include "platform/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace quor {

std::unique_ptr<QTranslator> loadQtTranslation(const QLocale& locale) {
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), dir)) return translator;
    if (translator->load(QStringLiteral("qtbase_ru"), dir)) return translator;
    return nullptr;
}

void installQtTranslation(QCoreApplication& app) {
    std::unique_ptr<QTranslator> translator = loadQtTranslation(QLocale::system());
    if (!translator) return;
    QCoreApplication::installTranslator(translator.get());
    translator.release()->setParent(&app);
}

}  // namespace quor
