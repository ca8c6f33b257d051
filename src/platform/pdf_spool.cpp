#include "platform/pdf_spool.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "platform/atomic_file.h"
#include "platform/error.h"
#include "platform/qpainter_canvas.h"

namespace quor {

// The PDF writer's output device: every byte goes through the atomic
// file, which remembers the first failure for finish().
class PdfSpool::Device final : public QIODevice {
public:
    explicit Device(AtomicFile& file) : file_(file) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        return file_.write(std::string_view(data, static_cast<std::size_t>(size))) ? size : -1;
    }

private:
    AtomicFile& file_;
};

PdfSpool::PdfSpool(const SheetGeometry& sheet, const DeviceMetrics& metrics, bool landscape,
                   const std::string& title)
    // Never put in place: the file lives unnamed until it is dropped.
    : PdfSpool(QFile::encodeName(QDir::tempPath()).toStdString() + "/quor-print", sheet, metrics, landscape, title) {}

PdfSpool::PdfSpool(const std::string& target, const SheetGeometry& sheet, const DeviceMetrics& metrics,
                   bool landscape, const std::string& title)
    : file_(std::make_unique<AtomicFile>(target)), device_(std::make_unique<Device>(*file_)) {
    dpi_ = metrics.dpiX;
    writer_ = std::make_unique<QPdfWriter>(device_.get());
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
    const bool ended = !painter_->isActive() || painter_->end();
    writer_.reset();
    // A failed write is the cause worth telling (a full disk, say).
    if (file_->failed()) file_->finish();
    if (!ended) throw Error("Cannot finish the print file");
}

std::string PdfSpool::finish() {
    endDocument();
    file_->finish();
    return file_->readablePath();
}

std::unique_ptr<AtomicFile> PdfSpool::finishFile() {
    endDocument();
    file_->finish();
    device_.reset();
    return std::move(file_);
}

}  // namespace quor
