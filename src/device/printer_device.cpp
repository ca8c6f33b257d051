#include "device/printer_device.h"

#include <QString>
#include <algorithm>
#include <cstdlib>

#include "device/paper_table.h"
#include "platform/error.h"
#include "platform/messages.h"
#include "platform/numbers.h"

namespace quor {

namespace {

// The virtual printer's non-printable border: 5 mm on every side.
constexpr int kVirtualBorder = 50;

int tenthsMmToDesign(int value) { return roundInt(value * designPixelsPerInch / 254); }

// A name read from a capability field ends at its first zero byte.
std::string fieldName(const std::string& s) { return s.substr(0, s.find('\0')); }

}  // namespace

TfrPrinter::TfrPrinter() { loadNames(); }

void TfrPrinter::loadNames() {
    tableNames_.clear();
    for (int i = 0; i < kPaperTableSize; ++i) tableNames_.push_back(message(kMsgFirstPaperName + i));
    if (!printerNames_.empty()) printerNames_.back() = message(kMsgVirtualPrinter);
}

void TfrPrinter::appendVirtualPrinter() {
    printerNames_.push_back(message(kMsgVirtualPrinter));
    virtualIndex_ = static_cast<int>(printerNames_.size()) - 1;
}

void TfrPrinter::useVirtualPrinter() {
    if (printerNames_.empty()) appendVirtualPrinter();
    currentIndex_ = virtualIndex_;
    applySettings();
}

void TfrPrinter::attach(PlatformPrinter* p) {
    printerNames_.clear();
    currentIndex_ = 0;
    platformPrinter_ = p;
    bool anyPrinter = false;
    if (p) {
        p->refresh();
        const std::vector<std::string>& names = p->printers();
        anyPrinter = !names.empty();
        if (anyPrinter) {
            printerNames_ = names;
            try {
                const int index = p->printerIndex();
                if (index < 0 || index >= static_cast<int>(names.size()))
                    throw Error("Printer index out of range");
                currentIndex_ = index;
            } catch (...) {
                // Keep the list whole and usable before the error goes on.
                appendVirtualPrinter();
                useVirtualPrinter();
                throw;
            }
        }
    }
    appendVirtualPrinter();
    if (!anyPrinter) {
        applySettings();
        return;
    }
    try {
        readSettings();
    } catch (...) {
        useVirtualPrinter();
        throw;
    }
}

void TfrPrinter::selectPrinter(int index) {
    if (index == currentIndex_) return;
    if (index < 0 || index >= static_cast<int>(printerNames_.size()))
        throw Error("Printer index out of range");
    if (index == virtualIndex_) {
        currentIndex_ = index;
        applySettings();
        return;
    }
    PlatformPrinter* p = platformPrinter_;
    if (!p || p->printers().empty()) {
        currentIndex_ = index;
        return;
    }
    p->setPrinterIndex(index);
    currentIndex_ = index;
    readSettings();
}

void TfrPrinter::takeNames(const PrinterSetup& setup) {
    deviceName_ = setup.device;
    driverName_ = setup.driver;
    portName_ = setup.port;
    deviceMode_ = setup.mode;
}

void TfrPrinter::readSettings() {
    PlatformPrinter* p = platformPrinter_;
    if (!p) {
        selectPrinter(virtualIndex_);
        return;
    }
    PrinterSetup setup = p->printerSetup();
    if (!setup.mode) setup = p->printerSetup();
    takeNames(setup);
    try {
        readDeviceSettings(*p);
    } catch (...) {
        // An unreachable or inconsistent printer leaves the device on the
        // virtual printer; the error goes no further.
        deviceMode_.reset();
        selectPrinter(virtualIndex_);
    }
    deviceMode_.reset();
}

void TfrPrinter::readDeviceSettings(PlatformPrinter& p) {
    if (!deviceMode_) {
        selectPrinter(virtualIndex_);
        return;
    }
    const DeviceMode& dm = *deviceMode_;
    paperCode_ = dm.paperSize;

    const DeviceMetrics metrics = p.metrics();
    if (metrics.dpiX <= 0 || metrics.dpiY <= 0) throw Error("The printer reports no resolution");
    sheetWidth_ = roundInt(static_cast<double>(metrics.physicalWidth) / metrics.dpiX * 254);
    sheetHeight_ = roundInt(static_cast<double>(metrics.physicalHeight) / metrics.dpiY * 254);

    paperCodes_.fill(0);
    const std::vector<PaperKind> papers = p.papers(deviceName_);
    paperCount_ = static_cast<int>(std::min<std::size_t>(papers.size(), paperCodes_.size()));
    paperNames_.clear();
    for (int i = 0; i < paperCount_; ++i) {
        paperCodes_[i] = papers[i].code;
        paperNames_.push_back(fieldName(papers[i].name));
    }

    binCode_ = dm.defaultSource;
    const std::vector<BinKind> bins = p.bins(deviceName_);
    binCount_ = static_cast<int>(std::min<std::size_t>(bins.size(), kMaxDeviceBins));
    binNames_.clear();
    binNames_.push_back(message(kMsgFirstBinName));
    binCodes_[0] = automaticBin;
    for (int i = 0; i < binCount_; ++i) {
        binCodes_[i + 1] = bins[i].code;
        binNames_.push_back(fieldName(bins[i].name));
    }
    binCount_ += 1;

    orientation_ = dm.orientation == kDmPortrait ? 0 : 1;
}

void TfrPrinter::applySettings() {
    if (currentIndex_ == virtualIndex_) {
        paperNames_ = tableNames_;
        for (int i = 0; i < kPaperTableSize; ++i) paperCodes_[i] = static_cast<std::uint16_t>(paperTable[i].code);
        paperCount_ = kPaperTableSize;
        if (paperCode_ == customPaperCode) return;
        const auto row = std::find_if(paperTable.begin(), paperTable.end(),
                                      [&](const TPaperInfo& r) { return r.code == paperCode_; });
        if (row == paperTable.end()) return;
        sheetWidth_ = row->width;
        sheetHeight_ = row->height;
        if (orientation_ == 1) std::swap(sheetWidth_, sheetHeight_);
        return;
    }

    PlatformPrinter* p = platformPrinter_;
    if (!p) {
        selectPrinter(virtualIndex_);
        return;
    }
    PrinterSetup setup = p->printerSetup();
    takeNames(setup);
    if (!deviceMode_) {
        // The printer has gone: nothing to apply the format to.
        selectPrinter(virtualIndex_);
        return;
    }
    DeviceMode& dm = *deviceMode_;
    if (paperCode_ == customPaperCode) {
        dm.fields |= kDmPaperLength | kDmPaperWidth;
        dm.paperLength = static_cast<std::int16_t>(sheetHeight_);
        dm.paperWidth = static_cast<std::int16_t>(sheetWidth_);
    } else {
        dm.fields &= ~static_cast<std::uint32_t>(kDmPaperLength | kDmPaperWidth);
    }
    if (dm.fields & kDmPaperSize) dm.paperSize = static_cast<std::int16_t>(paperCode_);
    if (dm.fields & kDmOrientation) dm.orientation = orientation_ == 1 ? kDmLandscape : kDmPortrait;
    if (dm.fields & kDmCopies) dm.copies = 1;
    if ((dm.fields & kDmDefaultSource) && (binCode_ & 0xFFFF) != 0xFFFF)
        dm.defaultSource = static_cast<std::int16_t>(binCode_);
    setup.mode = dm;
    deviceMode_.reset();
    p->setPrinterSetup(setup);
    readSettings();
}

namespace {
// Sizes from a damaged page may lie at both ends of the int range.
bool within1(int a, int b) { return std::llabs(std::int64_t{a} - b) <= 1; }
}  // namespace

bool TfrPrinter::matches(int code, int width, int height, int bin, int orient) const {
    if (code == paperCode_ && code == customPaperCode)
        return within1(sheetWidth_, width) && within1(sheetHeight_, height) && orient == orientation_;
    return code == paperCode_ && orient == orientation_ && (bin == binCode_ || (bin & 0xFFFF) == 0xFFFF);
}

void TfrPrinter::setPaper(int code, int width, int height, int bin, int orient, bool force) {
    if (platformPrinter_ && platformPrinter_->printing()) return;
    if (!force && matches(code, width, height, bin, orient)) return;
    paperCode_ = code;
    sheetWidth_ = width;
    sheetHeight_ = height;
    orientation_ = static_cast<std::uint8_t>(orient);
    binCode_ = bin;
    applySettings();
}

void TfrPrinter::fillVirtualMetrics(PrinterInfo& m) const {
    m.pageWidth = tenthsMmToDesign(sheetWidth_);
    m.pageHeight = tenthsMmToDesign(sheetHeight_);
    m.offsetX = m.offsetY = tenthsMmToDesign(kVirtualBorder);
    m.printWidth = m.pageWidth - 2 * m.offsetX;
    m.printHeight = m.pageHeight - 2 * m.offsetY;
}

void TfrPrinter::fillMetrics(PrinterInfo& m) {
    if (currentIndex_ == virtualIndex_ || !platformPrinter_) {
        fillVirtualMetrics(m);
        return;
    }
    DeviceMetrics d;
    try {
        d = platformPrinter_->metrics();
        if (d.dpiX <= 0 || d.dpiY <= 0) throw Error("The printer reports no resolution");
    } catch (...) {
        // Like a failed read of the settings: lay out on the virtual printer.
        selectPrinter(virtualIndex_);
        fillVirtualMetrics(m);
        return;
    }
    const double kx = designPixelsPerInch / d.dpiX;
    const double ky = designPixelsPerInch / d.dpiY;
    m.devPageWidth = d.physicalWidth;
    m.pageWidth = roundInt(m.devPageWidth * kx);
    m.devPageHeight = d.physicalHeight;
    m.pageHeight = roundInt(m.devPageHeight * ky);
    m.devOffsetX = d.offsetX;
    m.offsetX = roundInt(m.devOffsetX * kx);
    m.devOffsetY = d.offsetY;
    m.offsetY = roundInt(m.devOffsetY * ky);
    m.devPrintWidth = d.printableWidth;
    m.printWidth = roundInt(m.devPrintWidth * kx);
    m.devPrintHeight = d.printableHeight;
    m.printHeight = roundInt(m.devPrintHeight * ky);
}

void TfrPrinter::showDeviceProperties() {
    PlatformPrinter* p = platformPrinter_;
    if (!p) return;
    PrinterSetup setup = p->printerSetup();
    takeNames(setup);
    std::optional<DeviceMode> copy = deviceMode_;
    deviceMode_.reset();
    if (!p->propertiesDialog(deviceName_, copy)) return;
    setup.mode = copy;
    p->setPrinterSetup(setup);
}

int TfrPrinter::findPrinter(std::string_view name) const {
    const QString wanted = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    for (std::size_t i = 0; i < printerNames_.size(); ++i) {
        if (QString::fromStdString(printerNames_[i]).compare(wanted, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

// ---- the one device of the run ----

namespace {

struct PrinterDeviceState {
    int users = 0;
    std::unique_ptr<PlatformPrinter> platform;
    std::unique_ptr<TfrPrinter> device;
    bool ready = false;
    int defaultPaperCode = 0;
};

PrinterDeviceState& deviceState() {
    static PrinterDeviceState state;
    return state;
}

}  // namespace

void startPrinterDevice(const PlatformPrinterFactory& obtain) {
    PrinterDeviceState& s = deviceState();
    if (s.users++ > 0) return;
    s.device = std::make_unique<TfrPrinter>();
    s.defaultPaperCode = 0;
    try {
        if (obtain) s.platform = obtain();
    } catch (...) {
        s.platform.reset();
    }
    bool attached = false;
    if (s.platform) {
        try {
            s.device->attach(s.platform.get());
            attached = true;
        } catch (...) {
        }
    }
    if (!attached) s.device->useVirtualPrinter();
    // Also after a failure, so that new pages get a paper the device knows.
    s.defaultPaperCode = s.device->paperCode();
    s.ready = true;
}

void stopPrinterDevice() {
    PrinterDeviceState& s = deviceState();
    if (s.users == 0 || --s.users > 0) return;
    s.device.reset();
    s.platform.reset();
    s.ready = false;
    s.defaultPaperCode = 0;
}

TfrPrinter& printerDevice() {
    PrinterDeviceState& s = deviceState();
    if (!s.device) throw Error("The printer device has not been started");
    return *s.device;
}

bool printerDeviceReady() { return deviceState().ready; }

int defaultPaperCode() { return deviceState().defaultPaperCode; }

}  // namespace quor
