#pragma once

// A platform printer for tests: printers described in code, settings kept
// per printer, jobs and their pages recorded with what was drawn on each
// page, and faults on demand (a printer that cannot be reached, one that
// is gone at the next refresh, no default printer).

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/paper_geometry.h"
#include "platform/platform_printer.h"
#include "platform/recording_canvas.h"

namespace quor {

// A paper a test printer offers, with its sheet and hardware margins.
struct TestPaper {
    std::uint16_t code = 0;
    std::string name;
    SheetGeometry sheet;
};

struct TestPrinter {
    std::string name;
    std::string driver = "Recording driver";
    std::string port = "recording:";
    std::vector<TestPaper> papers;
    std::vector<BinKind> bins;
    int dpiX = 600;
    int dpiY = 600;
    DeviceMode mode;
    bool reachable = true;
};

struct RecordedPage {
    DeviceMetrics metrics;
    std::unique_ptr<RecordingCanvas> canvas;
};

struct RecordedJob {
    std::string printer;
    std::string title;
    int copies = 1;
    DeviceMode mode;
    std::vector<RecordedPage> pages;
    bool ended = false;
    bool aborted = false;
};

class RecordingPrinter final : public PlatformPrinter {
public:
    RecordingPrinter() = default;
    explicit RecordingPrinter(std::vector<TestPrinter> printers, int defaultIndex = 0);

    // A printer with A4 (code 9), Letter (1) and A5 (11), 5 mm hardware
    // margins, the bins "Tray 1" (257) and "Manual" (4), at 600 dpi, set
    // to A4 portrait from tray 257.
    static TestPrinter officePrinter(const std::string& name);

    // ---- the platform printer ----
    void refresh() override;
    const std::vector<std::string>& printers() override { return names_; }
    int printerIndex() override;
    void setPrinterIndex(int index) override;
    PrinterSetup printerSetup() override;
    void setPrinterSetup(const PrinterSetup& setup) override;
    std::vector<PaperKind> papers(const std::string& device) override;
    std::vector<BinKind> bins(const std::string& device) override;
    DeviceMetrics metrics() override;
    int copies() override;
    void setCopies(int copies) override;
    void setTitle(const std::string& title) override { title_ = title; }
    const std::string& title() const override { return title_; }
    void beginDoc() override;
    void newPage() override;
    void endDoc() override;
    void abort() override;
    bool printing() const override { return printing_; }
    Canvas& canvas() override;
    bool propertiesDialog(const std::string& device, std::optional<DeviceMode>& mode) override;

    // ---- for tests ----
    std::vector<TestPrinter>& testPrinters() { return printers_; }
    TestPrinter& testPrinter(const std::string& name);
    // The printer stays listed until the next refresh but cannot be reached.
    void vanish(const std::string& name);
    // -1: no default printer.
    void setDefaultIndex(int index) { defaultIndex_ = index; }
    const std::vector<RecordedJob>& jobs() const { return jobs_; }
    // Answers the properties dialog: returns whether the user confirmed and
    // may change the mode. Without an answer the dialog is cancelled.
    std::function<bool(const std::string& device, std::optional<DeviceMode>& mode)> onPropertiesDialog;
    // Calls that read or install the current printer's settings.
    int setupReads = 0;
    int setupInstalls = 0;

private:
    TestPrinter* find(const std::string& name);
    TestPrinter& reachablePrinter(const std::string& name);
    TestPrinter& current();
    SheetGeometry sheetFor(const TestPrinter& p, const DeviceMode& mode) const;
    void startPage();

    std::vector<TestPrinter> printers_;
    std::vector<std::string> names_;
    std::vector<std::string> vanished_;
    int defaultIndex_ = 0;
    std::string chosen_;
    std::string title_;
    bool printing_ = false;
    std::vector<RecordedJob> jobs_;
};

}  // namespace quor
