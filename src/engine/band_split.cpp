// Splitting a Breaked band across pages: every view piece that starts above
// the cut is printed, a stretchable view (the memo) is cut at whole lines,
// and the rest moves up by the room of the page, round after round.

#include <algorithm>

#include "engine/band.h"
#include "engine/build_state.h"
#include "engine/page.h"
#include "platform/error.h"
#include "platform/messages.h"
#include "platform/numbers.h"

namespace quor {

void TfrBand::shiftBelow(std::size_t index, int bottom, int delta) {
    const TfrView& v = *Views[index];
    for (std::size_t j = 0; j < Views.size(); ++j) {
        if (j == index) continue;
        TfrView& w = *Views[j];
        if (w.Top >= bottom && v.Left <= w.Left && w.Left <= std::int64_t{v.Left} + v.Width)
            w.Top = sumClamped(w.Top, delta);
    }
}

void TfrBand::DrawSplit() {
    BuildState& st = build();
    TfrPage& page = *Page;
    split_.assign(Views.size(), SplitView{});
    for (std::size_t i = 0; i < Views.size(); ++i) {
        TfrView& v = *Views[i];
        split_[i] = SplitView{true, false, v.Left, v.Top, v.Width, v.Height};
        if (v.BandAlign == kAlignBottom) v.Top = sumClamped(MeasuredHeight, -std::int64_t{v.Height});
    }

    if (!page.FitsOrBreak(Top, UsedHeight, true, this)) {
        DrawViews();
    } else {
        int used = 0;
        int idleRounds = 0;
        bool anyPending = false;
        do {
            const int room = clampToInt(std::int64_t{page.BottomLimit} - page.columnFooterHeight() - Top - 2);
            used = 0;
            int printed = 0;
            for (std::size_t i = 0; i < Views.size(); ++i) {
                if (!split_[i].pending) continue;
                TfrView& v = *Views[i];
                auto* s = dynamic_cast<TfrStretcheable*>(&v);
                // Geometry of a damaged template saturates instead of wrapping.
                const int bottom = sumClamped(v.Top, v.Height);
                if (0 <= v.Top && v.Top < room) {
                    if (bottom < room) {
                        PlaceView(v);
                        ++printed;
                        split_[i].pending = false;
                        used = std::max(used, bottom);
                    } else if (s) {
                        const int h0 = v.Height;
                        v.Height = clampToInt(std::int64_t{room} - v.Top + 1);
                        const int rest = s->LeftoverHeight();
                        if (s->SmallestHeight() < v.Height) {
                            s->drawMode = DrawMode::drawPart;
                            PlaceView(v);
                            ++printed;
                        }
                        v.Height = h0;
                        shiftBelow(i, bottom, rest);
                        v.Height = sumClamped(h0, rest);
                    } else {
                        v.Top = room;
                    }
                } else if (s && v.Top < 0 && 0 <= bottom) {
                    const int r = bottom;
                    if (r < room) {
                        v.Height = r;
                        v.Top = 0;
                        s->drawMode = DrawMode::drawPart;
                        split_[i].pending = false;
                        used = std::max(used, r);
                        ++printed;
                        if (v.Flags & kFlagStretched) split_[i].deferred = true;
                        else PlaceView(v);
                    } else {
                        const int y = v.Top;
                        const int h = v.Height;
                        v.Top = 0;
                        v.Height = room;
                        const int rest = s->LeftoverHeight();
                        s->drawMode = DrawMode::drawPart;
                        PlaceView(v);
                        if (s->SmallestHeight() <= room) ++printed;
                        v.Top = y;
                        v.Height = h;
                        shiftBelow(i, bottom, rest);
                        v.Height = sumClamped(v.Height, rest);
                    }
                }
            }
            anyPending = false;
            for (std::size_t i = 0; i < Views.size(); ++i) {
                if (!split_[i].pending) continue;
                Views[i]->Top = sumClamped(Views[i]->Top, -std::int64_t{room});
                anyPending = true;
            }
            // A page that leaves no room for any piece would repeat forever.
            idleRounds = printed > 0 ? 0 : idleRounds + 1;
            if (anyPending && idleRounds >= kMaxPagesWithoutProgress) {
                st.recordError(Error(message(kMsgNoRoomForBand) + " " + Name));
                break;
            }
            if (anyPending) page.FitsOrBreak(Top, 10000, false, this);
            Top = page.CursorY;
        } while (anyPending && !st.stopped());
        UsedHeight = used;
    }

    for (std::size_t i = 0; i < Views.size(); ++i) {
        TfrView& v = *Views[i];
        if (split_[i].deferred) {
            v.Height = UsedHeight;
            PlaceView(v);
        }
        v.Left = split_[i].left;
        v.Top = split_[i].top;
        v.Width = split_[i].width;
        v.Height = split_[i].height;
    }
    page.CursorY = sumClamped(page.CursorY, UsedHeight);
}

}  // namespace quor
