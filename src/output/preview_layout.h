#pragma once

// Where the preview puts the prepared pages: the scale of a zoom mode, how
// many pages stand in a row, every page's screen rectangle and the scroll
// ranges that follow. Plain arithmetic on the page records, no widgets.

#include <cstdint>

#include "platform/geometry.h"

namespace quor {

class TfrEMFPages;
struct PreparedPage;

enum class ZoomMode : std::uint8_t { fixed = 0, pageWidth = 1, wholePage = 2, twoPages = 3 };

// The gap around and between pages, in screen pixels.
inline constexpr int kPageGap = 10;

struct PageLayout {
    double scale = 1.0;
    int pagesPerRow = 1;
    int horizontalMax = 0;  // scroll ranges: 0 means nothing to scroll
    int verticalMax = 0;
};

// The scale a mode gives for a page of w x h design pixels on the area;
// `scale` is kept in the fixed mode (and when the page has no size).
double zoomScale(ZoomMode mode, double scale, int pageWidth, int pageHeight, Size area);

// Lays the pages out at the mode's scale, taking the size of the page at
// `currentIndex` (0-based) for the modes that fit a page to the area, and
// sets every page's screenRect. Nothing happens without pages.
PageLayout layoutPages(TfrEMFPages& pages, int currentIndex, ZoomMode mode, double scale,
                       Size area);

// Where a page's objects go when its whole sheet is drawn at `sheet` with
// `scale` screen pixels per design pixel: inside the printer's non-printable
// offsets and the page margins, unless the page uses its own margins.
Rect pageContentRect(const PreparedPage& page, const Rect& sheet, double scale);

}  // namespace quor
