// One page-template pass and the page changes inside it: starting pages and
// page columns, closing pages with their footers, and the fit test.

#include "engine/band.h"
#include "engine/build_state.h"
#include "engine/engine_state.h"
#include "engine/page.h"
#include "platform/numbers.h"

namespace quor {

void TfrPage::runPageScript() {
    if (Script.empty()) return;
    try {
        build->host->runScript(Script, nullptr);
    } catch (const std::exception& e) {
        build->recordError(e);
    }
}

void TfrPage::ShowBand(TfrBand* b) {
    if (!b) return;
    if (buildMode == BuildMode::recording) {
        PlayList.push_back(PlayEntry{b, PlayAction::show});
        return;
    }
    b->Draw();
}

bool TfrPage::FitsOrBreak(int top, int height, bool checkOnly, TfrBand* b) {
    if (b && b->Kind == kBandColumnFooter) return false;
    if (std::int64_t{top} + height + columnFooterHeight() <= BottomLimit) return false;
    if (!checkOnly) NewColumn(b);
    return true;
}

void TfrPage::FormPage() {
    BuildState& st = *build;
    BuildHost& host = *st.host;
    const bool manual = host.hasManualBuild();

    if (!host.printIfEmpty()) {
        TfrBand* master = band(kBandMasterData);
        bool empty = true;
        if (master->exists() && master->Source) {
            try {
                master->Source->Init();
                empty = master->Source->Eof();
            } catch (const std::exception&) {
                empty = true;
            }
        }
        if (empty) {
            if (st.AppendMode) ++st.CurrentPageIndex;
            return;
        }
    }

    NoRepeatHeaders = false;
    if (buildMode == BuildMode::normal) {
        runPageScript();
        if (st.AppendMode && st.SavedCursorY == st.SavedBottomLimit) {
            st.AppendMode = false;
            st.FooterDone = false;
            st.CurrentPageIndex = host.preparedCount();
        }
        BottomLimit = st.AppendMode && st.FooterDone ? st.SavedBottomLimit : BottomEdge();
        ColumnNo = 0;
        ShiftX = LeftEdge();
        if (st.AppendMode) {
            CursorY = st.SavedCursorY;
        } else {
            host.addPreparedPage(*this);
            CursorY = TopEdge();
            // The report title comes before the column header that sets the
            // column start; a title flowing into the next column starts at
            // the top margin, not at the paper's edge.
            ColumnTop = CursorY;
            ShowBand(band(kBandOverlay));
            ShowBand(band(kBandNone));
        }
        const int pageIndex = st.CurrentPageIndex;
        if (!manual) ShowBand(band(kBandReportTitle));
        if (pageIndex == st.CurrentPageIndex) {
            if (bandExists(kBandPageHeader) && (band(kBandPageHeader)->Flags & kBandOnFirstPage))
                ShowBand(band(kBandPageHeader));
            ShowBand(band(kBandColumnHeader));
        }
    }

    if (!manual) {
        int depth = 0;
        if (bandExists(kBandMasterData)) depth = 1;
        if (bandExists(kBandDetailData)) depth = 2;
        if (bandExists(kBandSubDetailData)) depth = 3;
        if (depth > 0 && !st.stopped()) {
            if (st.dataLoop) st.dataLoop->run(*this, depth);
        }
    }

    if (buildMode == BuildMode::normal) {
        if (manual) {
            host.manualBuild(*this);
        } else {
            NoRepeatHeaders = true;
            ShowBand(band(kBandColumnFooter));
            TfrBand* footer = band(kBandColumnFooter);
            const int footerHeight = footer->Height;
            footer->Height = 0;
            ShowBand(band(kBandReportSummary));
            footer->Height = footerHeight;
            NoRepeatHeaders = false;
        }
        st.SavedCursorY = ColumnNo > 0 ? BottomEdge() : CursorY;
        st.SavedBottomLimit = BottomLimit;
        ColumnNo = 0;
        ShiftX = LeftEdge();

        const int n = st.CurrentPageIndex;
        st.FooterDone = false;
        if (!manual) {
            TfrBand* pageFooter = band(kBandPageFooter);
            if ((pageFooter->Flags & kBandOnLastPage) || (n == 0 && (pageFooter->Flags & kBandOnFirstPage))) {
                const std::uint16_t flags = pageFooter->Flags;
                pageFooter->Flags |= kBandOnFirstPage;
                st.FooterDone = pageFooter->exists();
                if (st.FooterDone) CloseFootedPages();
                pageFooter->Flags = flags;
            }
        }
        host.endPage(st.CurrentPageIndex);
        st.CurrentPageIndex = n + 1;
    }
    LastDrawnBand = nullptr;
}

void TfrPage::NewPage() {
    BuildState& st = *build;
    st.host->progress(st.CurrentPageIndex + 1);
    if (!NoRepeatHeaders) ShowBand(band(kBandColumnFooter));
    CloseFootedPages();
    BottomLimit = BottomEdge();
    st.host->addPreparedPage(*this);
    st.AppendMode = false;
    ShowBand(band(kBandOverlay));
    CursorY = TopEdge();
    ShowBand(band(kBandPageHeader));
    ShowBand(band(kBandColumnHeader));
}

void TfrPage::CloseFootedPages() {
    BuildState& st = *build;
    ColumnNo = 0;
    ShiftX = LeftEdge();
    TfrBand* footer = band(kBandPageFooter);
    if (st.CurrentPageIndex > 0 || (footer->Flags & kBandOnFirstPage)) {
        while (st.CurrentPageIndex < st.host->preparedCount()) {
            if (!(st.AppendMode && st.FooterDone)) {
                st.host->endPage(st.CurrentPageIndex);
                ShowBand(footer);
            }
            ++st.CurrentPageIndex;
        }
    }
    st.CurrentPageIndex = st.host->preparedCount();
}

void TfrPage::NewColumn(TfrBand* b) {
    if (ColumnNo < std::int64_t{Columns} - 1) {
        ShowBand(band(kBandColumnFooter));
        ++ColumnNo;
        ShiftX = clampToInt(std::int64_t{ShiftX} + ColumnWidth + ColumnGap);
        CursorY = ColumnTop;
        ShowBand(band(kBandColumnHeader));
    } else {
        NewPage();
    }
    for (TfrBand* g = band(kBandGroupHeader); g && g != b; g = g->Next) {
        if (!(g->Flags & kBandRepeatHeader) || NoRepeatHeaders) continue;
        g->SuppressReset = true;
        ShowBand(g);
        g->SuppressReset = false;
    }
    if (b && b->isDataBand() && b->LinkedHeader && (b->LinkedHeader->Flags & kBandRepeatHeader))
        ShowBand(b->LinkedHeader);
}

}  // namespace quor
