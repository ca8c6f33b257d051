// The prepared-report file: a header (version, compressed byte, printer
// name, page count), then per page its end position, paper, bin, margins and
// object stream. Files of versions 24 to 31 are read, older ones without
// version byte too, and the format that kept one metafile per page (split
// by platform/metafile/picture_pages.h).
//
// Every position and count in a file is checked against the bytes that are
// there before anything is read or allocated for it.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/compressor.h"
#include "engine/picture_view.h"
#include "engine/prepared_pages.h"
#include "platform/error.h"
#include "platform/metafile/picture_pages.h"
#include "platform/numbers.h"

namespace quor {
namespace {

constexpr std::uint8_t kFirstVersion = 24;
constexpr std::uint8_t kLastVersion = 31;
// Compressed bytes of the current format; any other byte starts a file of
// the picture-page format.
constexpr std::uint8_t kPlain = 0;
constexpr std::uint8_t kCompressed = 1;
constexpr std::uint8_t kPlainToo = 255;

// Bytes of a page's fields before its data.
std::size_t pageFieldsSize(bool withBinAndMargins) {
    const std::size_t common = 4 + 2 + 4 + 4 + 1 + 1;  // next, paper, width, height, orientation, switch
    return withBinAndMargins ? common + 4 + 16 : common;
}

[[noreturn]] void damaged(const std::string& what) {
    throw FormatError("The prepared report file is damaged: " + what);
}

std::string pageText(std::uint32_t index) { return "page " + std::to_string(index + 1); }

std::uint32_t readPageCount(StreamReader& in, std::size_t pageSize) {
    const std::uint32_t count = in.u32();
    if (in.ranShort()) damaged("it ends before the page count");
    if (count > in.remaining() / pageSize)
        damaged("it names " + std::to_string(count) + " pages but holds at most " +
                std::to_string(in.remaining() / pageSize));
    return count;
}

// The end of a page's data, checked against the file and the position.
std::size_t readDataEnd(StreamReader& in, std::uint32_t next, std::uint32_t index) {
    if (in.ranShort()) damaged(pageText(index) + " ends inside its fields");
    if (next > in.size() || next < in.position())
        damaged(pageText(index) + " ends at position " + std::to_string(next) +
                ", outside its data (" + std::to_string(in.position()) + " to " +
                std::to_string(in.size()) + ")");
    return next;
}

int designPixels(std::int32_t tenthsOfMm) { return roundInt(tenthsOfMm * designPixelsPerInch / 254); }

std::string currentPrinterName() {
    if (!printerDeviceReady()) return {};
    const TfrPrinter& device = printerDevice();
    const auto& names = device.printerNames();
    const int i = device.currentIndex();
    return i >= 0 && i < static_cast<int>(names.size()) ? names[static_cast<std::size_t>(i)] : std::string{};
}

}  // namespace

void TfrEMFPages::SaveToStream(StreamWriter& out) const {
    TfrCompressor& compressor = activeCompressor();
    out.u8(kCurrentStreamVersion);
    out.u8(compressor.Enabled ? kCompressed : kPlain);
    out.text16(currentPrinterName());
    out.u32(static_cast<std::uint32_t>(pages_.size()));
    for (const auto& page : pages_) {
        const std::size_t next = out.placeholderI32();
        out.u16(page->PaperSize);
        out.i32(page->PaperWidth);
        out.i32(page->PaperHeight);
        out.u8(page->Orientation);
        out.i32(page->Bin);
        out.u8(page->UseMargins ? 1 : 0);
        out.i32(page->Margins.left);
        out.i32(page->Margins.top);
        out.i32(page->Margins.right);
        out.i32(page->Margins.bottom);
        if (compressor.Enabled) {
            StreamWriter packed;
            compressor.Compress(page->Stream.data(), packed);
            out.bytes(packed.data());
        } else {
            out.bytes(page->Stream.data());
        }
        if (out.position() > static_cast<std::size_t>(INT32_MAX))
            throw FormatError("The prepared report is too large for a prepared report file");
        out.patchI32(next, static_cast<std::int32_t>(out.position()));
    }
}

void TfrEMFPages::LoadFromStream(StreamReader& in) {
    Clear();
    const std::size_t start = in.position();
    try {
        std::uint8_t version = in.u8();
        if (version < kFirstVersion || version > kLastVersion) {
            version = 0;
            in.seek(start);
        }
        const std::uint8_t compressed = in.u8();
        if (in.ranShort()) damaged("it is too short");
        if (compressed == kPlain || compressed == kCompressed || compressed == kPlainToo)
            loadCurrentFormat(in, version, compressed);
        else
            loadPicturePages(in, start);
    } catch (...) {
        Clear();
        throw;
    }
}

void TfrEMFPages::loadCurrentFormat(StreamReader& in, int version, std::uint8_t compressed) {
    const std::string printer = in.text16();
    if (in.ranShort()) damaged("it ends inside the printer name");
    selectPrinter(printer);
    const bool binAndMargins = version > 23;
    const std::uint32_t count = readPageCount(in, pageFieldsSize(binAndMargins));
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t next = in.u32();
        const std::uint16_t paperSize = in.u16();
        const std::int32_t width = in.i32();
        const std::int32_t height = in.i32();
        const std::uint8_t orientation = in.u8();
        const std::int32_t bin = binAndMargins ? in.i32() : -1;
        const bool useMargins = in.u8() != 0;
        PageMargins margins;
        if (binAndMargins) {
            margins.left = in.i32();
            margins.top = in.i32();
            margins.right = in.i32();
            margins.bottom = in.i32();
        }
        const std::size_t end = readDataEnd(in, next, i);
        const std::string data = in.bytes(end - in.position());
        PreparedPage& page = appendLoaded(paperSize, width, height, orientation, bin);
        page.UseMargins = useMargins;
        page.Margins = margins;
        if (compressed == kCompressed) activeCompressor().DeCompress(data, page.Stream);
        else page.Stream.bytes(data);
        in.seek(end);
    }
}

