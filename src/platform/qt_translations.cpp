#include "platform/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstring>

namespace quor {
namespace {

// Texts of Qt's file dialogs that its Russian translation (Qt 6.4) leaves in
// English: the type column names every folder "Folder".
class RussianGaps final : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char* context, const char* source, const char*, int) const override {
        static const struct {
            const char* context;
            const char* source;
            const char* text;
        } kTexts[] = {
            {"QAbstractFileIconProvider", "Folder", "Папка"},
            {"QAbstractFileIconProvider", "Drive", "Диск"},
            {"QAbstractFileIconProvider", "Unknown", "Неизвестно"},
        };
        if (!context || !source) return {};
        for (const auto& t : kTexts)
            if (std::strcmp(context, t.context) == 0 && std::strcmp(source, t.source) == 0)
                return QString::fromUtf8(t.text);
        return {};
    }
    bool isEmpty() const override { return false; }
};

}  // namespace

std::unique_ptr<QTranslator> loadQtTranslation(const QLocale& locale) {
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), dir)) return translator;
    if (translator->load(QStringLiteral("qtbase_ru"), dir)) return translator;
    return nullptr;
}

void installQtTranslation(QCoreApplication& app, const QLocale& locale) {
    std::unique_ptr<QTranslator> translator = loadQtTranslation(locale);
    if (!translator) return;
    const bool russian = translator->language().startsWith(QLatin1String("ru"));
    QCoreApplication::installTranslator(translator.get());
    translator.release()->setParent(&app);
    // Installed last, so asked first; it answers only for its few texts.
    if (russian) QCoreApplication::installTranslator(new RussianGaps(&app));
}

}  // namespace quor
