#include "platform/cups_printer.h"

#include <cups/cups.h>

#include <algorithm>
#include <fstream>

#include "platform/cups_queue.h"
#include "platform/error.h"
#include "platform/pdf_spool.h"
#include "platform/printer_properties_dialog.h"

namespace quor {

namespace {

const char* const kNoDefault = "There is no default printer currently selected";
const char* const kIndexOutOfRange = "Printer index out of range";
const char* const kNotValid = "Printer selected is not valid";
const char* const kNotSupported = "Operation not supported on selected printer";

std::string cupsFailure(const std::string& what) { return what + ": " + cupsLastErrorString(); }

}  // namespace

// A job being drawn: its own copy of the destination (the list may be read
// again meanwhile), the options fixed when it began, and the pages.
struct CupsPrinter::Job {
    cups_dest_t* dest = nullptr;
    std::vector<std::pair<std::string, std::string>> options;
    std::string title;
    std::unique_ptr<PdfSpool> spool;

    ~Job() {
        spool.reset();
        if (dest) cupsFreeDests(1, dest);
    }
};

CupsPrinter::CupsPrinter() = default;

CupsPrinter::~CupsPrinter() {
    job_.reset();
    freeDestinations();
}

void CupsPrinter::freeDestinations() {
    queues_.clear();
    if (dests_) cupsFreeDests(destCount_, dests_);
    dests_ = nullptr;
    destCount_ = 0;
    names_.clear();
}

void CupsPrinter::refresh() {
    freeDestinations();
    loaded_ = true;
    destCount_ = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests_);
    if (destCount_ < 0) destCount_ = 0;
    // Instances are option sets of a queue, not printers of their own.
    for (int i = 0; i < destCount_; ++i)
        if (!dests_[i].instance) names_.emplace_back(dests_[i].name);
}

void CupsPrinter::ensureLoaded() {
    if (!loaded_) refresh();
}

const std::vector<std::string>& CupsPrinter::printers() {
    ensureLoaded();
    return names_;
}

cups_dest_t* CupsPrinter::findDest(const std::string& name) const {
    return cupsGetDest(name.c_str(), nullptr, destCount_, dests_);
}

int CupsPrinter::printerIndex() {
    ensureLoaded();
    auto indexOf = [&](const std::string& name) {
        auto it = std::find(names_.begin(), names_.end(), name);
        return it == names_.end() ? -1 : static_cast<int>(it - names_.begin());
    };
    if (!chosen_.empty()) {
        if (int i = indexOf(chosen_); i >= 0) return i;
    }
    for (int i = 0; i < destCount_; ++i)
        if (dests_[i].is_default && !dests_[i].instance) return indexOf(dests_[i].name);
    // CUPS may have queues but no default; the first queue stands in.
    if (!names_.empty()) return 0;
    throw Error(kNoDefault);
}

void CupsPrinter::setPrinterIndex(int index) {
    ensureLoaded();
    if (index < 0 || index >= static_cast<int>(names_.size())) throw Error(kIndexOutOfRange);
    chosen_ = names_[index];
}

std::string CupsPrinter::currentName() { return names_[printerIndex()]; }

CupsQueue& CupsPrinter::queue(const std::string& name, bool fresh) {
    auto it = queues_.find(name);
    if (it != queues_.end() && !fresh) return *it->second;
    if (it != queues_.end()) queues_.erase(it);
    cups_dest_t* dest = findDest(name);
    if (!dest) throw Error(kNotValid);
    auto q = std::make_unique<CupsQueue>(dest);
    CupsQueue& ref = *q;
    queues_[name] = std::move(q);
    return ref;
}

DeviceMode& CupsPrinter::modeOf(const std::string& name) {
    auto it = modes_.find(name);
    if (it != modes_.end()) return it->second;
    return modes_[name] = queue(name).defaultMode();
}

PrinterSetup CupsPrinter::printerSetup() {
    PrinterSetup setup;
    setup.device = currentName();
    try {
        CupsQueue& q = queue(setup.device, true);
        setup.driver = q.makeAndModel();
        setup.port = q.deviceUri();
        setup.mode = modeOf(setup.device);
    } catch (const Error&) {
        // Unreachable: no settings.
        setup.mode.reset();
    }
    return setup;
}

void CupsPrinter::setPrinterSetup(const PrinterSetup& setup) {
    ensureLoaded();
    if (std::find(names_.begin(), names_.end(), setup.device) == names_.end()) throw Error(kNotValid);
    chosen_ = setup.device;
    if (setup.mode) modes_[setup.device] = *setup.mode;
}

std::vector<PaperKind> CupsPrinter::papers(const std::string& device) {
    ensureLoaded();
    return queue(device).papers();
}

std::vector<BinKind> CupsPrinter::bins(const std::string& device) {
    ensureLoaded();
    return queue(device).bins();
}

DeviceMetrics CupsPrinter::metrics() {
    const std::string name = currentName();
    return queue(name).metrics(modeOf(name));
}

int CupsPrinter::copies() {
    try {
        return modeOf(currentName()).copies;
    } catch (const Error&) {
        throw Error(kNotSupported);
    }
}