void TfrEMFPages::loadPicturePages(StreamReader& in, std::size_t start) {
    in.seek(start);
    // The splitter checks the whole structure before any page is made.
    const PicturePageFile file = splitPicturePageFile(in.bytes(in.remaining()));
    if (!file.headerLines.empty()) selectPrinter(file.printerName());
    for (std::size_t i = 0; i < file.pages.size(); ++i) {
        const PicturePage& stored = file.pages[i];
        // The page was kept as one metafile; it becomes a page holding one
        // picture of the paper's size.
        TfrPictureView picture;
        picture.SetBounds(0, 0, designPixels(stored.width), designPixels(stored.height));
        picture.BlobType = kBlobMetafile;
        picture.picture.loadFromBytes(GraphicKind::Metafile, stored.metafile,
                                      "prepared report " + pageText(static_cast<std::uint32_t>(i)));
        PreparedPage& page = appendLoaded(static_cast<std::uint16_t>(stored.paperCode), stored.width,
                                          stored.height, static_cast<std::uint8_t>(stored.orientation), -1);
        page.UseMargins = stored.useMargins;
        page.Stream.u8(kCurrentStreamVersion);
        page.Stream.u8(kKindPicture);
        picture.preparedMode = true;
        picture.SaveToStream(page.Stream);
    }
}

PreparedPage& TfrEMFPages::appendLoaded(std::uint16_t paperSize, std::int32_t width, std::int32_t height,
                                        std::uint8_t orientation, std::int32_t bin) {
    auto page = std::make_unique<PreparedPage>();
    page->PaperSize = paperSize;
    page->PaperWidth = width;
    page->PaperHeight = height;
    page->Orientation = orientation;
    page->Bin = bin;
    // The printer device gives the metrics of this paper.
    const TfrPage probe(paperSize, width, height, bin, orientation);
    page->prnInfo = probe.prnInfo;
    pages_.push_back(std::move(page));
    return *pages_.back();
}

void TfrEMFPages::selectPrinter(const std::string& name) {
    if (host_) host_->selectPrinterByName(name);
}

}  // namespace quor
