#include "platform/help.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include "platform/message_box.h"

namespace quor {
namespace {

HelpViewer& currentViewer() {
    static HelpViewer viewer;
    return viewer;
}

bool looksLikeHtml(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return false;
    QByteArray head = f.read(512).trimmed().toLower();
    return head.startsWith("<!doctype html") || head.startsWith("<html");
}

// Desktops know "*.hlp" as the old binary help format, so an HTML help file
// is handed to the viewer as a copy named "*.html".
QString viewableCopy(const QString& helpFile) {
    if (!looksLikeHtml(helpFile)) return helpFile;
    QString dir = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    QString copy = QDir(dir).filePath(QFileInfo(helpFile).completeBaseName() + "-help.html");
    QFile::remove(copy);
    return QFile::copy(helpFile, copy) ? copy : helpFile;
}

bool openInDesktopViewer(const QString& helpFile) {
    QString file = viewableCopy(QFileInfo(helpFile).absoluteFilePath());
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

QString& currentHelpFile() {
    static QString file;
    return file;
}

}  // namespace

QString programHelpFile(const char* fileName) {
    const QString program = QCoreApplication::applicationDirPath();
    const QString beside = program + '/' + QString::fromUtf8(fileName);
    const QString installed = QDir::cleanPath(program + "/../share/quorprn/" + QString::fromUtf8(fileName));
    return !QFileInfo(beside).isFile() && QFileInfo(installed).isFile() ? installed : beside;
}

QString applicationHelpFile() { return currentHelpFile(); }
void setApplicationHelpFile(const QString& helpFile) { currentHelpFile() = helpFile; }

void showHelpContents(const QString& helpFile) {
    if (helpFile.isEmpty() || !QFileInfo(helpFile).isFile()) {
        QString name = helpFile.isEmpty() ? QString::fromUtf8(kHelpFileName) : helpFile;
        showMessage("Файл справки " + name.toStdString() + " не найден", kApplicationTitle, MessageIcon::Warning);
        return;
    }
    HelpViewer viewer = currentViewer() ? currentViewer() : HelpViewer(openInDesktopViewer);
    if (!viewer(helpFile))
        showMessage("Не удалось открыть файл справки " + helpFile.toStdString(), kApplicationTitle,
                    MessageIcon::Warning);
}

HelpViewer setHelpViewer(HelpViewer viewer) {
    HelpViewer previous = std::move(currentViewer());
    currentViewer() = std::move(viewer);
    return previous;
}

}  // namespace quor
