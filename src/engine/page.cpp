#include "engine/page.h"
#include "engine/coordinates.h"

#include "engine/band.h"
#include "engine/engine_state.h"
#include "engine/stream.h"
#include "engine/view.h"
#include "device/printer_device.h"
#include "platform/numbers.h"

namespace quor {

namespace {

constexpr std::int32_t kCurrentLayoutMarker = -1;

std::uint8_t borderStyleFromStream(std::uint8_t stored) {
    if (stored == 0) return 3;
    if (stored == 1) return 2;
    return stored;
}

}  // namespace

TfrPage::TfrPage(std::int32_t paperSize, std::int32_t paperWidth, std::int32_t paperHeight,
                 std::int32_t bin, std::uint8_t orientation) {
    ChangePaper(paperSize, paperWidth, paperHeight, bin, orientation);
}

TfrPage::~TfrPage() {
    if (engine().currentPage == this) engine().currentPage = nullptr;
}

void TfrPage::ChangePaper(std::int32_t paperSize, std::int32_t paperWidth,
                          std::int32_t paperHeight, std::int32_t bin,
                          std::uint8_t orientation) {
    const std::uint8_t orient = orientation == 0 ? 0 : 1;
    TfrPrinter& device = printerDevice();
    try {
        device.setPaper(paperSize, paperWidth, paperHeight, bin, orient, false);
        device.fillMetrics(prnInfo);
    } catch (const std::exception&) {
        device.setPaper(customPaperCode, paperWidth, paperHeight, -1, orient, false);
        device.fillMetrics(prnInfo);
    }
    PaperSize = device.paperCode();
    PaperWidth = device.sheetWidth();
    PaperHeight = device.sheetHeight();
    Orientation = static_cast<std::uint8_t>(device.orientation());
    Bin = (bin & 0xFFFF) == 0xFFFF ? automaticBin : bin;
}

void TfrPage::LoadFromStream(StreamReader& in) {
    const int version = engine().streamVersion;
    std::int32_t first = in.i32();
    const bool currentLayout = first == kCurrentLayoutMarker;
    std::int32_t paperSize = currentLayout ? in.i32() : first;
    std::int32_t paperWidth = in.i32();
    std::int32_t paperHeight = in.i32();
    Margins.left = storedCoordinate(in.i32());
    Margins.top = storedCoordinate(in.i32());
    Margins.right = storedCoordinate(in.i32());
    Margins.bottom = storedCoordinate(in.i32());
    std::uint8_t orientation = in.u8();
    if (version <= 22) in.skip(6);
    std::int32_t bin = version >= 24 ? in.i32() : -1;
    PrintToPrevPage = in.flag16();
    UseMargins = in.flag16();
    Columns = in.i32();
    ColumnGap = storedCoordinate(in.i32());
    if (version >= 24) {
        PageType = in.u8();
        Name = in.text16();
        FormBorderStyle = borderStyleFromStream(in.u8());
        FormCaption = in.text16();
        FormColor = in.u32();
        FormLeft = in.i32();
        FormTop = in.i32();
        FormWidth = in.i32();
        FormHeight = in.i32();
        FormPosition = in.u8() == 0 ? 0 : 4;
        if (currentLayout) Script = in.lines16();
    }
    ChangePaper(paperSize, paperWidth, paperHeight, bin, orientation);
}

void TfrPage::SaveToStream(StreamWriter& out) const {
    out.i32(kCurrentLayoutMarker);
    out.i32(PaperSize);
    out.i32(PaperWidth);
    out.i32(PaperHeight);
    out.i32(Margins.left);
    out.i32(Margins.top);
    out.i32(Margins.right);
    out.i32(Margins.bottom);
    out.u8(Orientation);
    out.i32(Bin);
    out.flag16(PrintToPrevPage);
    out.flag16(UseMargins);
    out.i32(Columns);
    out.i32(ColumnGap);
    out.u8(PageType);
    out.text16(Name);
    out.u8(FormBorderStyle);
    out.text16(FormCaption);
    out.u32(FormColor);
    out.i32(FormLeft);
    out.i32(FormTop);
    out.i32(FormWidth);
    out.i32(FormHeight);
    out.u8(FormPosition);
    out.lines16(Script);
}

TfrView* TfrPage::addObject(std::unique_ptr<TfrView> view) {
    view->page = this;
    objects_.push_back(std::move(view));
    return objects_.back().get();
}

void TfrPage::clearObjects() { objects_.clear(); }

std::vector<TfrView*> TfrPage::objects() const {
    std::vector<TfrView*> list;
    list.reserve(objects_.size());
    for (const auto& v : objects_) list.push_back(v.get());
    return list;
}

TfrView* TfrPage::FindView(std::string_view name) const {
    for (const auto& v : objects_)
        if (sameName(v->Name, name)) return v.get();
    return nullptr;
}

std::int32_t TfrPage::LeftEdge() const {
    if (!UseMargins) return 0;
    return Margins.left != 0 ? Margins.left : prnInfo.offsetX;
}

std::int32_t TfrPage::TopEdge() const {
    if (!UseMargins) return 0;
    return Margins.top != 0 ? Margins.top : prnInfo.offsetY;
}

// Margins come from templates, settings and scripts, damaged ones too: the
// edges saturate rather than wrap.
std::int32_t TfrPage::RightEdge() const {
    if (!UseMargins) return prnInfo.pageWidth;
    if (Margins.right != 0) return clampToInt(std::int64_t{prnInfo.pageWidth} - Margins.right);
    return clampToInt(std::int64_t{prnInfo.offsetX} + prnInfo.printWidth);
}

std::int32_t TfrPage::BottomEdge() const {
    std::int64_t edge = std::int64_t{prnInfo.offsetY} + prnInfo.printHeight;
    if (!UseMargins) edge = prnInfo.pageHeight;
    else if (Margins.bottom != 0) edge = std::int64_t{prnInfo.pageHeight} - Margins.bottom;
    if (InitDone && bandExists(kBandPageFooter)) edge -= band(kBandPageFooter)->Height;
    return clampToInt(edge);
}

}  // namespace quor
