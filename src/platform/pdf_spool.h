#pragma once

// The pages of a print job, drawn through a Canvas into a PDF file: a
// temporary one that is then handed to the print queue, or a file the user
// named, written as an atomic file beside it and put in place only when it
// is complete. One unit of the canvas is one device dot; its origin is
// the corner of the printable area. Fonts are embedded.

#include <memory>
#include <string>

#include "platform/paper_geometry.h"
#include "platform/platform_printer.h"

class QPainter;
class QPdfWriter;

namespace quor {

class AtomicFile;
class QPainterCanvas;

class PdfSpool {
public:
    // Into a temporary file of its own. Opens the file and starts the first
    // page; throws quor::Error when the file cannot be made.
    PdfSpool(const SheetGeometry& sheet, const DeviceMetrics& metrics, bool landscape, const std::string& title);
    // Into `target` (see finishFile).
    PdfSpool(const std::string& target, const SheetGeometry& sheet, const DeviceMetrics& metrics, bool landscape,
             const std::string& title);
    // Discards the file if it was not taken.
    ~PdfSpool();
    PdfSpool(const PdfSpool&) = delete;
    PdfSpool& operator=(const PdfSpool&) = delete;

    Canvas& canvas();
    void newPage();
    // A new page of another format; `metrics` must keep the resolution.
    void newPage(const SheetGeometry& sheet, const DeviceMetrics& metrics, bool landscape);
    int pageCount() const { return pages_; }
    // Ends the temporary document; the path of the finished PDF, which
    // lives as long as this object. Raises quor::Error when a write failed.
    std::string finish();
    // Ends the document written for a target and hands the finished file
    // over, not yet in place. Raises quor::Error when a write failed.
    std::unique_ptr<AtomicFile> finishFile();

private:
    class Device;

    void setLayout(const SheetGeometry& sheet, bool landscape);
    void startCanvas(const DeviceMetrics& metrics);
    void endDocument();

    std::unique_ptr<AtomicFile> file_;
    std::unique_ptr<Device> device_;
    std::unique_ptr<QPdfWriter> writer_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<QPainterCanvas> canvas_;
    int dpi_ = 0;
    int pages_ = 0;
};

}  // namespace quor
