#pragma once

// The desktop's printing services as the report engine sees them: a list of
// printers with a current one, the current printer's settings as a
// device-mode record, its capabilities and metrics, print jobs drawn page by
// page through a Canvas, and the driver's properties dialog.
//
// Implemented over CUPS (CupsPrinter) and by a recording double for tests
// (RecordingPrinter). Lengths are in hundredths of a millimetre unless a
// name says otherwise; device geometry is in dots.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quor {

class Canvas;

// Bits of DeviceMode::fields: which fields the printer supports.
enum DeviceModeField : std::uint32_t {
    kDmOrientation = 0x1,
    kDmPaperSize = 0x2,
    kDmPaperLength = 0x4,
    kDmPaperWidth = 0x8,
    kDmCopies = 0x100,
    kDmDefaultSource = 0x200,
};

inline constexpr std::int16_t kDmPortrait = 1;
inline constexpr std::int16_t kDmLandscape = 2;

// The platform's standard paper-size code of a user-defined size.
inline constexpr int kCustomPaperCode = 256;

// A printer's settings. Paper codes are the platform's standard paper-size
// codes (9 = A4); a custom size (256) gives its portrait width and length
// in tenths of a millimetre.
struct DeviceMode {
    std::uint32_t fields = 0;
    std::int16_t orientation = kDmPortrait;
    std::int16_t paperSize = 0;
    std::int16_t paperLength = 0;
    std::int16_t paperWidth = 0;
    std::int16_t copies = 1;
    std::int16_t defaultSource = 0;
    friend bool operator==(const DeviceMode&, const DeviceMode&) = default;
};

// The current printer as the platform names it, with its settings; `mode`
// is empty when the printer cannot be reached.
struct PrinterSetup {
    std::string device;
    std::string driver;
    std::string port;
    std::optional<DeviceMode> mode;
};

struct PaperKind {
    std::uint16_t code = 0;
    std::string name;
    friend bool operator==(const PaperKind&, const PaperKind&) = default;
};

struct BinKind {
    std::uint16_t code = 0;
    std::string name;
    friend bool operator==(const BinKind&, const BinKind&) = default;
};

// Geometry of the current page in device dots; the printable area is the
// part of the sheet the printer can mark.
struct DeviceMetrics {
    int dpiX = 0;
    int dpiY = 0;
    int physicalWidth = 0;
    int physicalHeight = 0;
    int offsetX = 0;
    int offsetY = 0;
    int printableWidth = 0;
    int printableHeight = 0;
    friend bool operator==(const DeviceMetrics&, const DeviceMetrics&) = default;
};

class PlatformPrinter {
public:
    virtual ~PlatformPrinter() = default;

    // Printers. The list is read once and again on refresh(); indexes refer
    // to the list as last read.
    virtual void refresh() = 0;
    virtual const std::vector<std::string>& printers() = 0;
    // The current printer; the system's default until one is chosen.
    // Throws "There is no default printer currently selected".
    virtual int printerIndex() = 0;
    // Throws "Printer index out of range".
    virtual void setPrinterIndex(int index) = 0;

    // The current printer's names and settings, read afresh.
    virtual PrinterSetup printerSetup() = 0;
    // Makes the named printer current with the given settings.
    // Throws "Printer selected is not valid" for an unknown device.
    virtual void setPrinterSetup(const PrinterSetup& setup) = 0;

    // Capabilities of a device by name, in the printer's own order.
    virtual std::vector<PaperKind> papers(const std::string& device) = 0;
    virtual std::vector<BinKind> bins(const std::string& device) = 0;
    // Metrics of the current printer under its current settings.
    virtual DeviceMetrics metrics() = 0;

    // Copies are part of the current printer's settings.
    // Throws "Operation not supported on selected printer" without settings.
    virtual int copies() = 0;
    virtual void setCopies(int copies) = 0;

    // Jobs on the current printer with its current settings.
    virtual void setTitle(const std::string& title) = 0;
    virtual const std::string& title() const = 0;
    virtual void beginDoc() = 0;
    virtual void newPage() = 0;
    virtual void endDoc() = 0;
    // Nothing of an aborted job reaches the printer.
    virtual void abort() = 0;
    virtual bool printing() const = 0;
    // The current page; origin at the corner of the printable area, one
    // unit per device dot. Valid only while printing.
    virtual Canvas& canvas() = 0;

    // Shows the printer's properties dialog for `device` with `mode` as
    // input and output; true when the user confirmed it.
    virtual bool propertiesDialog(const std::string& device,
                                  std::optional<DeviceMode>& mode) = 0;
};

}  // namespace quor
