// The common body of every view in template and prepared streams.

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/engine_state.h"
#include "engine/coordinates.h"
#include "engine/stream.h"
#include "engine/view.h"
#include "platform/numbers.h"

namespace quor {

std::int32_t TfrView::frameWidthToStored(float width) {
    const double w = width;
    if (!std::isfinite(w)) return 1;
    const double whole = std::nearbyint(w);
    // Whole widths up to 10 are stored as they are; everything else in
    // thousandths, which the reader tells apart by being above 10. A whole
    // width above 10 stored as is would come back a thousand times thinner,
    // so it goes in thousandths too.
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    if (whole == w && w <= 10) return static_cast<std::int32_t>(std::max(whole, lo));
    const double thousandths = std::nearbyint(std::clamp(w * 1000, lo, hi));
    if (thousandths <= 10) return static_cast<std::int32_t>(std::clamp(whole, lo, 10.0));
    return static_cast<std::int32_t>(thousandths);
}

float TfrView::frameWidthFromStored(std::int32_t stored) {
    const double v = stored <= 10 ? static_cast<double>(stored) * 1000 : static_cast<double>(stored);
    return static_cast<float>(v / 1000);
}

void TfrView::SaveToStream(StreamWriter& out) {
    const int version = out.version();
    if (version >= 24 || (version == 23 && !preparedMode)) out.vtext(Name);
    if (version >= 24) {
        out.u8(2);
        out.u8(objectVersionLow);
    }
    out.i32(Left);
    out.i32(Top);
    out.i32(Width);
    out.i32(Height);
    out.u16(Flags);
    out.u16(FrameTyp);
    out.i32(frameWidthToStored(FrameWidth));
    out.u32(FrameColor);
    out.u16(FrameStyle);
    out.u32(FillColor);
    if (!preparedMode) {
        out.i32(formatCode);
        out.vtext(formatString);
        out.vlines(Memo);
    } else {
        out.vlines(workLines);
    }
    if (version >= 23 && !preparedMode) {
        out.vlines(scriptLines);
        out.flag16(Visible);
    }
    if (version >= 24) {
        out.u16(Restrictions);
        out.vtext(tagText);
        out.i32(GapX);
        out.i32(GapY);
        out.u8(BandAlign);
    }
}

void TfrView::LoadFromStream(StreamReader& in) {
    const int version = engine().streamVersion;
    if (version >= 24 || (version == 23 && !preparedMode)) Name = in.vtext(version);
    else MakeUniqueName();
    if (version >= 24) {
        objectVersionHigh = in.u8();
        objectVersionLow = in.u8();
    } else {
        objectVersionHigh = objectVersionLow = 0;
    }
    Left = storedCoordinate(in.i32());
    Top = storedCoordinate(in.i32());
    Width = storedCoordinate(in.i32());
    Height = storedCoordinate(in.i32());
    Flags = in.u16();
    FrameTyp = in.u16();
    FrameWidth = frameWidthFromStored(in.i32());
    FrameColor = in.u32();
    FrameStyle = in.u16();
    FillColor = in.u32();
    if (!preparedMode) {
        formatCode = in.i32();
        formatString = in.vtext(version);
    }
    // Prepared pages store the printed lines; they come back as the view's
    // text, and as its working copy so that the body can be written again.
    Memo = in.vlines(version);
    if (preparedMode) workLines = Memo;
    if (version >= 23 && !preparedMode) {
        scriptLines = in.vlines(version);
        Visible = in.flag16();
    }
    if (version >= 24) {
        Restrictions = in.u16() & 0xFF;
        tagText = in.vtext(version);
        GapX = in.i32();
        GapY = in.i32();
    }
    if (objectVersionHigh > 1) BandAlign = in.u8();
}

}  // namespace quor