void CupsPrinter::setCopies(int copies) {
    DeviceMode* mode = nullptr;
    try {
        mode = &modeOf(currentName());
    } catch (const Error&) {
        throw Error(kNotSupported);
    }
    mode->copies = static_cast<std::int16_t>(std::clamp(copies, 1, 9999));
}

void CupsPrinter::beginDoc() {
    if (job_) throw Error("Printing in progress");
    const std::string name = currentName();
    CupsQueue& q = queue(name);
    const DeviceMode mode = modeOf(name);
    auto job = std::make_unique<Job>();
    if (cupsCopyDest(q.dest(), 0, &job->dest) != 1) throw Error(cupsFailure("Cannot start the print job"));
    job->options = q.jobOptions(mode);
    job->title = title_;
    job->spool = std::make_unique<PdfSpool>(q.media(mode).sheet, q.metrics(mode),
                                            mode.orientation == kDmLandscape, title_);
    job_ = std::move(job);
}

void CupsPrinter::newPage() {
    if (!job_) throw Error("No page is being printed");
    job_->spool->newPage();
}

Canvas& CupsPrinter::canvas() {
    if (!job_) throw Error("No page is being printed");
    return job_->spool->canvas();
}

void CupsPrinter::abort() {
    // The pages were never handed to CUPS: dropping the file is enough.
    job_.reset();
}

void CupsPrinter::endDoc() {
    if (!job_) throw Error("No page is being printed");
    std::unique_ptr<Job> job = std::move(job_);
    const std::string path = job->spool->finish();

    CupsQueue q(job->dest);
    cups_option_t* options = nullptr;
    int optionCount = 0;
    for (const auto& [key, value] : job->options)
        optionCount = cupsAddOption(key.c_str(), value.c_str(), optionCount, &options);
    const char* title = job->title.empty() ? nullptr : job->title.c_str();
    int jobId = 0;
    const ipp_status_t created =
        cupsCreateDestJob(CUPS_HTTP_DEFAULT, q.dest(), q.info(), &jobId, title, optionCount, options);
    cupsFreeOptions(optionCount, options);
    if (created > IPP_STATUS_OK_CONFLICTING || jobId <= 0) throw Error(cupsFailure("The print job was refused"));

    // From here on a failure cancels the job that CUPS holds.
    auto cancel = [&](const std::string& what) {
        const std::string text = cupsFailure(what);
        cupsCancelJob2(CUPS_HTTP_DEFAULT, q.dest()->name, jobId, 0);
        throw Error(text);
    };
    if (cupsStartDestDocument(CUPS_HTTP_DEFAULT, q.dest(), q.info(), jobId, title, CUPS_FORMAT_PDF, 0, nullptr, 1) !=
        HTTP_STATUS_CONTINUE)
        cancel("The print job could not be sent");
    std::ifstream in(path, std::ios::binary);
    if (!in) cancel("The print file cannot be read");
    char buffer[65536];
    while (in) {
        in.read(buffer, sizeof buffer);
        const std::streamsize n = in.gcount();
        if (n > 0 && cupsWriteRequestData(CUPS_HTTP_DEFAULT, buffer, static_cast<size_t>(n)) != HTTP_STATUS_CONTINUE)
            cancel("The print job could not be sent");
    }
    if (cupsFinishDestDocument(CUPS_HTTP_DEFAULT, q.dest(), q.info()) > IPP_STATUS_OK_CONFLICTING)
        cancel("The print job could not be sent");
    lastJobId_ = jobId;
}

CupsPrinter::QueueStatus CupsPrinter::queueStatus(const std::string& name) {
    QueueStatus status;
    // An empty list may mean no queues or no scheduler: only a connection tells.
    if (http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 5000, nullptr)) {
        status.schedulerReachable = true;
        httpClose(http);
    }
    if (!status.schedulerReachable) return status;
    refresh();
    std::string queueName = name;
    if (queueName.empty()) {
        try {
            queueName = currentName();
        } catch (const Error&) {
            return status;
        }
    }
    const cups_dest_t* dest = findDest(queueName);
    if (!dest) return status;
    status.installed = true;
    auto option = [dest](const char* key) {
        const char* value = cupsGetOption(key, dest->num_options, dest->options);
        return std::string(value ? value : "");
    };
    status.stopped = option("printer-state") == std::to_string(IPP_PSTATE_STOPPED);
    status.acceptingJobs = option("printer-is-accepting-jobs") != "false";
    status.reason = option("printer-state-message");
    return status;
}

bool CupsPrinter::propertiesDialog(const std::string& device, std::optional<DeviceMode>& mode) {
    ensureLoaded();
    std::vector<PaperKind> paperList;
    std::vector<BinKind> binList;
    try {
        CupsQueue& q = queue(device);
        paperList = q.papers();
        binList = q.bins();
        if (!mode) mode = q.defaultMode();
    } catch (const Error&) {
        return false;
    }
    DeviceMode edited = *mode;
    if (!showPrinterPropertiesDialog(device, paperList, binList, edited)) return false;
    mode = edited;
    return true;
}

}  // namespace quor
