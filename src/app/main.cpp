#include <malloc.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/command_line.h"
#include "app/main_window.h"
#include "app/prepared_window.h"
#include "app/print_job.h"
#include "app/spool_watch.h"
#include "app/unattended.h"
#include "output/preview_form.h"
#include "device/printer_device.h"
#include "output/progress_form.h"
#include "platform/cups_printer.h"

int main(int argc, char** argv) {
    // The arguments as the shell passed them: file names are bytes.
    const std::vector<std::string> words(argv + 1, argv + argc);
    std::string error;
    const std::optional<quor::CommandLine> line = quor::parseCommandLine(words, error);
    if (!line) {
        std::fprintf(stderr, "quorprn: %s\nTry 'quorprn --help'.\n", error.c_str());
        return quor::kExitUsage;
    }
    if (line->help) {
        std::fputs(quor::usageText().c_str(), stdout);
        return quor::kExitDone;
    }
    if (line->version) {
        std::printf("quorprn %s\n", QUOR_VERSION);
        return quor::kExitDone;
    }
    // Qt sees the program name only: every argument is ours.
    int qtArgc = 1;
    if (line->watching()) {
        quor::chooseHeadlessPlatform();
        quor::QuorApplication app(qtArgc, argv);
        return quor::runSpoolWatch(*line);
    }
    if (line->unattended()) {
        // A print run fills and frees a large buffer for every page; keeping
        // freed memory in the heap spares the page faults of mapping it
        // afresh each time.
        mallopt(M_MMAP_THRESHOLD, 64 << 20);
        mallopt(M_TRIM_THRESHOLD, 128 << 20);
        quor::chooseHeadlessPlatform();
        quor::QuorApplication app(qtArgc, argv);
        return quor::runUnattended(*line);
    }

    quor::QuorApplication app(qtArgc, argv);
    // The one printer device of the run; loading a template waits for it.
    quor::PrinterDeviceSession printers([] { return std::make_unique<quor::CupsPrinter>(); });
    // The report's windows; an unattended run has none.
    quor::installProgressWindow();
    quor::installPreviewWindow();
    if (!line->openPrepared.empty()) return quor::showPreparedReport(*line);
    quor::TfQuorPrint fQuorPrint(line->arguments);
    quor::QuorPrintJob job(fQuorPrint.FS());
    job.output = line->preview ? quor::JobOutput::preview : quor::JobOutput::asSettingsSay;
    job.title = line->title;
    job.documentReading.maxBytes = line->maxDocumentBytes;
    fQuorPrint.setPrintJob([&job](const std::string& document, const std::string& settingsFile) {
        job.QuorDocumentPrint(document, settingsFile);
    });
    fQuorPrint.show();
    return app.exec();
}
