#include "platform/pdf_spool.h"

#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryFile>

#include "platform/error.h"
#include "platform/qpainter_canvas.h"

namespace quor {

PdfSpool::PdfSpool(const SheetGeometry& sheet, const DeviceMetrics& metrics, bool landscape,
                   const std::string& title)
    : metrics_(metrics) {
    file_ = std::make_unique<QTemporaryFile>(QDir::tempPath() + "/quor-print-XXXXXX.pdf");
    if (!file_->open()) throw Error("Cannot create the print file: " + file_->errorString().toStdString());
    writer_ = std::make_unique<QPdfWriter>(file_.get());
    writer_->setCreator("Quor Print");
    writer_->setTitle(QString::fromStdString(title));
    writer_->setResolution(metrics.dpiX);
    const QPageSize size(QSizeF(sheet.width / 100.0, sheet.length / 100.0), QPageSize::Millimeter);
    writer_->setPageLayout(QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                       QMarginsF(0, 0, 0, 0)));
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(writer_.get())) throw Error("Cannot start the print file");
    // Dots in both directions, origin at the printable area.
    if (metrics.dpiY != metrics.dpiX) painter_->scale(1.0, static_cast<double>(metrics.dpiX) / metrics.dpiY);
    painter_->translate(metrics.offsetX, metrics.offsetY);
    startCanvas();
}

PdfSpool::~PdfSpool() {
    canvas_.reset();
    if (painter_ && painter_->isActive()) painter_->end();
}

void PdfSpool::startCanvas() {
    canvas_ = std::make_unique<QPainterCanvas>(*painter_, true);
    ++pages_;
}

Canvas& PdfSpool::canvas() {
    if (!canvas_) throw Error("No page is being printed");
    return *canvas_;
}

void PdfSpool::newPage() {
    if (!painter_->isActive()) throw Error("No page is being printed");
    canvas_.reset();
    writer_->newPage();
    startCanvas();
}

std::string PdfSpool::finish() {
    canvas_.reset();
    if (painter_->isActive() && !painter_->end()) throw Error("Cannot finish the print file");
    writer_.reset();
    if (!file_->flush()) throw Error("Cannot write the print file: " + file_->errorString().toStdString());
    return file_->fileName().toStdString();
}

}  // namespace quor
