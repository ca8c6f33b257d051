// The program binary under faults and hostile input: a full disk, outputs
// that name the inputs or each other, a run that fails half-way, endless
// or huge documents and settings, font sizes and lines that cannot be laid
// out, a build error in a long document, queues that hold or cannot be
// reached, and a kill while the PDF is written. Each ends in a clear message, the right exit status and the old
// files intact.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <string>

#include "program_files.h"

namespace quor::test {
namespace {

std::string numbered(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) text += "Line " + std::to_string(i) + " of the long print file\r\n";
    return text;
}

class ProgramFaultsTest : public ProgramFilesTest {
protected:
    static std::string read(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<missing>");
    }
    QString settings(const std::string& body = "") const { return write("s.ini", "[Quor Print]\r\n" + body); }
    QStringList files(const QString& folder) const {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
};

// The disk fills up while an output is written: through a small tmpfs when
// the test may mount one, and always through a file-size limit, which makes
// the same short writes fail.
struct SmallDisk {
    QString folder;
    bool mounted = false;
    ~SmallDisk() {
        if (mounted) QProcess::execute("umount", {folder});
    }
};

TEST_F(ProgramFaultsTest, AFullDiskKeepsTheOldOutputAndFails) {
    const QString doc = write("doc.prn", numbered(3000));
    const QString ini = settings();
    SmallDisk tmpfs{path("small")};
    QDir().mkpath(tmpfs.folder);
    tmpfs.mounted = geteuid() == 0 &&
                    QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", tmpfs.folder}) == 0;
    QDir().mkpath(path("limited"));
    struct Case {
        QString folder;
        bool fileSizeLimit;
        QString reason;
    };
    std::vector<Case> cases{{path("limited"), true, "File too large"}};
    if (tmpfs.mounted) cases.push_back({tmpfs.folder, false, "No space left on device"});
    for (const Case& c : cases) {
        for (const char* option : {"--pdf", "--save-prepared"}) {
            const QString target = c.folder + "/out";
            {
                QFile old(target);
                ASSERT_TRUE(old.open(QIODevice::WriteOnly));
                old.write("old");
            }
            QProcess p;
            p.setProcessEnvironment(headlessEnvironment());
            if (c.fileSizeLimit)
                p.setChildProcessModifier([] {
                    const rlimit limit{40 * 1024, 40 * 1024};
                    setrlimit(RLIMIT_FSIZE, &limit);
                    std::signal(SIGXFSZ, SIG_IGN);
                });
            p.start(kProgram, {option, target, doc, ini});
            ASSERT_TRUE(p.waitForFinished(120000));
            const QString err = QString::fromUtf8(p.readAllStandardError());
            EXPECT_EQ(p.exitCode(), 1) << option << err.toStdString();
            EXPECT_TRUE(err.contains("Cannot write the file " + target + ": " + c.reason)) << err.toStdString();
            EXPECT_EQ(read(target), "old") << option;
            EXPECT_EQ(files(c.folder), QStringList({"out"})) << option;
        }
    }
}

TEST_F(ProgramFaultsTest, OutputsThatAreInputsOrEachOtherAreRefused) {
    const QString doc = write("doc.prn", "text\r\n");
    const QString logo = write("logo.bmp", "not read");
    const QString ini = settings("Picture1=" + logo.toStdString() + "\r\n");
    ASSERT_EQ(symlink(doc.toLocal8Bit().constData(), path("link.prn").toLocal8Bit().constData()), 0);
    struct Case {
        QStringList options;
        QString expected;
    };
    const Case cases[] = {
        {{"--pdf", doc}, "is the document"},
        {{"--pdf", ini}, "is the settings file"},
        {{"--save-prepared", logo}, "is logo 1"},
        {{"--pdf", path("link.prn")}, "is the document"},
        {{"--pdf", path("out.pdf"), "--save-prepared", path("out.pdf")}, "name the same file"},
        {{"--pdf", path("out.pdf"), "--save-prepared", path("./x/../out.pdf")}, "name the same file"},
    };
    for (const Case& c : cases) {
        const ProgramRun run = runProgram(QStringList(c.options) << doc << ini);
        EXPECT_EQ(run.exitCode, 2) << c.options.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(c.expected)) << run.err.toStdString();
    }
    EXPECT_EQ(read(doc), "text\r\n");
    EXPECT_EQ(read(logo), "not read");
    EXPECT_EQ(files(dir_.path()), QStringList({"doc.prn", "link.prn", "logo.bmp", "s.ini"}));
}

TEST_F(ProgramFaultsTest, AFailedRunReplacesNoOutput) {
    const QString doc = write("doc.prn", "text\r\n");
    const QString ini = settings();
    const QString oldPages = write("old.frp", "old pages");
    const QString oldPdf = write("old.pdf", "old pdf");
    const QStringList runs[] = {
        {"--save-prepared", oldPages, "--pdf", path("missing/out.pdf")},
        {"--pdf", oldPdf, "--save-prepared", path("missing/out.frp")},
    };
    for (const QStringList& options : runs) {
        const ProgramRun run = runProgram(QStringList(options) << doc << ini);
        EXPECT_EQ(run.exitCode, 1) << options.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("Cannot create the file " + path("missing/out."))) << run.err.toStdString();
    }
    EXPECT_EQ(read(oldPages), "old pages");
    EXPECT_EQ(read(oldPdf), "old pdf");
    EXPECT_EQ(files(dir_.path()), QStringList({"doc.prn", "old.frp", "old.pdf", "s.ini"}));
}

