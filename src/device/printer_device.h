#pragma once

// The report engine's one view of the printer: the platform's printers
// plus the virtual printer (always last), the current paper, bin and
// orientation, and the page geometry in design pixels (PrinterInfo).
//
// Plain C++ over PlatformPrinter, so the page engine may use it without
// widgets.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform_printer.h"

namespace quor {

inline constexpr double designPixelsPerInch = 93 / 1.015;
inline constexpr int customPaperCode = kCustomPaperCode;
// No particular paper source; only the low 16 bits of a bin are compared.
inline constexpr int automaticBin = 0xFFFF;
// At most this many bins of a device are taken.
inline constexpr int kMaxDeviceBins = 64;
inline constexpr int kMsgFirstBinName = 55435;

// A page on the current printer; the order of the fields is that of the
// prepared-page record.
struct PrinterInfo {
    std::int32_t devPageWidth = 0;
    std::int32_t devPageHeight = 0;
    std::int32_t pageWidth = 0;
    std::int32_t pageHeight = 0;
    std::int32_t devOffsetX = 0;
    std::int32_t devOffsetY = 0;
    std::int32_t offsetX = 0;
    std::int32_t offsetY = 0;
    std::int32_t devPrintWidth = 0;
    std::int32_t devPrintHeight = 0;
    std::int32_t printWidth = 0;
    std::int32_t printHeight = 0;
    friend bool operator==(const PrinterInfo&, const PrinterInfo&) = default;
};

class TfrPrinter {
public:
    TfrPrinter();
    TfrPrinter(const TfrPrinter&) = delete;
    TfrPrinter& operator=(const TfrPrinter&) = delete;

    void loadNames();
    // Rebuilds the printer list from `p` (which must outlive the device or
    // the next attach) and reads or applies the current printer's settings.
    void attach(PlatformPrinter* p);
    void selectPrinter(int index);
    void readSettings();
    void applySettings();
    bool matches(int code, int width, int height, int bin, int orient) const;
    void setPaper(int code, int width, int height, int bin, int orient, bool force);
    void fillMetrics(PrinterInfo& m);
    void showDeviceProperties();

    // Index of the printer with that name, letter case ignored; -1 if none.
    int findPrinter(std::string_view name) const;
    // Makes the virtual printer current (appending it if the list is empty).
    void useVirtualPrinter();
    bool isVirtual() const { return currentIndex_ == virtualIndex_; }

    const std::string& deviceName() const { return deviceName_; }
    const std::string& driverName() const { return driverName_; }
    const std::string& portName() const { return portName_; }
    PlatformPrinter* platformPrinter() const { return platformPrinter_; }
    const std::vector<std::string>& paperNames() const { return paperNames_; }
    const std::vector<std::string>& binNames() const { return binNames_; }
    const std::vector<std::string>& printerNames() const { return printerNames_; }
    int currentIndex() const { return currentIndex_; }
    int virtualIndex() const { return virtualIndex_; }
    int orientation() const { return orientation_; }
    int paperCode() const { return paperCode_; }
    int sheetWidth() const { return sheetWidth_; }
    int sheetHeight() const { return sheetHeight_; }
    int binCode() const { return binCode_; }
    const std::array<std::uint16_t, 256>& paperCodes() const { return paperCodes_; }
    int paperCount() const { return paperCount_; }
    const std::array<std::uint16_t, 256>& binCodes() const { return binCodes_; }
    int binCount() const { return binCount_; }

private:
    void appendVirtualPrinter();
    void takeNames(const PrinterSetup& setup);
    void readDeviceSettings(PlatformPrinter& p);
    void fillVirtualMetrics(PrinterInfo& m) const;

    std::string deviceName_;
    std::string driverName_;
    std::string portName_;
    // The current printer's settings while they are read or changed.
    std::optional<DeviceMode> deviceMode_;
    PlatformPrinter* platformPrinter_ = nullptr;
    std::vector<std::string> paperNames_;
    std::vector<std::string> binNames_;
    std::vector<std::string> printerNames_;
    int currentIndex_ = 0;
    int virtualIndex_ = 0;
    std::uint8_t orientation_ = 0;
    std::int32_t paperCode_ = 9;
    std::int32_t sheetWidth_ = 0;
    std::int32_t sheetHeight_ = 0;
    std::int32_t binCode_ = 0;
    std::array<std::uint16_t, 256> paperCodes_{};
    std::int32_t paperCount_ = 0;
    std::array<std::uint16_t, 256> binCodes_{};
    std::int32_t binCount_ = 0;
    // Names of the paper table's rows, loaded with loadNames.
    std::vector<std::string> tableNames_;
};

// The one printer device of the run. Start-up is reference-counted: nested
// starts and stops only count. `obtain` gives the platform printer (the
// CUPS one in the program, a double in tests); a failure there, or while
// the device attaches to it, leaves the device on the virtual printer.
using PlatformPrinterFactory = std::function<std::unique_ptr<PlatformPrinter>()>;
void startPrinterDevice(const PlatformPrinterFactory& obtain);
void stopPrinterDevice();
// Throws quor::Error when the device has not been started.
TfrPrinter& printerDevice();
bool printerDeviceReady();
int defaultPaperCode();

// Starts the device for a scope (tests, tools).
class PrinterDeviceSession {
public:
    explicit PrinterDeviceSession(const PlatformPrinterFactory& obtain) { startPrinterDevice(obtain); }
    ~PrinterDeviceSession() { stopPrinterDevice(); }
    PrinterDeviceSession(const PrinterDeviceSession&) = delete;
    PrinterDeviceSession& operator=(const PrinterDeviceSession&) = delete;
};

}  // namespace quor
