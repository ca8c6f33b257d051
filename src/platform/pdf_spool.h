#pragma once

// The pages of a print job, drawn through a Canvas into a temporary PDF
// file that is then handed to the print queue. One unit of the canvas is
// one device dot; its origin is the corner of the printable area.

#include <memory>
#include <string>

#include "platform/paper_geometry.h"
#include "platform/platform_printer.h"

class QPainter;
class QPdfWriter;
class QTemporaryFile;

namespace quor {

class QPainterCanvas;

class PdfSpool {
public:
    // Opens the file and starts the first page. Throws quor::Error when the
    // temporary file cannot be made.
    PdfSpool(const SheetGeometry& sheet, const DeviceMetrics& metrics, bool landscape, const std::string& title);
    // Discards the file if it was not taken.
    ~PdfSpool();
    PdfSpool(const PdfSpool&) = delete;
    PdfSpool& operator=(const PdfSpool&) = delete;

    Canvas& canvas();
    void newPage();
    int pageCount() const { return pages_; }
    // Ends the document; the path of the finished PDF, which lives as long
    // as this object.
    std::string finish();

private:
    void startCanvas();

    DeviceMetrics metrics_;
    std::unique_ptr<QTemporaryFile> file_;
    std::unique_ptr<QPdfWriter> writer_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<QPainterCanvas> canvas_;
    int pages_ = 0;
};

}  // namespace quor
