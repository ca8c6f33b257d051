#include "app/unattended.h"

#include <QDir>
#include <QFile>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/form_storage.h"
#include "app/output_paths.h"
#include "app/print_job.h"
#include "app/settings_place.h"
#include "device/printer_device.h"
#include "platform/atomic_file.h"
#include "platform/cups_printer.h"
#include "platform/error.h"
#include "platform/message_box.h"
#include "platform/pdf_file_printer.h"

namespace quor {
namespace {

bool unset(const char* name) {
    const char* value = std::getenv(name);
    return !value || !*value;
}

std::string withLineEnds(std::string text) {
    std::string out;
    out.reserve(text.size() + 1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            out += text[i];
        } else {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        }
    }
    return out;
}

// Messages as two parts on standard error: the caption on a line of its
// own, then the text. Remembers whether one reported an error.
class StderrMessages {
public:
    // With `into` the messages are kept there instead.
    explicit StderrMessages(std::string* into) {
        previous_ = setMessageSink([this, into](const MessageRequest& r) {
            if (r.icon == MessageIcon::Error) failed_ = true;
            const std::string text = withLineEnds(r.caption) + "\n" + withLineEnds(r.text) + "\n";
            if (into) {
                *into += text;
            } else {
                std::fwrite(text.data(), 1, text.size(), stderr);
                std::fflush(stderr);
            }
            return firstButton(r.buttons);
        });
    }
    ~StderrMessages() { setMessageSink(std::move(previous_)); }
    bool errorShown() const { return failed_; }

private:
    MessageSink previous_;
    bool failed_ = false;
};

// The platform printer of the run; the printer device owns it, this keeps
// a view of it for the end of the run.
struct OutputPrinter {
    PdfFilePrinter* pdf = nullptr;
    CupsPrinter* cups = nullptr;
};

PlatformPrinterFactory printerFor(const CommandLine& line, OutputPrinter& chosen) {
    if (!line.pdfFile.empty())
        return [&chosen, target = line.pdfFile]() -> std::unique_ptr<PlatformPrinter> {
            auto printer = std::make_unique<PdfFilePrinter>(target);
            chosen.pdf = printer.get();
            return printer;
        };
    return [&chosen, name = line.printerName]() -> std::unique_ptr<PlatformPrinter> {
        auto printer = std::make_unique<CupsPrinter>();
        chosen.cups = printer.get();
        if (!name.empty()) {
            const std::vector<std::string>& names = printer->printers();
            int index = -1;
            for (std::size_t i = 0; i < names.size(); ++i)
                if (names[i] == name) index = static_cast<int>(i);
            // A name not found is reported before the job starts.
            if (index >= 0) printer->setPrinterIndex(index);
        }
        return printer;
    };
}

// The named queue, checked before anything is built: a
// queue that is not there must not send the pages to the default one.
// True when the queue is disabled (a job waits there, held).
bool checkQueue(const CommandLine& line, CupsPrinter& cups) {
    const CupsPrinter::QueueStatus status = cups.queueStatus(line.printerName);
    if (!status.schedulerReachable)
        throw Error("The print scheduler (CUPS) cannot be reached: nothing can be printed");
    const std::string queue = "The printer " + line.printerName;
    if (!status.installed) throw Error(queue + " is not installed");
    const std::string why = status.reason.empty() ? "" : " (" + status.reason + ")";
    if (!status.acceptingJobs) throw Error(queue + " does not accept jobs" + why);
    return status.stopped;
}

// The document, the settings file and the logos it names.
std::vector<NamedPath> inputsOf(const std::string& document, const std::string& settingsFile,
                                TFormStorage& settings) {
    settings.setIniFileName(settingsFile);
    return {{"the document", document},
            {"the settings file", settingsFile},
            {"logo 1", settings.ReadString("Picture1", "")},
            {"logo 2", settings.ReadString("Picture2", "")}};
}

std::vector<NamedPath> outputsOf(const CommandLine& line) {
    std::vector<NamedPath> outputs;
    if (!line.pdfFile.empty()) outputs.push_back({"--pdf", line.pdfFile});
    if (!line.preparedFile.empty()) outputs.push_back({"--save-prepared", line.preparedFile});
    return outputs;
}

}  // namespace

