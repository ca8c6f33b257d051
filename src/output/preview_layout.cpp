#include "output/preview_layout.h"

#include <algorithm>

#include "engine/prepared_pages.h"
#include "platform/numbers.h"

namespace quor {
namespace {

// A page's size on the screen.
int screenSize(std::int32_t designPixels, double scale) {
    return roundClamped(designPixels * scale);
}

int pagesPerRow(const TfrEMFPages& pages, double scale, int areaWidth) {
    std::int64_t x = kPageGap;
    int count = 0;
    int best = 0;
    for (int i = 0; i < pages.Count(); ++i) {
        const std::int64_t right =
            screenSize(pages.Item(i).prnInfo.pageWidth, scale) + x + kPageGap;
        if (right > areaWidth) {
            // The row ends before this page, which is not counted anywhere.
            best = std::max(best, count);
            x = kPageGap;
            count = 0;
        } else {
            x = right;
            ++count;
        }
    }
    best = std::max(best, count);
    return std::max(best, 1);
}

int scrollMax(std::int64_t farEdge, int extent) {
    const std::int64_t max = farEdge - extent + kPageGap;
    return max < 0 ? 0 : clampToInt(max);
}

}  // namespace

double zoomScale(ZoomMode mode, double scale, int pageWidth, int pageHeight, Size area) {
    double fitted = scale;
    switch (mode) {
        case ZoomMode::fixed:
            return scale;
        case ZoomMode::pageWidth:
            if (pageWidth > 0) fitted = double(area.width - 2 * kPageGap) / pageWidth;
            break;
        case ZoomMode::wholePage:
            if (pageHeight > 0) fitted = double(area.height - 2 * kPageGap) / pageHeight;
            break;
        case ZoomMode::twoPages:
            if (pageWidth > 0) fitted = double(area.width - 3 * kPageGap) / (2.0 * pageWidth);
            break;
    }
    // A window shrunk below the gaps would give no page at all, or a
    // mirrored one: keep the pages a few pixels large instead.
    constexpr double kSmallestScale = 0.01;
    return fitted > kSmallestScale ? fitted : kSmallestScale;
}

PageLayout layoutPages(TfrEMFPages& pages, int currentIndex, ZoomMode mode, double scale,
                       Size area) {
    PageLayout result;
    result.scale = scale;
    if (pages.Count() == 0) return result;
    currentIndex = std::clamp(currentIndex, 0, pages.Count() - 1);
    const PrinterInfo& current = pages.Item(currentIndex).prnInfo;
    result.scale = zoomScale(mode, scale, current.pageWidth, current.pageHeight, area);

    int perRow = pagesPerRow(pages, result.scale, area.width);
    if (mode == ZoomMode::wholePage) perRow = 1;
    if (mode == ZoomMode::twoPages) perRow = 2;
    result.pagesPerRow = perRow;

    std::int64_t y = kPageGap;
    std::int64_t farRight = 0;
    std::int64_t farBottom = 0;
    for (int rowStart = 0; rowStart < pages.Count(); rowStart += perRow) {
        std::int64_t x = kPageGap;
        int rowHeight = 0;
        for (int i = rowStart; i < std::min(rowStart + perRow, pages.Count()); ++i) {
            PreparedPage& page = pages.Item(i);
            const int sw = screenSize(page.prnInfo.pageWidth, result.scale);
            const int sh = screenSize(page.prnInfo.pageHeight, result.scale);
            const std::int64_t left = (perRow == 1 && sw < area.width) ? (area.width - sw) / 2 : x;
            page.screenRect =
                Rect{clampToInt(left), clampToInt(y), clampToInt(left + sw), clampToInt(y + sh)};
            farRight = std::max<std::int64_t>(farRight, left + sw);
            farBottom = std::max<std::int64_t>(farBottom, y + sh);
            x += std::int64_t{sw} + kPageGap;
            rowHeight = std::max(rowHeight, sh);
        }
        y += std::int64_t{rowHeight} + kPageGap;
    }
    result.horizontalMax = scrollMax(farRight, area.width);
    result.verticalMax = scrollMax(farBottom, area.height);
    return result;
}

}  // namespace quor

namespace quor {

Rect pageContentRect(const PreparedPage& page, const Rect& sheet, double scale) {
    if (page.UseMargins) return sheet;
    const PrinterInfo& m = page.prnInfo;
    const PageMargins& g = page.Margins;
    const int left = roundClamped((double(m.offsetX) + g.left) * scale) + sheet.left;
    const int top = roundClamped((double(m.offsetY) + g.top) * scale) + sheet.top;
    const int width = roundClamped((double(m.printWidth) - g.left - g.right) * scale);
    const int height = roundClamped((double(m.printHeight) - g.top - g.bottom) * scale);
    return Rect{left, top, left + width, top + height};
}

}  // namespace quor
