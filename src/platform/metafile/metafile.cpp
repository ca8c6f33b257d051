#include "platform/metafile/metafile.h"

#include <algorithm>
#include <cmath>

#include "platform/error.h"
#include "platform/measure_canvas.h"
#include "platform/metafile/gdi_context.h"
#include "platform/metafile/players.h"
#include "platform/numbers.h"

namespace quor {

using metafile::ByteView;
using metafile::GdiContext;
using metafile::PlayFrame;

namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr std::size_t kPlaceableSize = 22;
constexpr std::size_t kWmfHeaderSize = 18;
constexpr std::size_t kEmfMinHeader = 88;

[[noreturn]] void fail(const std::string& why) { throw FormatError(why); }

// A rectangle from the file that arithmetic on its sides can't overflow, and
// that is not empty.
bool usable(const Rect& r) {
    constexpr int kLimit = 1 << 28;
    auto ok = [](int v) { return v > -kLimit && v < kLimit; };
    return ok(r.left) && ok(r.top) && ok(r.right) && ok(r.bottom) && r.right > r.left && r.bottom > r.top;
}

bool isWmfHeader(ByteView v, std::size_t at) {
    std::uint16_t type = v.u16(at), words = v.u16(at + 2), version = v.u16(at + 4);
    return v.has(at, kWmfHeaderSize) && (type == 1 || type == 2) && words == 9 &&
           (version == 0x0100 || version == 0x0300);
}

int toPixels(int mm100, int dpi) {
    return roundInt(std::clamp(double(mm100) * dpi / 2540.0, -1.0e9, 1.0e9));
}

// How a loaded file is played: where its records are, the frame in the
// players' device units and the mapping state the records start from.
struct PlaySetup {
    std::size_t start = 0;
    std::size_t end = 0;
    PlayFrame frame;
    double winOrgX = 0, winOrgY = 0, winExtX = 1, winExtY = 1;
    bool implicitViewport = false;
    double unitsPerMmX = 96 / 25.4, unitsPerMmY = 96 / 25.4;
};

struct EmfHeader {
    Rect bounds, frame;
    std::size_t headerSize = 0, bytes = 0;
    double pxPerMmX = 96 / 25.4, pxPerMmY = 96 / 25.4;
};

EmfHeader readEmfHeader(ByteView v) {
    EmfHeader h;
    h.headerSize = v.u32(4);
    h.bounds = Rect{v.i32(8), v.i32(12), v.i32(16), v.i32(20)};
    h.frame = Rect{v.i32(24), v.i32(28), v.i32(32), v.i32(36)};
    h.bytes = v.u32(48);
    double devX = v.i32(72), devY = v.i32(76), mmX = v.i32(80), mmY = v.i32(84);
    if (h.headerSize >= 108 && v.has(100, 8) && v.u32(100) > 0 && v.u32(104) > 0) {
        mmX = v.u32(100) / 1000.0;
        mmY = v.u32(104) / 1000.0;
    }
    if (devX > 0 && devY > 0 && mmX > 0 && mmY > 0) {
        h.pxPerMmX = devX / mmX;
        h.pxPerMmY = devY / mmY;
    }
    return h;
}

PlaySetup emfSetup(ByteView v) {
    EmfHeader h = readEmfHeader(v);
    PlaySetup s;
    s.end = (h.bytes >= h.headerSize && h.bytes <= v.size()) ? h.bytes : v.size();
    s.unitsPerMmX = h.pxPerMmX;
    s.unitsPerMmY = h.pxPerMmY;
    if (usable(h.frame)) {
        s.frame = PlayFrame{h.frame.left / 100.0 * h.pxPerMmX, h.frame.top / 100.0 * h.pxPerMmY,
                            (double(h.frame.right) - h.frame.left) / 100.0 * h.pxPerMmX,
                            (double(h.frame.bottom) - h.frame.top) / 100.0 * h.pxPerMmY};
    } else {
        s.frame = PlayFrame{double(h.bounds.left), double(h.bounds.top),
                            double(h.bounds.right) - h.bounds.left + 1,
                            double(h.bounds.bottom) - h.bounds.top + 1};
    }
    return s;
}

PlaySetup wmfSetup(ByteView v, MetafileFormat format, const Rect& frame, int unitsPerInch) {
    PlaySetup s;
    s.start = (format == MetafileFormat::PlaceableWmf ? kPlaceableSize : 0) + kWmfHeaderSize;
    s.end = v.size();
    s.unitsPerMmX = s.unitsPerMmY = unitsPerInch / 25.4;
    s.frame = PlayFrame{0, 0, double(frame.width()), double(frame.height())};
    if (format == MetafileFormat::PlaceableWmf) {
        s.winOrgX = frame.left;
        s.winOrgY = frame.top;
        s.winExtX = frame.width();
        s.winExtY = frame.height();
        s.implicitViewport = true;
        return s;
    }
    metafile::WmfWindow w = metafile::findWmfWindow(v, s.start);
    if (w.found) {
        s.winOrgX = w.orgX;
        s.winOrgY = w.orgY;
        s.winExtX = w.extX;
        s.winExtY = w.extY;
        s.implicitViewport = true;
    } else {
        // Played as it stands: the frame is where its drawing lies.
        s.frame = PlayFrame{double(frame.left), double(frame.top), double(frame.width()),
                            double(frame.height())};
    }
    return s;
}

void playWith(ByteView v, MetafileFormat format, const PlaySetup& s, Canvas& canvas, const Rect& dest,
              bool measureOnly, std::vector<MetafileRecord>* out) {
    GdiContext g(canvas, dest, s.frame, measureOnly);
    g.setReference(s.unitsPerMmX, s.unitsPerMmY, s.implicitViewport);
    g.setWindowOrg(s.winOrgX, s.winOrgY);
    g.setWindowExt(s.winExtX, s.winExtY);
    if (out) g.setObserver([out](const MetafileRecord& r) { out->push_back(r); });
    if (format == MetafileFormat::Emf) metafile::playEmf(v, s.end, g);
    else metafile::playWmf(v, s.start, g);
}

// The drawing of a plain WMF without a window of its own, in its logical units.
Rect wmfContentBounds(ByteView v) {
    PlaySetup s;
    s.start = kWmfHeaderSize;
    s.end = v.size();
    s.frame = PlayFrame{0, 0, 1, 1};
    std::vector<MetafileRecord> records;
    playWith(v, MetafileFormat::Wmf, s, measureCanvas(), Rect{0, 0, 1, 1}, true, &records);
    Rect box;
    for (const MetafileRecord& r : records) {
        if (r.bounds.isEmpty()) continue;
        if (box.isEmpty()) box = r.bounds;
        else box = Rect{std::min(box.left, r.bounds.left), std::min(box.top, r.bounds.top),
                        std::max(box.right, r.bounds.right), std::max(box.bottom, r.bounds.bottom)};
    }
    return box;
}

}  // namespace