void chooseHeadlessPlatform() {
    if (unset("QT_QPA_PLATFORM") && unset("DISPLAY") && unset("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (unset("XDG_RUNTIME_DIR")) {
        // Qt wants a private runtime folder and complains on stderr without one.
        const QString dir = QDir::tempPath() + "/quor-runtime-" + QString::number(getuid());
        if (QDir().mkpath(dir) &&
            QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
            setenv("XDG_RUNTIME_DIR", QFile::encodeName(dir).constData(), 1);
    }
}

int runUnattended(const CommandLine& line, JobTranscript* transcript) {
    std::setlocale(LC_NUMERIC, "C");
    TFormStorage settings("TfQuorPrint");
    settings.setIniSection("Quor Print");
    // Prepared pages take the settings file alone; a document comes first.
    const bool prepared = !line.openPrepared.empty();
    const std::size_t settingsAt = prepared ? 0 : 1;
    const std::string settingsFile =
        line.arguments.size() > settingsAt ? line.arguments[settingsAt] : defaultSettingsFile();
    const std::string input = prepared ? line.openPrepared : line.arguments[0];
    const std::string clash = findOutputClash(
        outputsOf(line), inputsOf(input == kStandardInputName ? std::string() : input, settingsFile, settings));
    if (!clash.empty()) {
        std::fprintf(stderr, "quorprn: %s\n", clash.c_str());
        return kExitUsage;
    }

    StderrMessages messages(transcript ? &transcript->messages : nullptr);
    OutputPrinter chosen;
    PrinterDeviceSession device(printerFor(line, chosen));
    const bool printing = !line.pdfFile.empty() || !line.printerName.empty();
    QuorPrintJob job(settings);
    job.output = printing ? JobOutput::printer : JobOutput::none;
    job.title = line.title;
    job.documentReading.maxBytes = line.maxDocumentBytes;
    // Messages go to a terminal or a log: the failing line, not the whole document.
    job.report().ErrorEchoContext = 2;
    job.documentReading.onWait = [](const std::string& notice) { std::fprintf(stderr, "%s\n", notice.c_str()); };
    // Every output is finished on its own and put in place only once the
    // whole run has succeeded: a failure leaves all old files as they were.
    AtomicFileSet outputs;
    job.OnPrepared = [&line, &outputs, transcript](TfrReport& report) {
        if (transcript) transcript->pages = report.PreparedPages.Count();
        if (!line.preparedFile.empty()) outputs.add(report.WritePreparedReport(line.preparedFile));
    };
    try {
        const bool queued = !line.printerName.empty();
        if (queued && !chosen.cups) throw Error("The printer " + line.printerName + " is not installed");
        const bool held = queued && checkQueue(line, *chosen.cups);
        const int jobsBefore = queued ? chosen.cups->lastJobId() : 0;
        const bool built = prepared ? job.QuorPreparedPrint(line.openPrepared, settingsFile)
                                    : job.QuorDocumentPrint(line.arguments[0], settingsFile);
        if (!built) return kExitFailed;
        if (messages.errorShown()) return kExitFailed;
        if (chosen.pdf) outputs.add(chosen.pdf->finishFile());
        if (queued && chosen.cups->lastJobId() == jobsBefore)
            throw Error("Nothing was sent to the printer " + line.printerName);
        outputs.publishAll();
        if (held)
            throw Error("The printer " + line.printerName + " is disabled: job " +
                        std::to_string(chosen.cups->lastJobId()) +
                        " is held in its queue and prints when the queue is enabled again");
    } catch (const std::exception& e) {
        showException(e);
        return kExitFailed;
    }
    return kExitDone;
}

}  // namespace quor
