// New ways to hand a printout to the program binary: standard input,
// saved prepared pages, and the program as installed from the build tree.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <string>

#include "platform/codepage.h"
#include "program_run.h"

namespace quor::test {
namespace {

const QString kSamples = QStringLiteral(QUOR_SOURCE_DIR "/samples/");

// Two PDFs with the same text, page for page; a short note when not.
::testing::AssertionResult sameText(const QString& a, const QString& b) {
    const QString first = toolOutput("pdftotext", {"-layout", a, "-"});
    const QString second = toolOutput("pdftotext", {"-layout", b, "-"});
    if (!first.isEmpty() && first == second) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << a.toStdString() << " (" << first.size() << " characters) and "
                                         << b.toStdString() << " (" << second.size() << ") differ";
}

class IntakeTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir_.filePath(name); }
    // Files of the test's folder, as bytes.
    QString write(const QString& name, const std::string& bytes) const {
        QFile f(path(name));
        const bool written = f.open(QIODevice::WriteOnly) &&
                             f.write(bytes.data(), static_cast<qint64>(bytes.size())) == qint64(bytes.size());
        EXPECT_TRUE(written) << name.toStdString();
        return f.fileName();
    }
    QByteArray read(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The program with `input` as its standard input.
    ProgramRun runWithInput(const QStringList& args, const QString& input) const {
        QProcess p;
        p.setProcessEnvironment(headlessEnvironment());
        p.setStandardInputFile(input);
        p.start(kProgram, args);
        ProgramRun run;
        run.finished = p.waitForStarted(30000) && p.waitForFinished(120000);
        run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        run.err = QString::fromUtf8(p.readAllStandardError());
        return run;
    }

    QTemporaryDir dir_;
};

TEST_F(IntakeTest, StandardInputArrivesAsTheFileWould) {
    // CP866 box drawing and Cyrillic, a lone CR, a form feed, a trailing ^Z;
    // a byte 0 ends the text either way.
    const std::string bytes = unicodeToBytes(u"╔══╗ Счёт №1", CodePage::Cp866) + "\r\nline two\rthree\x0c\r\nend\x1a" +
                              std::string("\0after", 6);
    const QString document = write("doc.prn", bytes);
    const struct {
        QStringList options;
        QString title;
    } cases[] = {{{}, "stdin"}, {{"--title", "Накладная 7"}, "Накладная 7"}};
    for (const auto& c : cases) {
        QStringList fromFile = c.options, fromInput = c.options;
        fromFile << "--pdf" << path("file.pdf") << "--save-prepared" << path("file.frp") << document;
        fromInput << "--pdf" << path("in.pdf") << "--save-prepared" << path("in.frp") << "-";
        const ProgramRun a = runProgram(fromFile);
        const ProgramRun b = runWithInput(fromInput, document);
        ASSERT_EQ(a.exitCode, 0) << a.err.toStdString();
        ASSERT_EQ(b.exitCode, 0) << b.err.toStdString();
        EXPECT_EQ(read("in.frp"), read("file.frp"));
        EXPECT_TRUE(sameText(path("in.pdf"), path("file.pdf")));
        EXPECT_EQ(pdfInfoField(path("in.pdf"), "Title"), c.title);
    }
    EXPECT_EQ(pdfPageLines(path("in.pdf")).at(0).at(0).trimmed(), "╔══╗ Счёт №1");

    // An empty input is an empty document: its one page.
    const ProgramRun empty = runWithInput({"--pdf", path("empty.pdf"), "-"}, write("empty", ""));
    EXPECT_EQ(empty.exitCode, 0) << empty.err.toStdString();
    EXPECT_EQ(pdfInfoField(path("empty.pdf"), "Pages"), "1");
}

TEST_F(IntakeTest, SavedPreparedPagesPrintThroughTheSamePath) {
    const QString invoice = kSamples + "invoice.prn";
    ASSERT_EQ(runProgram({"--pdf", path("direct.pdf"), "--save-prepared", path("pages.frp"), invoice}).exitCode, 0);
    const ProgramRun reopened = runProgram({"--open-prepared", path("pages.frp"), "--pdf", path("again.pdf")});
    ASSERT_EQ(reopened.exitCode, 0) << reopened.err.toStdString();
    EXPECT_EQ(pdfInfoField(path("again.pdf"), "Pages"), pdfInfoField(path("direct.pdf"), "Pages"));
    EXPECT_TRUE(sameText(path("again.pdf"), path("direct.pdf")));

    // Damaged or missing files fail with the reader's message and leave no PDF.
    const QByteArray pages = read("pages.frp");
    const struct {
        QString file;
        std::string bytes;
    } bad[] = {{"cut.frp", pages.left(pages.size() / 2).toStdString()}, {"empty.frp", ""}};
    for (const auto& b : bad) {
        const ProgramRun run = runProgram({"--open-prepared", write(b.file, b.bytes), "--pdf", path("bad.pdf")});
        EXPECT_EQ(run.exitCode, 1) << b.file.toStdString();
        EXPECT_FALSE(run.err.trimmed().isEmpty());
        EXPECT_FALSE(QFileInfo::exists(path("bad.pdf")));
    }
    const ProgramRun missing = runProgram({"--open-prepared", path("none.frp"), "--pdf", path("bad.pdf")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("none.frp")) << missing.err.toStdString();
}

TEST_F(IntakeTest, StagedInstallRunsFromItsPrefix) {
    ASSERT_EQ(runProgram({"--pdf", path("direct.pdf"), kSamples + "invoice.prn"}).exitCode, 0);
    const QString prefix = path("stage");
    QProcess install;
    install.start("cmake", {"--install", QStringLiteral(QUOR_BINARY_DIR), "--prefix", prefix});
    ASSERT_TRUE(install.waitForFinished(120000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();

    for (const char* file : {"bin/quorprn", "share/quorprn/quorprn.hlp", "share/quorprn/quorview.hlp",
                             "share/doc/quorprn/examples/invoice.prn", "share/man/man1/quorprn.1",
                             "share/applications/quorprn.desktop", "share/applications/quorprn-prepared.desktop",
                             "share/icons/hicolor/scalable/apps/quorprn.svg", "share/mime/packages/quorprn.xml",
                             "lib/systemd/user/quorprn-watch@.service"})
        EXPECT_TRUE(QFileInfo(prefix + '/' + file).isFile()) << file;
    QFile unit(prefix + "/lib/systemd/user/quorprn-watch@.service");
    ASSERT_TRUE(unit.open(QIODevice::ReadOnly));
    // %f is the instance unescaped with its leading slash: the folder that
    // systemd-escape --path was given. %I would give it without the slash.
    EXPECT_TRUE(unit.readAll().contains("/bin/quorprn --watch %f "));

    // The companion library, where the build has one, sits in the private
    // folder that the program's RUNPATH names.
    const QString dynamic = toolOutput("readelf", {"-d", prefix + "/bin/quorprn"});
    const QString runpath = dynamic.section("RUNPATH", 1).section('[', 1, 1).section(']', 0, 0);
    ASSERT_TRUE(runpath.startsWith("$ORIGIN/../")) << dynamic.toStdString();
    const QString privateFolder = QDir::cleanPath(prefix + "/bin/" + runpath.mid(QStringLiteral("$ORIGIN/").size()));
    EXPECT_TRUE(privateFolder.endsWith("/quorprn")) << privateFolder.toStdString();
    if (QFileInfo::exists(QStringLiteral(QUOR_BINARY_DIR "/libquorprn.so"))) {
        EXPECT_TRUE(QFileInfo::exists(privateFolder + "/libquorprn.so")) << privateFolder.toStdString();
    }

    // The installed program prints an installed example.
    QProcess installed;
    installed.setProcessEnvironment(headlessEnvironment());
    installed.start(prefix + "/bin/quorprn",
                    {"--pdf", path("out.pdf"), prefix + "/share/doc/quorprn/examples/invoice.prn"});
    ASSERT_TRUE(installed.waitForFinished(120000));
    EXPECT_EQ(installed.exitCode(), 0) << installed.readAllStandardError().toStdString();
    EXPECT_TRUE(sameText(path("out.pdf"), path("direct.pdf")));
}

}  // namespace
}  // namespace quor::test
