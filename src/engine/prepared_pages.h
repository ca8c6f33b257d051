#pragma once

// The prepared pages of a report: per page its paper, margins, printer
// metrics and a compact object stream into which the build writes every
// placed view. A page becomes live view objects only while it is drawn or
// hit-tested; the list saves and loads itself as a prepared-report file.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/page.h"
#include "engine/stream.h"
#include "device/printer_device.h"
#include "platform/geometry.h"

namespace quor {

class Canvas;
class StreamReader;
class TfrView;

// What the prepared pages ask of the report that owns them. The report
// component implements it; without one, pages are added quietly, printer
// names in files select nothing and hit tests find no handler.
class PreparedPagesHost {
public:
    virtual ~PreparedPagesHost() = default;
    // A page was added during a build: raise OnBeginPage(CurrentPageIndex) on
    // the building report and, if it is another object, on the outermost one.
    virtual void pageAdded() = 0;
    // The printer named in a prepared-report file (SelectPrinterByName).
    virtual void selectPrinterByName(const std::string& name) = 0;
    // OnObjectClick with the view; false when no handler is assigned.
    virtual bool objectClick(TfrView& view) = 0;
    // OnMouseOverObject with the view and the mouse cursor (a cursor shape
    // the handler may change); false when no handler is assigned.
    virtual bool mouseOverObject(TfrView& view, int& cursor) = 0;
};

// One prepared page. A new record is zero-filled.
struct PreparedPage {
    Rect screenRect;  // the page in the preview's layout; the preview's own
    std::uint16_t PaperSize = 0;
    std::int32_t PaperWidth = 0;   // tenths of a millimetre
    std::int32_t PaperHeight = 0;  // tenths of a millimetre
    std::uint8_t Orientation = 0;  // 0 portrait, 1 landscape
    std::int32_t Bin = 0;          // 0xFFFF or -1: the printer's default
    bool UseMargins = false;
    PageMargins Margins;  // design pixels
    PrinterInfo prnInfo;
    // Shown in the preview now; a page that is not is released when drawn.
    bool Visible = false;
    // The page's objects: version byte, then one entry per printed view.
    StreamWriter Stream;
    // The live views read back from Stream; null until needed.
    std::unique_ptr<TfrPage> Page;
};

class TfrEMFPages {
public:
    explicit TfrEMFPages(PreparedPagesHost* host = nullptr) : host_(host) {}
    TfrEMFPages(const TfrEMFPages&) = delete;
    TfrEMFPages& operator=(const TfrEMFPages&) = delete;

    void setHost(PreparedPagesHost* host) { host_ = host; }
    // Trades page lists with `other`; each list keeps its host. A preview
    // window takes a report's pages this way and gives them back.
    void swapPages(TfrEMFPages& other) noexcept { pages_.swap(other.pages_); }

    int Count() const { return static_cast<int>(pages_.size()); }
    // Raises quor::Error for an index outside the list.
    PreparedPage& Item(int index);
    const PreparedPage& Item(int index) const;

    // Appends a page for `page`'s paper and tells the host (OnBeginPage).
    void Add(const TfrPage& page);
    // A new page before `index`; at or beyond the end it is appended. Its
    // stream holds the version byte; paper, margins and metrics are the page's.
    void Insert(int index, const TfrPage& page);
    void Delete(int index);
    void Clear();

    // Reads the page's views from its stream (after releasing any earlier
    // ones). A damaged stream raises quor::FormatError and leaves the page
    // without views.
    void Unpack(int index);
    // Writes the page's live views back into its stream.
    void Repack(int index);
    // Draws the page scaled into `rect` (device pixels). A page that is not
    // Visible is released instead.
    void Draw(int index, Canvas& canvas, const Rect& rect);
    // Hands every view of the page's stream to the active export filter.
    void Export(int index);
    // Finds the topmost view under `point` and raises the click or mouse-over
    // event for it; true when a handler took it.
    bool HitTest(int index, Point point, int& cursor, bool isClick);

    // The prepared-report file. Loading replaces the list; a damaged file
    // raises quor::FormatError and leaves the list empty.
    void SaveToStream(StreamWriter& out) const;
    void LoadFromStream(StreamReader& in);

    // Pages whose views are live now.
    int unpackedCount() const;

private:
    PreparedPage& record(int index);
    void loadCurrentFormat(StreamReader& in, int version, std::uint8_t compressed);
    void loadPicturePages(StreamReader& in, std::size_t start);
    PreparedPage& appendLoaded(std::uint16_t paperSize, std::int32_t width, std::int32_t height,
                               std::uint8_t orientation, std::int32_t bin);
    void selectPrinter(const std::string& name);

    PreparedPagesHost* host_;
    std::vector<std::unique_ptr<PreparedPage>> pages_;
};

}  // namespace quor
