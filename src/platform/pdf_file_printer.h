#pragma once

// A platform printer that prints into one PDF file: the unattended run's
// "--pdf FILE". It offers one printer, "PDF", that takes any paper the page
// asks for (standard codes and custom sizes) with the virtual printer's
// 5 mm non-printable border on every side, at 600 dots per inch.
//
// Every job of one run goes into the same file, page after page (a run
// splits into jobs where the paper changes); commit() puts the file in
// place once the run is over. The file is written under a temporary name
// beside the target and renamed only when complete; nothing is left behind
// when the run fails, is aborted or is never committed.
//
// Copies: a file is one copy. The copy count is kept in the printer's
// settings, as a real printer's would be, but the file holds every page
// once; printing the file makes the copies.

#include <memory>
#include <string>
#include <vector>

#include "platform/paper_geometry.h"
#include "platform/platform_printer.h"

namespace quor {

class AtomicFile;
class PdfSpool;

inline constexpr char kPdfPrinterName[] = "PDF";

class PdfFilePrinter final : public PlatformPrinter {
public:
    explicit PdfFilePrinter(std::string target);
    ~PdfFilePrinter() override;

    void refresh() override {}
    const std::vector<std::string>& printers() override { return names_; }
    int printerIndex() override { return 0; }
    void setPrinterIndex(int index) override;

    PrinterSetup printerSetup() override;
    void setPrinterSetup(const PrinterSetup& setup) override;

    std::vector<PaperKind> papers(const std::string& device) override;
    std::vector<BinKind> bins(const std::string&) override { return {}; }
    DeviceMetrics metrics() override;

    int copies() override { return mode_.copies; }
    void setCopies(int copies) override;

    void setTitle(const std::string& title) override { title_ = title; }
    const std::string& title() const override { return title_; }
    void beginDoc() override;
    void newPage() override;
    void endDoc() override;
    void abort() override;
    bool printing() const override { return printing_; }
    Canvas& canvas() override;

    bool propertiesDialog(const std::string&, std::optional<DeviceMode>&) override { return false; }

    // Ends the file and hands it over complete but not yet in place, for a
    // run that publishes all its outputs together. Throws quor::Error when
    // no page was printed or the file cannot be written.
    std::unique_ptr<AtomicFile> finishFile();
    // Ends the file and puts it in place.
    void commit();
    const std::string& target() const { return target_; }
    // Pages in the file so far.
    int pageCount() const;

private:
    // The sheet the current settings ask for, with the border.
    SheetGeometry sheet() const;

    std::string target_;
    std::vector<std::string> names_{kPdfPrinterName};
    DeviceMode mode_;
    std::string title_;
    std::unique_ptr<PdfSpool> spool_;
    bool printing_ = false;
    bool jobEnded_ = false;
};

}  // namespace quor
