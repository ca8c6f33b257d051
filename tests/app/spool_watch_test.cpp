// The spool folder through the real program and a real inotify watch:
// files written the way emulators write them print once each, in order,
// never before they are complete; failures land in failed/ with their log;
// a stop or a crash in the middle of a job never prints a file twice; a
// queue missing for a while fails its jobs and the watch goes on.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <signal.h>

#include <functional>
#include <string>

#include "program_run.h"

namespace quor::test {
namespace {

class SpoolWatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(dir_.path()).mkdir("spool"));
        ASSERT_TRUE(QDir(dir_.path()).mkdir("out"));
    }
    void TearDown() override {
        if (watch_.state() != QProcess::NotRunning) {
            watch_.kill();
            watch_.waitForFinished(5000);
        }
    }
    QString spool(const QString& name = {}) const { return dir_.filePath("spool/" + name); }
    QString out(const QString& name = {}) const { return dir_.filePath("out/" + name); }
    QStringList files(const QString& folder, const QString& pattern = "*") const {
        return QDir(folder).entryList({pattern}, QDir::Files | QDir::Hidden, QDir::Name);
    }

    // Into PDFs in out/ unless `output` names another destination.
    void start(QStringList output = {}) {
        if (output.isEmpty()) output = QStringList{"--pdf-dir", out()};
        watch_.setProcessEnvironment(headlessEnvironment());
        watch_.setProcessChannelMode(QProcess::MergedChannels);
        watch_.start(kProgram, QStringList{"--watch", spool(), "--settle", "0.4"} << output);
        ASSERT_TRUE(watch_.waitForStarted(30000));
        ASSERT_TRUE(waitFor([&] { return log_.contains("watching "); }, 60000)) << log_.toStdString();
    }
    // Pumps the program's output until `done` or the time is up.
    bool waitFor(const std::function<bool()>& done, int ms = 120000) {
        QElapsedTimer timer;
        timer.start();
        while (!done()) {
            if (timer.elapsed() > ms) return false;
            if (!watch_.waitForReadyRead(20)) QThread::msleep(10);
            log_ += QString::fromUtf8(watch_.readAll());
        }
        return true;
    }
    void pause(int ms) {
        waitFor([] { return false; }, ms);
    }
    // The exit status after `signal`; -1 for a crash.
    int stop(int signal = SIGTERM) {
        ::kill(static_cast<pid_t>(watch_.processId()), signal);
        waitFor([&] { return watch_.state() == QProcess::NotRunning; }, 120000);
        log_ += QString::fromUtf8(watch_.readAll());
        return watch_.exitStatus() == QProcess::NormalExit ? watch_.exitCode() : -1;
    }
    // Appends as an emulator does: open, write, close.
    void append(const QString& name, const QByteArray& bytes) const {
        QFile f(spool(name));
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(bytes);
    }
    // Waits until `printed` files are in printed/, `failed` in failed/ (with
    // their logs) and the log has a line for each.
    bool settled(int printed, int failed, int ms = 120000) {
        return waitFor(
            [&] {
                return files(spool("printed")).size() == printed && files(spool("failed")).size() == 2 * failed &&
                       log_.count(QRegularExpression(" \\d+ pages?, (printed|failed)")) == printed + failed;
            },
            ms);
    }
    // The log's lines about `name`.
    QStringList logFor(const QString& name) const {
        QStringList lines;
        for (const QString& line : log_.split('\n'))
            if (line.contains(' ' + name + ':')) lines << line;
        return lines;
    }

    QTemporaryDir dir_;
    QProcess watch_;
    QString log_;
};

