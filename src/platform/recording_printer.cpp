#include "platform/recording_printer.h"

#include <algorithm>

#include "platform/error.h"

namespace quor {

namespace {
const char* const kNoDefault = "There is no default printer currently selected";
const char* const kIndexOutOfRange = "Printer index out of range";
const char* const kNotValid = "Printer selected is not valid";
const char* const kNotSupported = "Operation not supported on selected printer";
const char* const kNoJob = "No page is being printed";
}  // namespace

RecordingPrinter::RecordingPrinter(std::vector<TestPrinter> printers, int defaultIndex)
    : printers_(std::move(printers)), defaultIndex_(defaultIndex) {
    refresh();
}

TestPrinter RecordingPrinter::officePrinter(const std::string& name) {
    const SheetMargins margins{500, 500, 500, 500};
    TestPrinter p;
    p.name = name;
    p.papers = {
        {9, "A4", {21000, 29700, margins}},
        {1, "Letter", {21590, 27940, margins}},
        {11, "A5", {14800, 21000, margins}},
    };
    p.bins = {{257, "Tray 1"}, {4, "Manual"}};
    p.mode.fields = kDmOrientation | kDmPaperSize | kDmCopies | kDmDefaultSource;
    p.mode.paperSize = 9;
    p.mode.orientation = kDmPortrait;
    p.mode.copies = 1;
    p.mode.defaultSource = 257;
    return p;
}

void RecordingPrinter::refresh() {
    std::erase_if(printers_, [&](const TestPrinter& p) {
        return std::find(vanished_.begin(), vanished_.end(), p.name) != vanished_.end();
    });
    vanished_.clear();
    names_.clear();
    for (const TestPrinter& p : printers_) names_.push_back(p.name);
}

TestPrinter* RecordingPrinter::find(const std::string& name) {
    auto it = std::find_if(printers_.begin(), printers_.end(), [&](const TestPrinter& p) { return p.name == name; });
    return it == printers_.end() ? nullptr : &*it;
}

TestPrinter& RecordingPrinter::testPrinter(const std::string& name) {
    TestPrinter* p = find(name);
    if (!p) throw Error(kNotValid);
    return *p;
}

void RecordingPrinter::vanish(const std::string& name) {
    testPrinter(name).reachable = false;
    vanished_.push_back(name);
}

TestPrinter& RecordingPrinter::reachablePrinter(const std::string& name) {
    TestPrinter* p = find(name);
    if (!p || !p->reachable) throw Error("The printer \"" + name + "\" cannot be reached");
    return *p;
}

int RecordingPrinter::printerIndex() {
    if (!chosen_.empty()) {
        auto it = std::find(names_.begin(), names_.end(), chosen_);
        if (it != names_.end()) return static_cast<int>(it - names_.begin());
    }
    if (defaultIndex_ >= 0 && defaultIndex_ < static_cast<int>(names_.size())) return defaultIndex_;
    throw Error(kNoDefault);
}

void RecordingPrinter::setPrinterIndex(int index) {
    if (index < 0 || index >= static_cast<int>(names_.size())) throw Error(kIndexOutOfRange);
    chosen_ = names_[index];
}

TestPrinter& RecordingPrinter::current() { return reachablePrinter(names_[printerIndex()]); }

PrinterSetup RecordingPrinter::printerSetup() {
    ++setupReads;
    PrinterSetup s;
    s.device = names_[printerIndex()];
    TestPrinter* p = find(s.device);
    if (p && p->reachable) {
        s.driver = p->driver;
        s.port = p->port;
        s.mode = p->mode;
    }
    return s;
}

void RecordingPrinter::setPrinterSetup(const PrinterSetup& setup) {
    ++setupInstalls;
    if (std::find(names_.begin(), names_.end(), setup.device) == names_.end()) throw Error(kNotValid);
    chosen_ = setup.device;
    if (TestPrinter* p = find(setup.device); p && setup.mode) p->mode = *setup.mode;
}

std::vector<PaperKind> RecordingPrinter::papers(const std::string& device) {
    std::vector<PaperKind> out;
    for (const TestPaper& paper : reachablePrinter(device).papers) out.push_back(PaperKind{paper.code, paper.name});
    return out;
}

std::vector<BinKind> RecordingPrinter::bins(const std::string& device) { return reachablePrinter(device).bins; }

SheetGeometry RecordingPrinter::sheetFor(const TestPrinter& p, const DeviceMode& mode) const {
    const SheetMargins margins = p.papers.empty() ? SheetMargins{} : p.papers.front().sheet.margins;
    if (mode.paperSize != kCustomPaperCode) {
        for (const TestPaper& paper : p.papers)
            if (paper.code == mode.paperSize) return paper.sheet;
    }
    const std::optional<Size> size = requestedPaperSize(mode);
    if (!size) throw Error("The printer does not know the paper code " + std::to_string(mode.paperSize));
    return SheetGeometry{size->width, size->height, margins};
}

DeviceMetrics RecordingPrinter::metrics() {
    TestPrinter& p = current();
    return sheetMetrics(sheetFor(p, p.mode), p.dpiX, p.dpiY, p.mode.orientation == kDmLandscape);
}

int RecordingPrinter::copies() {
    try {
        return current().mode.copies;
    } catch (const Error&) {
        throw Error(kNotSupported);
    }
}

void RecordingPrinter::setCopies(int copies) {
    TestPrinter* p = nullptr;
    try {
        p = &current();
    } catch (const Error&) {
        throw Error(kNotSupported);
    }
    p->mode.copies = static_cast<std::int16_t>(std::clamp(copies, 1, 9999));
}

void RecordingPrinter::beginDoc() {
    if (printing_) throw Error("Printing in progress");
    TestPrinter& p = current();
    RecordedJob job;
    job.printer = p.name;
    job.title = title_;
    job.copies = p.mode.copies;
    job.mode = p.mode;
    jobs_.push_back(std::move(job));
    printing_ = true;
    startPage();
}

void RecordingPrinter::startPage() {
    TestPrinter& p = current();
    RecordedPage page;
    page.metrics = metrics();
    page.canvas = std::make_unique<RecordingCanvas>(
        p.dpiX, true, Rect{0, 0, page.metrics.printableWidth, page.metrics.printableHeight});
    jobs_.back().pages.push_back(std::move(page));
}

void RecordingPrinter::newPage() {
    if (!printing_) throw Error(kNoJob);
    startPage();
}

void RecordingPrinter::endDoc() {
    if (!printing_) throw Error(kNoJob);
    jobs_.back().ended = true;
    printing_ = false;
}

void RecordingPrinter::abort() {
    if (!printing_) return;
    jobs_.back().aborted = true;
    printing_ = false;
}

Canvas& RecordingPrinter::canvas() {
    if (!printing_) throw Error(kNoJob);
    return *jobs_.back().pages.back().canvas;
}

bool RecordingPrinter::propertiesDialog(const std::string& device, std::optional<DeviceMode>& mode) {
    return onPropertiesDialog ? onPropertiesDialog(device, mode) : false;
}

}  // namespace quor
