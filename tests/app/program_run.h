#pragma once

// Running the real program binary and reading what it wrote: its exit
// status and streams, and the PDF tools' view of a PDF file.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace quor::test {

inline const QString kProgram = QStringLiteral(QUOR_BINARY_DIR "/quorprn");

struct ProgramRun {
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;
};

// Without a display and without a chosen Qt platform: the program has to
// manage on its own. `extra` adds variables.
inline QProcessEnvironment headlessEnvironment(const QStringList& extra = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    for (const QString& assignment : extra) env.insert(assignment.section('=', 0, 0), assignment.section('=', 1));
    return env;
}

// `standardInput` names a file the program reads as its standard input.
inline ProgramRun runProgram(const QStringList& args, const QProcessEnvironment& env = headlessEnvironment(),
                             int timeoutMs = 120000, const QString& standardInput = {}) {
    QProcess p;
    p.setProcessEnvironment(env);
    if (!standardInput.isEmpty()) p.setStandardInputFile(standardInput);
    p.start(kProgram, args);
    ProgramRun run;
    run.finished = p.waitForStarted(30000) && p.waitForFinished(timeoutMs);
    if (!run.finished) {
        p.kill();
        p.waitForFinished(5000);
    }
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

// The standard output of a tool; empty when it failed.
inline QString toolOutput(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// "Pages:" and "Page size:" and "Title:" of pdfinfo.
inline QString pdfInfoField(const QString& pdf, const QString& field) {
    for (const QString& line : toolOutput("pdfinfo", {pdf}).split('\n'))
        if (line.startsWith(field + ':')) return line.mid(field.size() + 1).trimmed();
    return {};
}

// The text of each page, laid out as on the page.
inline std::vector<QStringList> pdfPageLines(const QString& pdf) {
    std::vector<QStringList> pages;
    const QString text = toolOutput("pdftotext", {"-layout", "-enc", "UTF-8", pdf, "-"});
    for (const QString& page : text.split('\f')) pages.push_back(page.split('\n', Qt::SkipEmptyParts));
    if (!pages.empty() && pages.back().isEmpty()) pages.pop_back();
    return pages;
}

// The number of images on each page (1-based page number -> count).
inline std::vector<int> pdfImagesPerPage(const QString& pdf, int pages) {
    std::vector<int> counts(static_cast<std::size_t>(pages), 0);
    const QStringList lines = toolOutput("pdfimages", {"-list", pdf}).split('\n', Qt::SkipEmptyParts);
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const int page = lines[i].simplified().section(' ', 0, 0).toInt();
        if (page >= 1 && page <= pages) ++counts[static_cast<std::size_t>(page - 1)];
    }
    return counts;
}

}  // namespace quor::test
