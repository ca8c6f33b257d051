// Subreports: the page a subreport view shows is recorded (the band showings
// and source moves of its data loop) and replayed inside the parent band,
// continuing on the parent's new pages while bands do not fit.

#include <algorithm>
#include <cstdint>

#include "engine/band.h"
#include "engine/data_loop.h"
#include "engine/memo_view.h"
#include "engine/page.h"
#include "engine/subreport_view.h"

namespace quor {
namespace {

void startSource(TfrBand& band) {
    if (band.Source) band.Source->First();
    band.LocalPosition = 1;
    for (TfrView* v : band.Views)
        if (auto* memo = dynamic_cast<TfrMemoView*>(v)) memo->lastValue.clear();
}

}  // namespace

bool TfrPage::Replay() {
    while (PlayIndex < PlayList.size()) {
        const PlayEntry entry = PlayList[PlayIndex];
        TfrBand& b = *entry.band;
        switch (entry.action) {
        case PlayAction::show:
            if (ResumeBand) {
                if (build->dataLoop) build->dataLoop->drawSubreports(*ResumeBand, SIZE_MAX);
                if (ResumeBand) return true;
            } else if (b.Draw()) {
                return true;
            }
            break;
        case PlayAction::initSource:
            startSource(b);
            break;
        case PlayAction::nextRecord:
            if (b.Source) b.Source->Next();
            ++RecordNo;
            ++b.LocalPosition;
            ++b.GlobalPosition;
            break;
        }
        ++PlayIndex;
    }
    return false;
}

bool TfrDataLoop::drawSubreports(TfrBand& band, std::size_t index) {
    TfrPage& parent = *band.Page;
    // Continuing the subreports of a band after a page break.
    if (index == SIZE_MAX) return runSubreports(band);

    band.Subreports.clear();
    for (std::size_t i = index; i < band.Views.size(); ++i) {
        auto* view = dynamic_cast<TfrSubReportView*>(band.Views[i]);
        if (!view) continue;
        TfrPage* sub = state_.host->templatePage(view->SubPage);
        // A page already being replayed (a template nesting a subreport in
        // itself) is not started again.
        if (!sub || sub == &parent || !sub->InitDone || !sub->IsSubreport || !sub->PlayList.empty()) continue;
        sub->buildMode = BuildMode::recording;
        sub->PlayList.clear();
        sub->FormPage();
        sub->CursorY = view->Top + band.Top;
        sub->BottomLimit = parent.BottomLimit;
        sub->ShiftX = parent.ShiftX + view->Left;
        sub->UseMargins = parent.UseMargins;
        sub->Margins = parent.Margins;
        sub->Columns = 1;
        sub->PlayIndex = 0;
        sub->ResumeBand = nullptr;
        band.Subreports.push_back(SubreportRun{sub, false});
    }
    parent.ResumeBand = nullptr;
    band.SubreportCursor = parent.CursorY;
    band.SubreportNewPage = false;
    return runSubreports(band);
}

bool TfrDataLoop::runSubreports(TfrBand& band) {
    TfrPage& parent = *band.Page;
    int lowest = parent.CursorY;
    for (;;) {
        band.SubreportsDone = true;
        lowest = parent.CursorY;
        for (SubreportRun& run : band.Subreports) {
            if (run.finished) continue;
            TfrPage& sub = *run.page;
            state_.CurrentPage = &sub;
            const bool more = sub.Replay();
            state_.CurrentPage = &parent;
            if (more) {
                band.SubreportsDone = false;
            } else {
                run.finished = true;
                lowest = std::max(lowest, sub.CursorY);
            }
        }
        if (band.SubreportsDone || state_.stopped()) break;
        if (parent.IsSubreport) {
            parent.ResumeBand = &band;
            return false;
        }
        band.ScriptDone = true;
        parent.NewPage();
        band.SubreportNewPage = true;
        for (SubreportRun& run : band.Subreports) {
            if (run.finished) continue;
            run.page->CursorY = parent.CursorY;
            run.page->BottomLimit = parent.BottomLimit;
        }
    }
    finishSubreports(band, lowest);
    return band.SubreportsDone;
}

void TfrDataLoop::finishSubreports(TfrBand& band, int lowest) {
    TfrPage& parent = *band.Page;
    for (SubreportRun& run : band.Subreports) {
        run.page->PlayList.clear();
        run.page->buildMode = BuildMode::normal;
    }
    band.Subreports.clear();
    parent.CursorY = lowest;
    parent.ResumeBand = nullptr;
    if (!band.SubreportNewPage) parent.CursorY = std::max(parent.CursorY, band.SubreportCursor + band.Height);
}

}  // namespace quor
