// Showing a band: the begin-band event, measuring, the fit test, printing
// the views at the cursor and band columns. Splitting is in band_split.cpp.

#include "engine/band.h"

#include <algorithm>

#include "engine/build_state.h"
#include "engine/engine_state.h"
#include "engine/page.h"
#include "engine/subreport_view.h"
#include "platform/numbers.h"

namespace quor {

TfrBand::TfrBand(TfrPage& page, int kind) : Page(&page), Kind(kind) {}

TfrBand::~TfrBand() {
    if (OwnsSource) delete Source;
    if (OwnsCrossSource) delete CrossSource;
}

BuildState& TfrBand::build() const { return *Page->build; }

bool TfrBand::exists() const { return View != nullptr || (Kind == kBandNone && !Views.empty()); }

bool TfrBand::fixedPosition() const {
    return Kind == kBandPageFooter || Kind == kBandOverlay || Kind == kBandNone;
}

bool TfrBand::holdsCrossViews() const {
    return std::any_of(Views.begin(), Views.end(), [this](const TfrView* v) {
        return v->parentBand != nullptr && v->parentBand != this;
    });
}

// Band geometry of a damaged template may lie anywhere in the int range:
// its sums saturate (sumClamped) rather than wrap.

Rect TfrBand::bandRect() const {
    if (isCrossKind()) return Rect{Left, Page->CursorY, sumClamped(Left, Width), sumClamped(Page->CursorY, Height)};
    return Rect{Page->ShiftX, Top, sumClamped(Page->ShiftX, Page->ColumnWidth), sumClamped(Top, Height)};
}

Point TfrBand::placementShift() const { return Point{sumClamped(Page->ShiftX, -std::int64_t{Page->LeftEdge()}), Top}; }

void TfrBand::runScript() {
    if (!View || Script.empty()) return;
    try {
        build().host->runScript(Script, View);
    } catch (const std::exception& e) {
        build().recordError(e);
    }
}

void TfrBand::ResetAggregates() {
    if (DataLoop* loop = build().dataLoop) loop->resetAggregates(*this);
}

bool TfrBand::Draw() {
    BuildState& st = build();
    TfrPage& page = *Page;
    bool result = false;
    engine().currentView = View;
    st.CurrentBand = this;
    engine().currentBand = this;
    MeasuredHeight = -1;
    PendingNewPages = PendingNewColumns = 0;

    st.host->beginBand(*this);

    if (TfrBand* last = page.LastDrawnBand; last && last != this && last->exists() && last->ColumnIndex > 1) {
        page.ShiftX = last->ColumnStartX;
        page.CursorY = sumClamped(page.CursorY, last->Height);
        // The row is closed: the bands after this one must not close it again.
        last->ColumnIndex = 1;
    }

    CursorRestore = false;
    if (!ScriptDone) runScript();
    ScriptDone = false;
    const int y0 = page.CursorY;
    if (st.stopped()) return false;

    for (int i = 0; i < PendingNewPages; ++i) {
        page.ColumnNo = sumClamped(page.Columns, -1);
        page.NewColumn(this);
    }
    for (int i = 0; i < PendingNewColumns; ++i) page.NewColumn(this);
    if (CursorRestore) page.CursorY = y0;

    if (Visible) {
        if (Kind == kBandColumnHeader) page.ColumnTop = page.CursorY;
        if (Kind == kBandPageFooter) Top = page.BottomLimit;
        if (exists()) {
            MeasuredHeight = Height;
            if (Kind != kBandPageFooter && Kind != kBandOverlay && Kind != kBandColumnFooter &&
                Kind != kBandNone) {
                const int h = Measure();
                if (std::int64_t{page.CursorY} + h > page.BottomLimit && !Breaked) {
                    // On a subreport page the parent band continues later.
                    if (page.IsSubreport) return true;
                    page.FitsOrBreak(0, 10000, false, this);
                    result = true;
                }
            }
            SubreportsDone = true;
            if (isDataBand() && Source && Next && !Next->Source) {
                for (TfrBand* b = this; b; b = b->Next) b->DoDraw();
            } else {
                DoDraw();
                if (ChildBand) ChildBand->Draw();
                if (!isDataBand() && Kind != kBandGroupHeader && FormNewPage && Visible) page.NewPage();
            }
            if (!SubreportsDone) result = true;
        }
    } else {
        if (ChildBand && PrintChildIfInvisible) ChildBand->Draw();
        if (isDataBand() && st.dataLoop) st.dataLoop->accumulate(*this);
    }

    if (!SuppressReset) {
        if (Kind != kBandPageFooter || st.CurrentPageIndex == st.host->preparedCount() - 1)
            ResetAggregates();
    }
    st.host->endBand(*this);
    return result;
}

int TfrBand::Measure() {
    if (isDataBand() && Next && !Next->Source) {
        int total = 0;
        for (TfrBand* b = this; b; b = b->Next) total = sumClamped(total, b->MeasureStretch(false));
        return total;
    }
    MeasuredHeight = Height;
    return Stretched ? MeasureStretch(false) : Height;
}

int TfrBand::stretchHeight(bool includeAll) {
    int r = Height;
    designHeights_.resize(Views.size());
    for (std::size_t i = 0; i < Views.size(); ++i) {
        TfrView& v = *Views[i];
        designHeights_[i] = v.Height;
        auto* s = dynamic_cast<TfrStretcheable*>(&v);
        if (!s || !(includeAll || v.parentBand == this)) continue;
        engine().currentView = &v;
        const int needed = s->CalcHeight();
        r = std::max(r, sumClamped(v.Top, needed));
        if (includeAll) s->drawMode = DrawMode::drawAll;
    }
    return r;
}

int TfrBand::MeasureStretch(bool includeAll) {
    int r = Height;
    const TfrBand* crossData = Page->band(kBandCrossData);
    BandDataSource* cross = crossData && crossData->Source ? crossData->Source : CrossSource;
    if (holdsCrossViews() && Kind != kBandPageFooter && Page->bandExists(kBandCrossData) && cross) {
        Page->CrossColumn = 1;
        cross->Init();
        cross->First();
        while (!cross->Eof() && !build().stopped()) {
            const int s = stretchHeight(true);
            MeasuredHeight = s;
            ++Page->CrossColumn;
            cross->Next();
            r = std::max(r, s);
        }
    } else {
        r = stretchHeight(includeAll);
    }
    MeasuredHeight = r;
    return r;
}

void TfrBand::StretchViews(int height) {
    for (TfrView* v : Views)
        if (dynamic_cast<TfrStretcheable*>(v) && (v->Flags & kFlagStretched) && v->Height > 0)
            v->Height = sumClamped(height, -std::int64_t{v->Top});
}

void TfrBand::UnstretchViews() {
    for (std::size_t i = 0; i < Views.size() && i < designHeights_.size(); ++i)
        Views[i]->Height = designHeights_[i];
}

bool TfrBand::DrawViews() {
    for (std::size_t i = 0; i < Views.size(); ++i) {
        TfrView& v = *Views[i];
        if (dynamic_cast<TfrSubReportView*>(&v) && v.Visible) {
            if (DataLoop* loop = build().dataLoop) SubreportsDone = loop->drawSubreports(*this, i);
            return true;
        }
        PlaceView(v);
        if (build().stopped()) break;
    }
    return false;
}

void TfrBand::PlaceView(TfrView& view) {
    BuildState& st = build();
    st.CurrentPage = Page;
    engine().currentPage = Page;
    st.CurrentBand = this;
    engine().currentBand = this;
    if (view.parentBand != nullptr && view.parentBand != this) return;

    if (Breaked || !engine().firstPass) {
        const int x = view.Left;
        const int y = view.Top;
        const Point shift = placementShift();
        view.Left = sumClamped(x, shift.x);
        view.Top = sumClamped(y, shift.y);
        engine().currentView = &view;
        try {
            st.host->writeView(st.CurrentPageIndex, view);
        } catch (const std::exception& e) {
            st.recordError(e);
        }
        view.Left = x;
        view.Top = y;
        if (view.objectKind == kKindMemo) st.host->afterPrint();
        return;
    }
    engine().currentView = &view;
    if (auto* s = dynamic_cast<TfrStretcheable*>(&view); s && s->drawMode != DrawMode::drawAll) return;
    if (view.scriptLines.empty()) return;
    try {
        st.host->runScript(view.scriptLines, &view);
    } catch (const std::exception& e) {
        st.recordError(e);
    }
}

void TfrBand::DoDraw() {
    TfrPage& page = *Page;
    BuildState& st = build();
    const int t0 = Top;
    // Cross cells accumulate their row column by column.
    bool crossDrawn = false;
    if (!fixedPosition()) Top = page.CursorY;
    if (Stretched) {
        int h = MeasuredHeight;
        StretchViews(h);
        UsedHeight = h;
        if (!Breaked) page.FitsOrBreak(Top, h, false, this);
        Top = page.CursorY;
        bool sub = false;
        if (Breaked) {
            DrawSplit();
            h = 0;
        } else {
            sub = DrawViews();
            if (holdsCrossViews() && st.dataLoop) {
                st.dataLoop->drawCrossCells(*this);
                crossDrawn = true;
            }
        }
        UnstretchViews();
        if (!sub) page.CursorY = sumClamped(page.CursorY, h);
    } else {
        if (!fixedPosition()) {
            if (!Breaked) page.FitsOrBreak(Top, Height, false, this);
            Top = page.CursorY;
        }
        if (Breaked) {
            UsedHeight = MeasuredHeight;
            DrawSplit();
        } else {
            const bool sub = DrawViews();
            if (holdsCrossViews() && st.dataLoop) {
                st.dataLoop->drawCrossCells(*this);
                crossDrawn = true;
            }
            if (!fixedPosition() && !sub) page.CursorY = sumClamped(page.CursorY, Height);
        }
    }
    if (page.LastDrawnBand != this) ColumnIndex = 1;
    page.LastDrawnBand = this;
    drawBandColumns();
    Top = t0;
    if (isDataBand() && st.dataLoop && !crossDrawn) st.dataLoop->accumulate(*this);
}

void TfrBand::drawBandColumns() {
    if (!View || View->Columns <= 1 || View->NewColumnAfter != 1) return;
    TfrPage& page = *Page;
    if (ColumnIndex == 1) ColumnStartX = page.ShiftX;
    const int before = ColumnIndex;
    ++ColumnIndex;
    if (ColumnIndex > View->Columns) {
        page.ShiftX = ColumnStartX;
        ColumnIndex = 1;
    } else {
        page.ShiftX = clampToInt(ColumnStartX + (std::int64_t{View->ColumnWidth} + View->ColumnGap) * before);
        page.CursorY = sumClamped(page.CursorY, -std::int64_t{MeasuredHeight});
    }
}

}  // namespace quor
