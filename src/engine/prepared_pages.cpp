#include "engine/prepared_pages.h"

#include <algorithm>

#include "engine/engine_state.h"
#include "engine/memo_view.h"
#include "engine/view.h"
#include "engine/view_factory.h"
#include "platform/canvas.h"
#include "platform/error.h"
#include "platform/numbers.h"
#include "platform/platform_printer.h"

namespace quor {
namespace {

// How far around a view a screen clip region still counts as touching it.
constexpr int kClipGrowth = 10;

int addClamped(int a, std::int64_t b) { return clampToInt(std::int64_t{a} + b); }

// Puts the engine-wide values a page operation changes back as they were.
class EngineScope {
public:
    EngineScope()
        : saved_(engine().documentMode), page_(engine().currentPage),
          version_(engine().streamVersion), view_(engine().currentView) {}
    ~EngineScope() {
        EngineState& e = engine();
        e.documentMode = saved_;
        e.currentPage = page_;
        e.streamVersion = version_;
        e.currentView = view_;
    }
    EngineScope(const EngineScope&) = delete;
    EngineScope& operator=(const EngineScope&) = delete;

private:
    bool saved_;
    PageContext* page_;
    int version_;
    TfrView* view_;
};

// Reads the entries of a page stream one by one into fresh views, each
// loaded in prepared mode. The stream's version byte becomes the version
// every body reader consults.
class PageStreamReader {
public:
    PageStreamReader(const std::string& data, int pageIndex) : in_(data), pageIndex_(pageIndex) {
        if (!data.empty()) engine().streamVersion = in_.u8();
    }

    // The next view, or null at the end of the stream.
    std::unique_ptr<TfrView> next() {
        if (in_.atEnd()) return nullptr;
        const std::uint8_t kind = in_.u8();
        std::unique_ptr<TfrView> view;
        if (kind == kKindNamedClass) {
            const std::string className = in_.text16();
            if (in_.ranShort()) fail("the stream ends inside a class name");
            view = ViewFactory::instance().createByClassName(className);
            if (!view) fail("class " + className + " is not registered");
        } else {
            view = ViewFactory::instance().create(kind);
            if (!view) fail("unknown object type " + std::to_string(kind));
        }
        view->preparedMode = true;
        view->LoadFromStream(in_);
        view->preparedMode = false;
        if (in_.ranShort()) fail("the stream ends inside object " + view->Name);
        return view;
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw FormatError("Damaged prepared page " + std::to_string(pageIndex_ + 1) + ": " + what);
    }

    StreamReader in_;
    int pageIndex_;
};

// True when the canvas is the page of a print job in progress.
bool printingOn(const Canvas& canvas) {
    if (!printerDeviceReady()) return false;
    PlatformPrinter* printer = printerDevice().platformPrinter();
    return printer && printer->printing() && &printer->canvas() == &canvas;
}

void writeEntry(TfrView& view, StreamWriter& out) {
    view.preparedMode = true;
    out.u8(view.objectKind);
    if (view.objectKind == kKindNamedClass) out.text16(view.className());
    if (view.objectKind == kKindMemo) view.workLines = view.Memo;
    view.SaveToStream(out);
    view.preparedMode = false;
}

}  // namespace

PreparedPage& TfrEMFPages::record(int index) {
    if (index < 0 || index >= Count())
        throw Error("Prepared page " + std::to_string(index) + " does not exist (" +
                    std::to_string(Count()) + " pages)");
    return *pages_[static_cast<std::size_t>(index)];
}

PreparedPage& TfrEMFPages::Item(int index) { return record(index); }

const PreparedPage& TfrEMFPages::Item(int index) const {
    return const_cast<TfrEMFPages*>(this)->record(index);
}

void TfrEMFPages::Add(const TfrPage& page) {
    Insert(Count(), page);
    if (host_) host_->pageAdded();
}

void TfrEMFPages::Insert(int index, const TfrPage& page) {
    auto rec = std::make_unique<PreparedPage>();
    rec->Stream.u8(kCurrentStreamVersion);
    rec->PaperSize = static_cast<std::uint16_t>(page.PaperSize);
    rec->PaperWidth = page.PaperWidth;
    rec->PaperHeight = page.PaperHeight;
    rec->Orientation = page.Orientation;
    rec->Bin = page.Bin;
    rec->UseMargins = page.UseMargins;
    rec->Margins = page.Margins;
    rec->prnInfo = page.prnInfo;
    const auto at = index < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(index), pages_.size());
    pages_.insert(pages_.begin() + static_cast<std::ptrdiff_t>(at), std::move(rec));
}

void TfrEMFPages::Delete(int index) {
    record(index);
    pages_.erase(pages_.begin() + index);
}

void TfrEMFPages::Clear() {
    while (!pages_.empty()) Delete(0);
}

int TfrEMFPages::unpackedCount() const {
    return static_cast<int>(
        std::count_if(pages_.begin(), pages_.end(), [](const auto& p) { return p->Page != nullptr; }));
}

