#pragma once

// Program runs on files of a test's own folder: documents and settings
// written there, the PDF and prepared pages read back.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "engine/stream.h"
#include "device/printer_device.h"
#include "platform/codepage.h"
#include "program_run.h"
#include "report/report.h"

namespace quor::test {

inline const QString kSamples = QStringLiteral(QUOR_SOURCE_DIR "/samples/");

// CP866 text: Cyrillic and box drawing.
inline std::string cp866(std::u16string_view text) { return unicodeToBytes(text, CodePage::Cp866); }

inline std::string numberedLines(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += cp866(u"║ Строка ") + std::to_string(1000 + i) + cp866(u" │ Привет ═══ ║") + "\r\n";
    return text;
}

// A folder of its own per test, with the document, settings and outputs
// of program runs.
class ProgramFilesTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir_.filePath(name); }
    QString write(const QString& name, const std::string& bytes) const {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return path(name);
    }
    QString settings(const std::string& body) const { return write("settings.ini", "[Quor Print]\r\n" + body); }
    // The document into out.pdf with these settings; extra options first.
    ProgramRun print(const std::string& document, const std::string& settingsBody, QStringList options = {}) {
        options << "--pdf" << pdf() << write("doc.prn", document) << settings(settingsBody);
        return runProgram(options);
    }
    QString pdf() const { return path("out.pdf"); }
    // Only the files the test wrote and the outputs: no temporary leftovers.
    QStringList files() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    QTemporaryDir dir_;
};

// The prepared pages saved beside the PDF, read back on the virtual printer.
class PreparedFile {
public:
    explicit PreparedFile(const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return;
        const QByteArray bytes = f.readAll();
        const std::string data(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        StreamReader in(data);
        report_.PreparedPages.LoadFromStream(in);
    }
    int count() { return report_.PreparedPages.Count(); }
    TfrView* view(int page, const std::string& name) {
        if (!report_.PreparedPages.Item(page).Page) report_.PreparedPages.Unpack(page);
        const auto& p = report_.PreparedPages.Item(page).Page;
        return p ? p->FindView(name) : nullptr;
    }

private:
    PrinterDeviceSession device_{[] { return std::unique_ptr<PlatformPrinter>(); }};
    TfrReport report_;
};

}  // namespace quor::test
