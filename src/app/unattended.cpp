#include "app/unattended.h"

#include <QDir>
#include <QFile>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/form_storage.h"
#include "app/print_job.h"
#include "app/settings_place.h"
#include "device/printer_device.h"
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

// A queue that is not there must not send the pages to the default one.
bool namedQueueMissing(const CommandLine& line, const OutputPrinter& chosen) {
    if (line.printerName.empty()) return false;
    if (!chosen.cups) return true;
    const std::vector<std::string>& names = chosen.cups->printers();
    return std::find(names.begin(), names.end(), line.printerName) == names.end();
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
    StderrMessages messages(transcript ? &transcript->messages : nullptr);
    OutputPrinter chosen;
    PrinterDeviceSession device(printerFor(line, chosen));

    TFormStorage settings("TfQuorPrint");
    settings.setIniSection("Quor Print");
    // Prepared pages take the settings file alone; a document comes first.
    const bool prepared = !line.openPrepared.empty();
    const std::size_t settingsAt = prepared ? 0 : 1;
    const std::string settingsFile =
        line.arguments.size() > settingsAt ? line.arguments[settingsAt] : defaultSettingsFile();

    const bool printing = !line.pdfFile.empty() || !line.printerName.empty();
    QuorPrintJob job(settings);
    job.output = printing ? JobOutput::printer : JobOutput::none;
    job.title = line.title;
    job.OnPrepared = [&line, transcript](TfrReport& report) {
        if (transcript) transcript->pages = report.PreparedPages.Count();
        if (!line.preparedFile.empty()) report.SavePreparedReport(line.preparedFile);
    };
    try {
        if (namedQueueMissing(line, chosen)) throw Error("The printer " + line.printerName + " is not installed");
        const int jobsBefore = chosen.cups ? chosen.cups->lastJobId() : 0;
        const bool built = prepared ? job.QuorPreparedPrint(line.openPrepared, settingsFile)
                                    : job.QuorDocumentPrint(line.arguments[0], settingsFile);
        if (!built) return kExitFailed;
        if (messages.errorShown()) return kExitFailed;
        if (chosen.pdf) chosen.pdf->commit();
        if (!line.printerName.empty() && chosen.cups->lastJobId() == jobsBefore)
            throw Error("Nothing was sent to the printer " + line.printerName);
    } catch (const std::exception& e) {
        showException(e);
        return kExitFailed;
    }
    return kExitDone;
}

}  // namespace quor
