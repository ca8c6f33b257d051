#include "platform/pdf_spool.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTemporaryFile>

#include "platform/error.h"
#include "platform/qpainter_canvas.h"

namespace quor {

PdfSpool::PdfSpool(const SheetGeometry& sheet, const DeviceMetrics& metrics, bool landscape,
                   const std::string& title) {
    // Qt adds the unique part to the name; CUPS is told the format, so the
    // name needs no suffix.
    auto file = std::make_unique<QTemporaryFile>(QDir::tempPath() + "/quor-print");
    if (!file->open()) throw Error("Cannot create the print file: " + file->errorString().toStdString());
    start(std::move(file), sheet, metrics, landscape, title);
}

PdfSpool::PdfSpool(const std::string& target, const SheetGeometry& sheet, const DeviceMetrics& metrics,
                   bool landscape, const std::string& title) {
    auto file = std::make_unique<QSaveFile>(QFile::decodeName(QByteArray::fromStdString(target)));
    // Never written in place: a reader sees the old file or the whole new one.
    file->setDirectWriteFallback(false);
    if (!file->open(QIODevice::WriteOnly))
        throw Error("Cannot create the file " + target + ": " + file->errorString().toStdString());
    start(std::move(file), sheet, metrics, landscape, title);
}

void PdfSpool::start(std::unique_ptr<QFileDevice> file, const SheetGeometry& sheet, const DeviceMetrics& metrics,
                     bool landscape, const std::string& title) {
    file_ = std::move(file);
    dpi_ = metrics.dpiX;
    writer_ = std::make_unique<QPdfWriter>(file_.get());
    writer_->setCreator("Quor Print");
    writer_->setTitle(QString::fromStdString(title));
    writer_->setResolution(metrics.dpiX);
    setLayout(sheet, landscape);
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(writer_.get())) throw Error("Cannot start the print file");
    startCanvas(metrics);
}

PdfSpool::~PdfSpool() {
    canvas_.reset();
    if (painter_ && painter_->isActive()) painter_->end();
    // An unfinished save file is dropped without touching its target.
    if (auto* save = dynamic_cast<QSaveFile*>(file_.get())) save->cancelWriting();
}

void PdfSpool::setLayout(const SheetGeometry& sheet, bool landscape) {
    const QPageSize size(QSizeF(sheet.width / 100.0, sheet.length / 100.0), QPageSize::Millimeter);
    writer_->setPageLayout(QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                       QMarginsF(0, 0, 0, 0)));
}

void PdfSpool::startCanvas(const DeviceMetrics& metrics) {
    // Dots in both directions, origin at the printable area.
    painter_->resetTransform();
    if (metrics.dpiY != metrics.dpiX && metrics.dpiY > 0)
        painter_->scale(1.0, static_cast<double>(metrics.dpiX) / metrics.dpiY);
    painter_->translate(metrics.offsetX, metrics.offsetY);
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
    canvas_ = std::make_unique<QPainterCanvas>(*painter_, true);
    ++pages_;
}

void PdfSpool::newPage(const SheetGeometry& sheet, const DeviceMetrics& metrics, bool landscape) {
    if (!painter_->isActive()) throw Error("No page is being printed");
    if (metrics.dpiX != dpi_) throw Error("The resolution cannot change within a print file");
    canvas_.reset();
    // The layout set between pages is the next page's.
    setLayout(sheet, landscape);
    writer_->newPage();
    startCanvas(metrics);
}

void PdfSpool::endDocument() {
    canvas_.reset();
    if (painter_->isActive() && !painter_->end()) throw Error("Cannot finish the print file");
    writer_.reset();
}

std::string PdfSpool::finish() {
    endDocument();
    if (!file_->flush()) throw Error("Cannot write the print file: " + file_->errorString().toStdString());
    return file_->fileName().toStdString();
}

void PdfSpool::commit() {
    auto* save = dynamic_cast<QSaveFile*>(file_.get());
    if (!save) throw Error("The print file has no target");
    endDocument();
    if (!save->commit())
        throw Error("Cannot write the file " + QFile::encodeName(save->fileName()).toStdString() + ": " +
                    save->errorString().toStdString());
}

}  // namespace quor