TEST_F(SpoolWatchTest, SlowWritersPrintOnceEachInOrderAndNeverEarly) {
    start();
    // Chunks come quicker than the settle time: one printout each.
    for (const char* name : {"c.prn", "a.prn", "b.prn"})
        for (int chunk = 1; chunk <= 3; ++chunk) {
            append(name, QByteArray(name) + " chunk " + QByteArray::number(chunk) + "\r\n");
            pause(150);
        }
    // A writer that keeps its file open while it pauses.
    {
        QFile held(spool("held.prn"));
        ASSERT_TRUE(held.open(QIODevice::WriteOnly));
        held.write("held first\r\n");
        held.flush();
        pause(1500);
        EXPECT_FALSE(QFileInfo::exists(out("held.pdf"))) << "printed while still open";
        held.write("held last\r\n");
    }
    ASSERT_TRUE(settled(4, 0)) << log_.toStdString();
    pause(1000);
    EXPECT_EQ(files(spool("printed")), QStringList({"a.prn", "b.prn", "c.prn", "held.prn"}));
    EXPECT_EQ(files(out()), QStringList({"a.pdf", "b.pdf", "c.pdf", "held.pdf"}));
    EXPECT_TRUE(files(spool("failed")).isEmpty());
    EXPECT_EQ(pdfPageLines(out("c.pdf")).at(0), QStringList({"c.prn chunk 1", "c.prn chunk 2", "c.prn chunk 3"}));
    EXPECT_EQ(pdfPageLines(out("held.pdf")).at(0), QStringList({"held first", "held last"}));
    const qsizetype c = log_.indexOf(" c.prn:"), a = log_.indexOf(" a.prn:"), b = log_.indexOf(" b.prn:");
    EXPECT_TRUE(c >= 0 && c < a && a < b) << log_.toStdString();
    for (const char* name : {"a.prn", "b.prn", "c.prn", "held.prn"}) {
        ASSERT_EQ(logFor(name).size(), 1) << log_.toStdString();
        EXPECT_TRUE(logFor(name)[0].contains("1 page, printed into")) << logFor(name)[0].toStdString();
    }
    EXPECT_EQ(stop(), 0);
    EXPECT_TRUE(log_.trimmed().endsWith("stopped")) << log_.toStdString();
}

