#include "platform/paper_geometry.h"

#include <QPageSize>
#include <QSizeF>
#include <algorithm>
#include <cstdint>

#include "platform/error.h"
#include "platform/numbers.h"

namespace quor {

namespace {

constexpr int kHmmPerInch = 2540;

// The exact size of a standard paper from the unit it is defined in.
Size definitionSizeHmm(QPageSize::PageSizeId id) {
    const QSizeF size = QPageSize::definitionSize(id);
    switch (QPageSize::definitionUnits(id)) {
    case QPageSize::Millimeter:
        return Size{roundInt(size.width() * 100.0), roundInt(size.height() * 100.0)};
    case QPageSize::Inch:
        return Size{roundInt(size.width() * kHmmPerInch), roundInt(size.height() * kHmmPerInch)};
    default: {
        const QSizeF mm = QPageSize::size(id, QPageSize::Millimeter);
        return Size{roundInt(mm.width() * 100.0), roundInt(mm.height() * 100.0)};
    }
    }
}

// Whole dots a printer fits on a length: a partial dot is not printed.
int wholeDots(int hmm, int dpi) {
    return static_cast<int>(static_cast<std::int64_t>(hmm) * dpi / kHmmPerInch);
}

int nearestDots(int hmm, int dpi) {
    return roundInt(static_cast<double>(hmm) * dpi / kHmmPerInch);
}

}  // namespace

int standardPaperCode(int width, int length) {
    if (width <= 0 || length <= 0) return 0;
    const double shortSide = std::min(width, length) / 100.0;
    const double longSide = std::max(width, length) / 100.0;
    QPageSize page(QSizeF(shortSide, longSide), QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    if (page.id() == QPageSize::Custom) return 0;
    return page.windowsId();
}

std::optional<Size> standardPaperSize(int code) {
    if (code <= 0 || code == kCustomPaperCode) return std::nullopt;
    const QPageSize::PageSizeId id = QPageSize::id(code);
    if (id == QPageSize::Custom) return std::nullopt;
    Size s = definitionSizeHmm(id);
    if (s.width > s.height) std::swap(s.width, s.height);
    return s;
}

std::string standardPaperName(int code) {
    if (code <= 0 || code == kCustomPaperCode) return {};
    const QPageSize::PageSizeId id = QPageSize::id(code);
    if (id == QPageSize::Custom) return {};
    return QPageSize::name(id).toStdString();
}

std::optional<Size> requestedPaperSize(const DeviceMode& mode) {
    if (mode.paperSize == kCustomPaperCode) {
        if (mode.paperWidth <= 0 || mode.paperLength <= 0) return std::nullopt;
        if (mode.orientation == kDmLandscape) return Size{mode.paperLength * 10, mode.paperWidth * 10};
        return Size{mode.paperWidth * 10, mode.paperLength * 10};
    }
    return standardPaperSize(mode.paperSize);
}

DeviceMetrics sheetMetrics(const SheetGeometry& sheet, int dpiX, int dpiY, bool landscape) {
    if (dpiX <= 0 || dpiY <= 0) throw Error("The printer reports no resolution");
    if (sheet.width <= 0 || sheet.length <= 0) throw Error("The printer reports no paper size");
    // Borders of the page as it is drawn.
    SheetMargins m = sheet.margins;
    int across = sheet.width;
    int down = sheet.length;
    if (landscape) {
        m = SheetMargins{sheet.margins.bottom, sheet.margins.right, sheet.margins.top, sheet.margins.left};
        std::swap(across, down);
    }
    DeviceMetrics r;
    r.dpiX = dpiX;
    r.dpiY = dpiY;
    r.physicalWidth = wholeDots(across, dpiX);
    r.physicalHeight = wholeDots(down, dpiY);
    r.offsetX = nearestDots(m.left, dpiX);
    r.offsetY = nearestDots(m.top, dpiY);
    r.printableWidth = r.physicalWidth - r.offsetX - nearestDots(m.right, dpiX);
    r.printableHeight = r.physicalHeight - r.offsetY - nearestDots(m.bottom, dpiY);
    if (r.offsetX < 0 || r.offsetY < 0 || r.printableWidth <= 0 || r.printableHeight <= 0)
        throw Error("The printer reports margins that leave no printable area");
    return r;
}

}  // namespace quor