Metafile Metafile::fromBytes(std::string bytes) {
    Metafile m;
    m.bytes_ = std::move(bytes);
    ByteView v(m.bytes_);
    if (v.size() >= kPlaceableSize && v.u32(0) == kPlaceableKey) {
        std::uint16_t sum = 0;
        for (std::size_t i = 0; i < 10; ++i) sum ^= v.u16(2 * i);
        if (sum != v.u16(20)) fail("the placeable metafile header's checksum is wrong");
        if (!isWmfHeader(v, kPlaceableSize)) fail("the metafile header is damaged");
        int inch = v.u16(14);
        if (inch == 0) fail("the placeable metafile header gives no units per inch");
        int l = v.i16(6), t = v.i16(8), r = v.i16(10), b = v.i16(12);
        m.format_ = MetafileFormat::PlaceableWmf;
        m.frame_ = Rect{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
        m.unitsPerInch_ = inch;
    } else if (v.size() >= kEmfMinHeader && v.u32(0) == 1 && v.u32(40) == kEmfSignature) {
        EmfHeader h = readEmfHeader(v);
        if (h.headerSize < kEmfMinHeader || h.headerSize > v.size()) fail("the EMF header is damaged");
        m.format_ = MetafileFormat::Emf;
        m.unitsPerInch_ = 2540;
        if (usable(h.frame)) {
            m.frame_ = h.frame;
        } else if (usable(h.bounds)) {
            auto mm = [](int px, double perMm) { return roundInt(std::clamp(px / perMm * 100, -1e8, 1e8)); };
            m.frame_ = Rect{mm(h.bounds.left, h.pxPerMmX), mm(h.bounds.top, h.pxPerMmY),
                            mm(h.bounds.right + 1, h.pxPerMmX), mm(h.bounds.bottom + 1, h.pxPerMmY)};
        }
    } else if (isWmfHeader(v, 0)) {
        m.format_ = MetafileFormat::Wmf;
        m.unitsPerInch_ = 96;
        metafile::WmfWindow w = metafile::findWmfWindow(v, kWmfHeaderSize);
        if (w.found) {
            m.frame_ = Rect{0, 0, int(std::fabs(w.extX)), int(std::fabs(w.extY))};
        } else {
            m.frame_ = wmfContentBounds(v);
        }
    } else {
        fail("not a WMF or EMF metafile");
    }
    double per = 2540.0 / m.unitsPerInch_;
    m.sizeMm100_ = Size{roundInt(std::clamp(m.frame_.width() * per, 0.0, 1e9)),
                        roundInt(std::clamp(m.frame_.height() * per, 0.0, 1e9))};
    return m;
}

Size Metafile::sizePixels(int dpi) const {
    return Size{toPixels(sizeMm100_.width, dpi), toPixels(sizeMm100_.height, dpi)};
}

void Metafile::play(Canvas& canvas, const Rect& dest, bool measureOnly,
                    std::vector<MetafileRecord>* out) const {
    if (dest.isEmpty() || frame_.isEmpty()) return;
    ByteView v(bytes_);
    PlaySetup s = format_ == MetafileFormat::Emf ? emfSetup(v) : wmfSetup(v, format_, frame_, unitsPerInch_);
    playWith(v, format_, s, canvas, dest, measureOnly, out);
}

void Metafile::draw(Canvas& canvas, const Rect& dest) const { canvas.drawMetafile(dest, *this); }

std::vector<MetafileRecord> Metafile::records(Canvas& measure, const Rect& dest) const {
    std::vector<MetafileRecord> out;
    play(measure, dest, true, &out);
    return out;
}

void Canvas::drawMetafile(const Rect& dest, const Metafile& metafile) {
    metafile.playOnto(*this, dest);
}

void Metafile::playOnto(Canvas& canvas, const Rect& dest) const { play(canvas, dest, false, nullptr); }

}  // namespace quor
