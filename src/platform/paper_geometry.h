#pragma once

// Paper sizes and sheet geometry shared by the printer implementations:
// the platform's standard paper codes (through QPageSize's Windows
// identifiers) and the conversion of a sheet with hardware margins into
// device metrics. Lengths are in hundredths of a millimetre.

#include <optional>
#include <string>

#include "platform/geometry.h"
#include "platform/platform_printer.h"

namespace quor {

// Non-printable borders of a sheet in portrait position.
struct SheetMargins {
    int left = 0;
    int bottom = 0;
    int right = 0;
    int top = 0;
    friend bool operator==(const SheetMargins&, const SheetMargins&) = default;
};

// A sheet in portrait position: width is the short side.
struct SheetGeometry {
    int width = 0;
    int length = 0;
    SheetMargins margins;
    friend bool operator==(const SheetGeometry&, const SheetGeometry&) = default;
};

// The standard code of a paper of that size (either side first), or 0.
int standardPaperCode(int width, int length);
// Portrait size of a standard code; empty for 256 and unknown codes.
std::optional<Size> standardPaperSize(int code);
// Display name of a standard code ("A4"); empty for unknown codes.
std::string standardPaperName(int code);

// Portrait size of the sheet a device mode asks for: the standard size of
// its code, or the custom width and length, which give the page as it is
// oriented (a landscape custom page names its long side as the width).
// Empty when neither is usable.
std::optional<Size> requestedPaperSize(const DeviceMode& mode);

// Metrics of a sheet at a resolution. A landscape page is the sheet turned
// a quarter counter-clockwise: its left border is the sheet's bottom one.
// Throws quor::Error for a resolution or size that is not positive.
DeviceMetrics sheetMetrics(const SheetGeometry& sheet, int dpiX, int dpiY, bool landscape);

}  // namespace quor