TEST_F(SpoolWatchTest, OldFilesFirstFailuresWithTheirLogNothingReplaced) {
    append("new.prn", "new\r\n");
    append("old.prn", "old\r\n");
    QFile old(spool("old.prn"));
    ASSERT_TRUE(old.open(QIODevice::ReadWrite));
    ASSERT_TRUE(old.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    old.close();
    append("bad.prn", "a [bracket that is no expression\r\n");
    append(".partial", "hidden files are not printouts\r\n");
    ASSERT_TRUE(QDir(spool()).mkdir("keep"));
    start();
    ASSERT_TRUE(settled(2, 1)) << log_.toStdString();
    EXPECT_LT(log_.indexOf(" old.prn:"), log_.indexOf(" new.prn:"));
    EXPECT_EQ(files(spool("failed")), QStringList({"bad.prn", "bad.prn.log"}));
    QFile log(spool("failed/bad.prn.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_FALSE(log.readAll().trimmed().isEmpty());
    EXPECT_EQ(logFor("bad.prn").size(), 1);
    EXPECT_TRUE(logFor("bad.prn").join('\n').contains("0 pages, failed: ")) << log_.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out("bad.pdf")));

    // The same name again: numbered, nothing replaced.
    append("old.prn", "old again\r\n");
    ASSERT_TRUE(settled(3, 1)) << log_.toStdString();
    EXPECT_EQ(files(spool("printed")), QStringList({"new.prn", "old-1.prn", "old.prn"}));
    EXPECT_EQ(files(out()), QStringList({"new.pdf", "old-1.pdf", "old.pdf"}));
    EXPECT_EQ(pdfPageLines(out("old.pdf")).at(0), QStringList({"old"}));
    EXPECT_EQ(files(spool()), QStringList({".partial", ".quorprn-lock"}));
    EXPECT_TRUE(QFileInfo(spool("keep")).isDir());
    EXPECT_EQ(stop(SIGINT), 0);
}

TEST_F(SpoolWatchTest, AWriterFromBeforeTheStartHoldsItsFileBack) {
    QFile early(spool("early.prn"));
    ASSERT_TRUE(early.open(QIODevice::WriteOnly));
    early.write("early first\r\n");
    early.flush();
    append("done.prn", "done\r\n");
    start();
    ASSERT_TRUE(settled(1, 0)) << log_.toStdString();
    pause(1000);
    EXPECT_EQ(files(spool("printed")), QStringList({"done.prn"}));
    early.write("early last\r\n");
    early.close();
    ASSERT_TRUE(settled(2, 0)) << log_.toStdString();
    EXPECT_EQ(pdfPageLines(out("early.pdf")).at(0), QStringList({"early first", "early last"}));
    EXPECT_EQ(stop(), 0);
}

TEST_F(SpoolWatchTest, AStopOrACrashMidJobAndARestartPrintNothingTwice) {
    std::string big;
    for (int i = 0; i < 4000; ++i) big += "line " + std::to_string(i) + "\r\n";
    for (const int signal : {SIGTERM, SIGKILL}) {
        SCOPED_TRACE(signal);
        for (const QString& folder : {spool("printed"), out()})
            for (const QString& f : files(folder)) QFile::remove(folder + '/' + f);
        start();
        append("big.prn", QByteArray::fromStdString(big));
        ASSERT_TRUE(waitFor([&] { return QFileInfo::exists(spool(".quorprn-journal")); }, 60000)) << log_.toStdString();
        const int status = stop(signal);
        if (signal == SIGTERM) {
            // The job in progress ends first.
            EXPECT_EQ(status, 0) << log_.toStdString();
            EXPECT_EQ(files(spool("printed")), QStringList({"big.prn"}));
        }
        start();
        ASSERT_TRUE(waitFor([&] { return files(spool("printed")).size() == 1; }, 300000)) << log_.toStdString();
        pause(1500);
        EXPECT_EQ(stop(), 0);
        EXPECT_EQ(files(spool("printed")), QStringList({"big.prn"}));
        EXPECT_EQ(files(out(), "*.pdf"), QStringList({"big.pdf"}));
        EXPECT_TRUE(files(spool("failed")).isEmpty());
        EXPECT_FALSE(QFileInfo::exists(spool(".quorprn-journal")));
        log_.clear();
    }
}

TEST_F(SpoolWatchTest, TwoHundredFilesAtOnceAllPrint) {
    start();
    for (int i = 0; i < 200; ++i) append(QString("f%1.prn").arg(i, 3, 10, QChar('0')), "page " + QByteArray::number(i));
    ASSERT_TRUE(settled(200, 0, 900000)) << files(spool("printed")).size() << log_.toStdString();
    EXPECT_EQ(files(out(), "*.pdf").size(), 200);
    EXPECT_TRUE(files(spool("failed")).isEmpty());
    EXPECT_EQ(pdfPageLines(out("f123.pdf")).at(0), QStringList({"page 123"}));
    EXPECT_EQ(stop(), 0);
}

TEST_F(SpoolWatchTest, AQueueMissingForAWhileFailsItsJobsAndTheWatchGoesOn) {
    if (toolOutput("lpstat", {"-p", "PDF"}).isEmpty()) GTEST_SKIP() << "no CUPS queue PDF; scripts/start-cups.sh";
    const QString queue = "QuorLater" + QString::number(QCoreApplication::applicationPid());
    start({"--printer", queue});
    append("early.prn", "before the queue\r\n");
    ASSERT_TRUE(settled(0, 1)) << log_.toStdString();
    QFile log(spool("failed/early.prn.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("The printer " + queue.toUtf8() + " is not installed"));
    EXPECT_EQ(watch_.state(), QProcess::Running);

    // The queue comes (where this test may add one): the next file prints there.
    struct AddedQueue {
        QString name;
        bool added = QProcess::execute("lpadmin", {"-p", name, "-E", "-v", "cups-pdf:/ci", "-m",
                                                   "lsb/usr/cups-pdf/CUPS-PDF_opt.ppd"}) == 0;
        ~AddedQueue() {
            if (added) QProcess::execute("lpadmin", {"-x", name});
        }
    } later{queue};
    append("later.prn", "once the queue is there\r\n");
    ASSERT_TRUE(settled(later.added ? 1 : 0, later.added ? 1 : 2)) << log_.toStdString();
    if (later.added) {
        EXPECT_TRUE(logFor("later.prn").join('\n').contains("1 page, printed on " + queue)) << log_.toStdString();
    }
    EXPECT_EQ(stop(), 0);
}

TEST_F(SpoolWatchTest, FoldersThatCannotBeWatchedAreRefused) {
    QFile plain(dir_.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const struct {
        QStringList args;
        int status;
    } cases[] = {
        {{"--watch", dir_.filePath("missing")}, 1},
        {{"--watch", dir_.filePath("plain")}, 1},
        {{"--watch", spool(), "--pdf-dir", spool() + "/."}, 2},
        {{"--watch", spool(), "--pdf", out("x.pdf")}, 2},
        {{"--watch", spool()}, 1},  // watched already
    };
    start();
    for (const auto& c : cases) {
        const ProgramRun run = runProgram(c.args);
        EXPECT_EQ(run.exitCode, c.status) << c.args.join(' ').toStdString() << run.err.toStdString();
        EXPECT_TRUE(run.err.startsWith("quorprn: ")) << run.err.toStdString();
    }
    EXPECT_EQ(stop(), 0);
}

}  // namespace
}  // namespace quor::test
