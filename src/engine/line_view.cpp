#include "engine/line_view.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "platform/numbers.h"

namespace quor {
namespace {

std::int64_t truncated(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<std::int64_t>(std::trunc(std::clamp(v, -4.0e18, 4.0e18)));
}

}  // namespace

TfrLineView::TfrLineView() {
    objectKind = kKindLine;
    baseName = "Line";
    FrameTyp = kFrameLeft;
    FillColor = 0xFFFFFF;
}

void TfrLineView::RegisterProperties() {
    TfrView::RegisterProperties();
    addProperty("Stretched", PropertyType::Boolean);
}

void TfrLineView::Draw(Canvas& c) {
    AttachCanvas(c);
    if (isHorizontal()) {
        Height = 0;
        FrameTyp = kFrameTop;
    } else {
        Width = 0;
        FrameTyp = kFrameLeft;
    }
    ApplyScale();
    DrawFrame();  // a rule has no background
    RestoreGeometry();
}

Rect TfrLineView::ClipRegion(bool extended) const {
    const double w = FrameWidth;
    std::int64_t before, after;  // left and right of a standing line, above and below a lying one
    if (FrameStyle == kFrameDouble) {
        before = truncated(w * 1.5);
        after = truncated(static_cast<double>(truncated((w - 1) / 2)) + w);
    } else {
        before = truncated(w * 0.5);
        after = truncated((w - 1) / 2);
    }
    std::int64_t left = Left, top = Top;
    std::int64_t right = std::int64_t{Left} + Width + 1, bottom = std::int64_t{Top} + Height + 1;
    if (isHorizontal()) {
        top -= before;
        bottom += after;
    } else {
        left -= before;
        right += after;
    }
    const std::int64_t grow = extended ? 10 : 0;
    return Rect{clampToInt(left - grow), clampToInt(top - grow), clampToInt(right + grow), clampToInt(bottom + grow)};
}

}  // namespace quor
