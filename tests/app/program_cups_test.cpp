// The program binary on the local CUPS queues of scripts/start-cups.sh:
// unattended on a named queue, from a file or standard input, and the
// window's path with one argument, which prints on the default queue and
// closes. Skipped without them.

#include <gtest/gtest.h>

#include <cups/cups.h>

#include <QFile>
#include <QTemporaryDir>
#include <map>
#include <string>

#include "program_run.h"

namespace quor::test {
namespace {

bool defaultQueueIsPdf() {
    cups_dest_t* dests = nullptr;
    const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    const cups_dest_t* pdf = cupsGetDest("PDF", nullptr, n, dests);
    const bool ok = pdf && pdf->is_default;
    cupsFreeDests(n, dests);
    return ok;
}

// The titles of the queue's jobs, finished or not, by id.
std::map<int, std::string> jobsOf(const char* queue) {
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue, 0, CUPS_WHICHJOBS_ALL);
    std::map<int, std::string> titles;
    for (int i = 0; i < n; ++i) titles[jobs[i].id] = jobs[i].title ? jobs[i].title : "";
    cupsFreeJobs(n, jobs);
    return titles;
}

class ProgramOnCupsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!defaultQueueIsPdf()) GTEST_SKIP() << "no CUPS scheduler with the default queue PDF; scripts/start-cups.sh";
        QFile f(dir_.filePath("doc.prn"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("first line\r\nsecond line\r\n");
        QFile s(dir_.filePath("s.ini"));
        ASSERT_TRUE(s.open(QIODevice::WriteOnly));
        s.write("[Quor Print]\r\nCopies=2\r\n");
    }
    QString doc() const { return dir_.filePath("doc.prn"); }
    QString ini() const { return dir_.filePath("s.ini"); }
    QTemporaryDir dir_;
};

TEST_F(ProgramOnCupsTest, UnattendedPrintsOnTheNamedQueueOnly) {
    const ProgramRun run = runProgram({"--printer", "PDF", doc(), ini()});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    // Standard input: a job of its own titled "stdin".
    const std::map<int, std::string> before = jobsOf("PDF");
    const ProgramRun piped = runProgram({"--printer", "PDF", "-", ini()}, headlessEnvironment(), 120000, doc());
    EXPECT_EQ(piped.exitCode, 0) << piped.err.toStdString();
    EXPECT_TRUE(piped.err.isEmpty()) << piped.err.toStdString();
    int stdinJobs = 0;
    for (const auto& [id, title] : jobsOf("PDF"))
        stdinJobs += !before.contains(id) && title == "stdin";
    EXPECT_GE(stdinJobs, 1);  // other runs may share the queue
    const ProgramRun missing = runProgram({"--printer", "NoSuchQueue", doc(), ini()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("The printer NoSuchQueue is not installed")) << missing.err.toStdString();
}

TEST_F(ProgramOnCupsTest, WindowWithOneArgumentPrintsAndCloses) {
    QProcessEnvironment env = headlessEnvironment({"QT_QPA_PLATFORM=offscreen"});
    for (const QStringList& args : {QStringList{doc()}, QStringList{doc(), ini()}}) {
        const ProgramRun run = runProgram(args, env, 60000);
        EXPECT_TRUE(run.finished) << "the window stayed open: " << run.err.toStdString();
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    }
}

}  // namespace
}  // namespace quor::test
