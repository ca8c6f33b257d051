#pragma once

// Qt's own texts (standard buttons, the file, input and message dialogs) in
// the user's language. The program's own texts are Russian, so a language
// Qt has no translation for gets Russian rather than English.

#include <QLocale>

#include <memory>

class QCoreApplication;
class QTranslator;

namespace quor {

// The qtbase translation for the locale's languages, else the Russian one;
// null when Qt's translations are not installed.
std::unique_ptr<QTranslator> loadQtTranslation(const QLocale& locale);

// Installs the translation for the locale into the application, which
// keeps it for its lifetime; with Russian, also Russian texts of ours where
// Qt's translation has none.
void installQtTranslation(QCoreApplication& app, const QLocale& locale = QLocale::system());

}  // namespace quor
