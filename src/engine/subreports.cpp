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
#include "platform/error.h"
#include "platform/messages.h"
#include "platform/numbers.h"

namespace quor {
namespace {

void startSource(TfrBand& band) {
    if (band.Source) band.Source->First();
    band.LocalPosition = 1;
    for (TfrView* v : band.Views)
        if (auto* memo = dynamic_cast<TfrMemoView*>(v)) memo->lastValue.clear();
}

// How far a subreport page and the subreports it continues have played.
std::size_t played(const TfrPage& page) {
    std::size_t n = page.PlayIndex;
    if (page.ResumeBand)
        for (const SubreportRun& run : page.ResumeBand->Subreports) n += run.finished ? 1 : played(*run.page);
    return n;
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
    // Continuing the subreports of a band after a page break: they go on
    // where their own page now stands.
    if (index == SIZE_MAX) {
        band.SubreportNewPage = true;
        for (SubreportRun& run : band.Subreports) {
            run.page->CursorY = parent.CursorY;
            run.page->BottomLimit = parent.BottomLimit;
        }
        return runSubreports(band);
    }

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
        sub->CursorY = sumClamped(view->Top, band.Top);
        sub->BottomLimit = parent.BottomLimit;
        sub->ShiftX = sumClamped(parent.ShiftX, view->Left);
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
    int idleRounds = 0;
    for (;;) {
        std::size_t before = 0;
        for (const SubreportRun& run : band.Subreports) before += run.finished ? 1 : played(*run.page);
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
        std::size_t after = 0;
        for (const SubreportRun& run : band.Subreports) after += run.finished ? 1 : played(*run.page);
        // A band taller than any page would start pages forever.
        idleRounds = after != before ? 0 : idleRounds + 1;
        if (idleRounds >= kMaxPagesWithoutProgress) {
            state_.recordError(Error(message(kMsgNoRoomForBand) + " " + band.Name));
            break;
        }
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
    if (!band.SubreportNewPage) parent.CursorY = std::max(parent.CursorY, sumClamped(band.SubreportCursor, band.Height));
}

}  // namespace quor
