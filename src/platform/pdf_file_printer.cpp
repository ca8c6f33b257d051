#include "platform/pdf_file_printer.h"

#include <algorithm>

#include "platform/atomic_file.h"
#include "platform/error.h"
#include "platform/paper_geometry.h"
#include "platform/pdf_spool.h"

namespace quor {
namespace {

constexpr int kDpi = 600;
// 5 mm in hundredths of a millimetre.
constexpr int kBorder = 500;
constexpr int kA4 = 9;
// The standard paper codes offered by name; any other size is custom.
constexpr int kLastListedCode = 68;

const char* const kNotValid = "Printer selected is not valid";

}  // namespace

PdfFilePrinter::PdfFilePrinter(std::string target) : target_(std::move(target)) {
    mode_.fields = kDmOrientation | kDmPaperSize | kDmCopies;
    mode_.paperSize = kA4;
}

PdfFilePrinter::~PdfFilePrinter() = default;

void PdfFilePrinter::setPrinterIndex(int index) {
    if (index != 0) throw Error("Printer index out of range");
}

PrinterSetup PdfFilePrinter::printerSetup() {
    return PrinterSetup{kPdfPrinterName, "Quor Print PDF", target_, mode_};
}

void PdfFilePrinter::setPrinterSetup(const PrinterSetup& setup) {
    if (setup.device != kPdfPrinterName) throw Error(kNotValid);
    if (!setup.mode) return;
    DeviceMode mode = *setup.mode;
    // Whatever the caller keeps, this printer takes every field.
    mode.fields = kDmOrientation | kDmPaperSize | kDmCopies |
                  (mode.paperSize == kCustomPaperCode ? kDmPaperLength | kDmPaperWidth : 0u);
    mode_ = mode;
}

std::vector<PaperKind> PdfFilePrinter::papers(const std::string& device) {
    if (device != kPdfPrinterName) throw Error(kNotValid);
    std::vector<PaperKind> list;
    for (int code = 1; code <= kLastListedCode; ++code)
        if (standardPaperSize(code)) list.push_back({static_cast<std::uint16_t>(code), standardPaperName(code)});
    list.push_back({static_cast<std::uint16_t>(kCustomPaperCode), "Custom"});
    return list;
}

SheetGeometry PdfFilePrinter::sheet() const {
    const std::optional<Size> size = requestedPaperSize(mode_);
    if (!size) throw Error("The printer has no paper size");
    return SheetGeometry{size->width, size->height, SheetMargins{kBorder, kBorder, kBorder, kBorder}};
}

DeviceMetrics PdfFilePrinter::metrics() { return sheetMetrics(sheet(), kDpi, kDpi, mode_.orientation == kDmLandscape); }

void PdfFilePrinter::setCopies(int copies) { mode_.copies = static_cast<std::int16_t>(std::clamp(copies, 1, 9999)); }

void PdfFilePrinter::beginDoc() {
    if (printing_) throw Error("Printing in progress");
    const bool landscape = mode_.orientation == kDmLandscape;
    // A later job of the same run continues the same file.
    if (spool_)
        spool_->newPage(sheet(), metrics(), landscape);
    else
        spool_ = std::make_unique<PdfSpool>(target_, sheet(), metrics(), landscape, title_);
    printing_ = true;
}

void PdfFilePrinter::newPage() {
    if (!printing_) throw Error("No page is being printed");
    spool_->newPage();
}

Canvas& PdfFilePrinter::canvas() {
    if (!printing_) throw Error("No page is being printed");
    return spool_->canvas();
}

void PdfFilePrinter::endDoc() {
    if (!printing_) throw Error("No page is being printed");
    printing_ = false;
    jobEnded_ = true;
}

void PdfFilePrinter::abort() {
    // Nothing of the run reaches the target.
    printing_ = false;
    jobEnded_ = false;
    spool_.reset();
}

int PdfFilePrinter::pageCount() const { return spool_ ? spool_->pageCount() : 0; }

std::unique_ptr<AtomicFile> PdfFilePrinter::finishFile() {
    if (printing_) throw Error("Printing in progress");
    if (!spool_ || !jobEnded_) throw Error("Nothing was printed into " + target_);
    std::unique_ptr<AtomicFile> file = spool_->finishFile();
    spool_.reset();
    jobEnded_ = false;
    return file;
}

void PdfFilePrinter::commit() { finishFile()->publish(); }

}  // namespace quor