// The sizes of the files a process has open in `folder`, apart from `inputs`:
// its outputs under way, unnamed or not.
std::vector<qint64> outputsUnderWay(qint64 pid, const QString& folder, const QStringList& inputs) {
    std::vector<qint64> sizes;
    const QString fds = "/proc/" + QString::number(pid) + "/fd/";
    for (const QString& fd : QDir(fds).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QByteArray link = QFile::encodeName(fds + fd);
        char target[4096];
        const ssize_t n = readlink(link.constData(), target, sizeof target);
        struct stat st {};
        if (n <= 0 || stat(link.constData(), &st) != 0) continue;
        const QString file = QFile::decodeName(QByteArray(target, n)).remove(" (deleted)");
        if (file.startsWith(folder + '/') && !inputs.contains(file)) sizes.push_back(st.st_size);
    }
    return sizes;
}

TEST_F(ProgramFaultsTest, AKillWhileThePdfIsWrittenKeepsBothOldOutputs) {
    const QString doc = write("doc.prn", numbered(50000));
    const QString ini = settings();
    const QString oldPages = write("old.frp", "old pages");
    const QString oldPdf = write("old.pdf", "old pdf");
    QProcess p;
    p.setProcessEnvironment(headlessEnvironment());
    p.start(kProgram, {"--pdf", oldPdf, "--save-prepared", oldPages, doc, ini});
    ASSERT_TRUE(p.waitForStarted(30000));
    // The prepared pages are complete and the PDF has its first bytes.
    auto pdfUnderWay = [&] {
        const std::vector<qint64> sizes = outputsUnderWay(p.processId(), dir_.path(), {doc, ini});
        return sizes.size() == 2 && sizes[0] > 0 && sizes[1] > 0;
    };
    while (!pdfUnderWay() && !p.waitForFinished(5)) {
    }
    ASSERT_EQ(p.state(), QProcess::Running) << "the run ended before its PDF was under way";
    ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(read(oldPages), "old pages");
    EXPECT_EQ(read(oldPdf), "old pdf");
    EXPECT_EQ(files(dir_.path()), QStringList({"doc.prn", "old.frp", "old.pdf", "s.ini"}));
}

TEST_F(ProgramFaultsTest, EndlessOrHugeDocumentsAndSettingsAreBounded) {
    const QString ini = settings();
    ASSERT_EQ(symlink("/dev/zero", path("zero.ini").toLocal8Bit().constData()), 0);
    const QString big = write("big.prn", std::string(3 << 20, 'x'));
    const QString codes = write("codes.ini", "[Quor Print]\r\nPrinterCodes=1\r\n");
    struct Case {
        QStringList arguments;
        int exitCode;
        QString expected;  // on standard error
        QString input = {};  // standard input, for the document "-"
    };
    const Case cases[] = {
        // A byte 0 ends the text: the first byte of /dev/zero ends it at once.
        {{"/dev/zero", ini}, 0, ""},
        {{"-", ini}, 0, "", "/dev/zero"},
        {{"--max-document-size", "1M", "-", ini}, 1, "The document stdin is larger than 1 MB", big},
        // Settings are read up to a bound; the rest counts as absent.
        {{write("doc.prn", "text\r\n"), path("zero.ini")}, 0, ""},
        {{"--max-document-size", "1M", big, ini}, 1, "The document " + big + " is larger than 1 MB"},
        {{"--max-document-size", "lots", big, ini}, 2, "--max-document-size takes a size"},
        // Printer codes keep the bytes after a 0: only the size bounds /dev/zero.
        {{"--max-document-size", "1M", "/dev/zero", codes}, 1, "The document /dev/zero is larger than 1 MB"},
    };
    for (const Case& c : cases) {
        QFile::remove(path("out.pdf"));
        const ProgramRun run =
            runProgram(QStringList{"--pdf", path("out.pdf")} << c.arguments, headlessEnvironment(), 120000, c.input);
        EXPECT_TRUE(run.finished) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments.join(' ').toStdString() << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.expected)) << run.err.toStdString();
        EXPECT_EQ(QFile::exists(path("out.pdf")), c.exitCode == 0);
    }

    // A named pipe: the run says that it waits, then reads what comes.
    const QString fifo = path("pipe.prn");
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    QProcess writer;
    writer.start("sh", {"-c", "sleep 1; printf 'piped\\r\\n' > \"$0\"", fifo});
    const ProgramRun run = runProgram({"--pdf", path("out.pdf"), fifo, ini});
    writer.waitForFinished(10000);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("Waiting for a program to write into " + fifo)) << run.err.toStdString();
    EXPECT_EQ(pdfPageLines(path("out.pdf")), std::vector<QStringList>{QStringList{"piped"}});
}

