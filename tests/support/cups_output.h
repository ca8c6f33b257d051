#pragma once

// The CUPS queues of scripts/start-cups.sh as tests see them: whether a
// scheduler offers them, and the PDF files cups-pdf writes for a job.

#include <gtest/gtest.h>

#include <cups/cups.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <chrono>
#include <thread>

namespace quor {

inline const char* const kOutputDir = "/var/spool/cups-pdf/ci";

inline bool testQueuesAvailable() {
    cups_dest_t* dests = nullptr;
    const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    const bool ok = cupsGetDest("PDF", nullptr, n, dests) && cupsGetDest("Trays", nullptr, n, dests);
    cupsFreeDests(n, dests);
    return ok;
}

#define REQUIRE_TEST_QUEUES()                                                                         \
    if (!testQueuesAvailable())                                                                       \
    GTEST_SKIP() << "No CUPS scheduler with the queues PDF and Trays is reachable; "                  \
                    "scripts/start-cups.sh starts one"

inline QString runTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The PDF cups-pdf writes for a job: named from the title and the job id,
// created empty and complete once it ends with %%EOF.
inline QString waitForOutput(int jobId) {
    const QString suffix = QString("-job_%1.pdf").arg(jobId);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        for (const QFileInfo& f : QDir(kOutputDir).entryInfoList(QDir::Files)) {
            if (!f.fileName().endsWith(suffix)) continue;
            QFile file(f.filePath());
            if (file.size() > 16 && file.open(QIODevice::ReadOnly)) {
                file.seek(file.size() - 16);
                if (file.readAll().contains("%%EOF")) return f.filePath();
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return {};
}

// Output files are removed once a test has looked at them.
struct RemovedAtEnd {
    QString path;
    ~RemovedAtEnd() {
        if (!path.isEmpty()) QFile::remove(path);
    }
};

}  // namespace quor