void TfrEMFPages::Unpack(int index) {
    PreparedPage& rec = record(index);
    rec.Page.reset();
    EngineScope scope;
    EngineState& e = engine();
    // A memo that sizes itself to its text does so only in document mode.
    e.documentMode = true;
    auto page = std::make_unique<TfrPage>(rec.PaperSize, rec.PaperWidth, rec.PaperHeight, rec.Bin,
                                          rec.Orientation);
    page->Margins = rec.Margins;
    page->UseMargins = rec.UseMargins;
    e.currentPage = page.get();
    PageStreamReader reader(rec.Stream.data(), index);
    while (std::unique_ptr<TfrView> view = reader.next()) {
        TfrView* v = page->addObject(std::move(view));
        // The width of an auto-width memo is measured once, here.
        auto* memo = v->objectKind == kKindMemo ? dynamic_cast<TfrMemoView*>(v) : nullptr;
        if (memo && (memo->Flags & kFlagAutoWidth)) memo->Place(engineMeasureCanvas());
    }
    rec.Page = std::move(page);
}

void TfrEMFPages::Repack(int index) {
    PreparedPage& rec = record(index);
    if (!rec.Page) return;
    StreamWriter out;
    out.u8(kCurrentStreamVersion);
    for (const auto& view : rec.Page->Objects()) writeEntry(*view, out);
    rec.Stream = std::move(out);
}

void TfrEMFPages::Draw(int index, Canvas& canvas, const Rect& rect) {
    PreparedPage& rec = record(index);
    EngineScope scope;
    const bool printing = printingOn(canvas);
    engine().documentMode = true;
    if (!rec.Visible) {
        rec.Page.reset();
        return;
    }
    if (!rec.Page) Unpack(index);
    engine().currentPage = rec.Page.get();
    // Metrics without a size give no scale: such a page shows nothing.
    if (rec.prnInfo.pageWidth <= 0 || rec.prnInfo.pageHeight <= 0) return;
    const double kx = (static_cast<double>(rect.right) - rect.left) / rec.prnInfo.pageWidth;
    const double ky = (static_cast<double>(rect.bottom) - rect.top) / rec.prnInfo.pageHeight;
    const bool clipTest = !printing && !canvas.isPrinter() && !canvas.isRecording();
    for (const auto& view : rec.Page->Objects()) {
        if (clipTest) {
            const Rect grown{
                addClamped(roundClamped(view->Left * kx), std::int64_t{rect.left} - kClipGrowth),
                addClamped(roundClamped(view->Top * ky), std::int64_t{rect.top} - kClipGrowth),
                addClamped(roundClamped((double(view->Left) + view->Width) * kx),
                           std::int64_t{rect.left} + kClipGrowth),
                addClamped(roundClamped((double(view->Top) + view->Height) * ky),
                           std::int64_t{rect.top} + kClipGrowth)};
            if (!canvas.rectVisible(grown)) continue;
        }
        view->drawScaleX = kx;
        view->drawScaleY = ky;
        view->drawOffsetX = rect.left;
        view->drawOffsetY = rect.top;
        view->drawForPrinter = printing;
        view->Draw(canvas);
    }
}

void TfrEMFPages::Export(int index) {
    PreparedPage& rec = record(index);
    EngineScope scope;
    engine().documentMode = true;
    PageStreamReader reader(rec.Stream.data(), index);
    while (std::unique_ptr<TfrView> view = reader.next()) {
        view->preparedMode = true;
        view->Export();
    }
}

bool TfrEMFPages::HitTest(int index, Point point, int& cursor, bool isClick) {
    PreparedPage& rec = record(index);
    if (!rec.Page) Unpack(index);
    const PrinterInfo& m = rec.prnInfo;
    double kx = 1.0, ky = 1.0, ox = 0, oy = 0;
    if (!rec.UseMargins) {
        // The page is stretched to the printable area.
        if (m.pageWidth <= 0 || m.pageHeight <= 0) return false;
        kx = (double(m.printWidth) - rec.Margins.left - rec.Margins.right) / m.pageWidth;
        ky = (double(m.printHeight) - rec.Margins.top - rec.Margins.bottom) / m.pageHeight;
        ox = double(m.offsetX) + rec.Margins.left;
        oy = double(m.offsetY) + rec.Margins.top;
    }
    const auto& views = rec.Page->Objects();
    for (auto it = views.rbegin(); it != views.rend(); ++it) {
        TfrView& v = **it;
        const Rect area{roundClamped(v.Left * kx + ox), roundClamped(v.Top * ky + oy),
                        roundClamped(ox + (double(v.Left) + v.Width) * kx),
                        roundClamped(oy + (double(v.Top) + v.Height) * ky)};
        const bool hit = point.x >= area.left && point.x < area.right && point.y >= area.top &&
                         point.y < area.bottom;
        if (!hit) continue;
        if (!host_) return false;
        return isClick ? host_->objectClick(v) : host_->mouseOverObject(v, cursor);
    }
    return false;
}

}  // namespace quor