TEST_F(ProgramFaultsTest, TextThatCannotBeLaidOutFailsWithOneClearMessage) {
    struct Case {
        std::string document;
        std::string settings;
        QString expected;
    };
    const std::string longLine(65535, 'x');
    const Case cases[] = {
        {"text\r\n", "FontSize=2147483647", "\"FontSize\" 2147483647 cannot be laid out"},
        {"text\r\n", "FontSize=-2147483648", "\"FontSize\" -2147483648 cannot be laid out"},
        {"text\r\n", "FontSize=100000000", "\"FontSize\" 100000000 cannot be laid out"},
        // A size counted from the cell: the bound is a plain number.
        {"text\r\n", "FontSize=-12", "он должен быть больше 16,"},
        {"a\r\n" + longLine + "\r\n", "", "Line 2 of the document"},
        {"a\r\n" + longLine + "y\r\n", "", "Line 2 of the document"},
    };
    for (const Case& c : cases) {
        const QString doc = write("doc.prn", c.document);
        const ProgramRun run = runProgram({"--pdf", path("out.pdf"), doc, settings(c.settings + "\r\n")});
        EXPECT_EQ(run.exitCode, 1) << c.settings;
        EXPECT_TRUE(run.err.contains(c.expected)) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains("--")) << run.err.toStdString();
        EXPECT_LT(run.err.size(), 1000) << c.settings;
        EXPECT_FALSE(QFile::exists(path("out.pdf")));
    }
    // One byte shorter prints.
    const ProgramRun run =
        runProgram({"--pdf", path("out.pdf"), write("doc.prn", longLine.substr(1) + "\r\n"), settings()});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
}

TEST_F(ProgramFaultsTest, ABuildErrorInALongDocumentEchoesTheFailingLineOnly) {
    std::string text = numbered(200000);
    const std::string bad = "Total [unclosed bracket\r\n";
    const std::size_t at = text.find("Line 100000 ");
    text.insert(at, bad);
    const ProgramRun run = runProgram({"--pdf", path("out.pdf"), write("doc.prn", text), settings()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_LT(run.err.size(), 4000) << run.err.size();
    EXPECT_TRUE(run.err.contains("\nLine 99999 of the long print file\nTotal [unclosed bracket\nLine 100000 "))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("(строка 100000 из 200001)")) << run.err.toStdString();
}

TEST_F(ProgramFaultsTest, AQueueThatHoldsJobsOrASchedulerOutOfReachIsSaid) {
    const QString doc = write("doc.prn", "text\r\n");
    const ProgramRun away = runProgram({"--printer", "PDF", doc, settings()},
                                       headlessEnvironment({"CUPS_SERVER=" + path("no-scheduler.sock")}));
    EXPECT_EQ(away.exitCode, 1);
    EXPECT_TRUE(away.err.contains("The print scheduler (CUPS) cannot be reached")) << away.err.toStdString();

    if (toolOutput("lpstat", {"-p", "Held"}).isEmpty()) GTEST_SKIP() << "no queue Held; scripts/start-cups.sh";
    const ProgramRun held = runProgram({"--printer", "Held", doc, settings()});
    EXPECT_EQ(held.exitCode, 1);
    EXPECT_TRUE(held.err.contains("The printer Held is disabled: job ")) << held.err.toStdString();
    EXPECT_TRUE(held.err.contains(" is held in its queue")) << held.err.toStdString();
    QProcess::execute("cancel", {"-a", "Held"});
}

}  // namespace
}  // namespace quor::test
