// Cross cells: the views of the cross header, of the cross data band once
// per record of its source, and of the cross footer, printed across a band
// from left to right, continuing on the next prepared page at the same
// height when a cell passes the right margin.

#include <algorithm>

#include "engine/band.h"
#include "engine/data_loop.h"
#include "engine/dataset.h"
#include "engine/engine_state.h"
#include "engine/page.h"
#include "platform/numbers.h"

namespace quor {
namespace {

class CrossRow {
public:
    CrossRow(BuildState& st, TfrBand& band) : st_(st), band_(band), page_(*band.Page), p0_(st.CurrentPageIndex) {}

    void runScript(TfrBand& c) {
        if (!c.View || c.Script.empty()) return;
        try {
            st_.host->runScript(c.Script, c.View);
        } catch (const std::exception& e) {
            st_.recordError(e);
        }
    }

    // The views of cross band `c` that lie in this band, at x. A cross
    // footer's aggregate calls are its own, over the cells of the row; the
    // other cells' calls belong to the band they are printed in.
    void printCell(TfrBand& c, int x) {
        c.LocalPosition = band_.LocalPosition;
        c.GlobalPosition = band_.GlobalPosition;
        TfrBand* const calling = st_.CurrentBand;
        if (c.Kind == kBandCrossFooter) st_.CurrentBand = &c;
        struct Restore {
            TfrBand*& current;
            TfrBand* before;
            ~Restore() { current = before; }
        } restore{st_.CurrentBand, calling};
        for (TfrView* v : c.Views) {
            if (std::find(band_.Views.begin(), band_.Views.end(), v) == band_.Views.end()) continue;
            engine().currentView = v;
            if (engine().firstPass) {
                if (!v->scriptLines.empty()) runViewScript(*v);
            } else {
                const int left = v->Left;
                const int top = v->Top;
                v->Left = left + x;
                v->Top = top + band_.Top;
                try {
                    st_.host->writeView(st_.CurrentPageIndex, *v);
                } catch (const std::exception& e) {
                    st_.recordError(e);
                }
                v->Left = left;
                v->Top = top;
                if (v->objectKind == kKindMemo) st_.host->afterPrint();
            }
            v->parentBand = &c;
        }
    }

    // A cell of width w at x that passes the right margin moves to the
    // next prepared page, at the same height.
    void checkWidth(int& x, int w) {
        if (std::int64_t{x} + w <= page_.RightEdge()) return;
        x = page_.LeftEdge();
        ++st_.CurrentPageIndex;
        if (st_.CurrentPageIndex >= st_.host->preparedCount()) {
            st_.host->addPreparedPage(page_);
            page_.ShowBand(page_.band(kBandOverlay));
            const int y = page_.CursorY;
            page_.CursorY = page_.TopEdge();
            TfrBand* header = page_.band(kBandPageHeader);
            if (p0_ != 0 || (header->Flags & kBandOnFirstPage)) page_.ShowBand(header);
            page_.CursorY = y;
            st_.host->progress(st_.CurrentPageIndex + 1);
        }
        TfrBand* crossHeader = page_.band(kBandCrossHeader);
        if (crossHeader->exists() && (crossHeader->Flags & kBandRepeatHeader)) {
            printCell(*crossHeader, page_.LeftEdge());
            x = page_.LeftEdge() + crossHeader->Width;
        }
    }

    int startPage() const { return p0_; }

private:
    void runViewScript(TfrView& v) {
        try {
            st_.host->runScript(v.scriptLines, &v);
        } catch (const std::exception& e) {
            st_.recordError(e);
        }
    }

    BuildState& st_;
    TfrBand& band_;
    TfrPage& page_;
    int p0_;
};

}  // namespace

void TfrDataLoop::drawCrossCells(TfrBand& band) {
    if (band.Kind == kBandPageFooter) return;
    TfrPage& page = *band.Page;
    CrossRow row(state_, band);
    int x = 0;
    page.CrossColumn = 1;
    state_.host->beginColumn(band);

    TfrBand& header = *page.band(kBandCrossHeader);
    if (header.exists()) {
        row.runScript(header);
        row.printCell(header, header.Left);
        x = sumClamped(header.Left, header.Width);
    }

    TfrBand& data = *page.band(kBandCrossData);
    if (data.exists()) {
        if (x == 0) x = data.Left;
        BandDataSource* source = data.Source ? data.Source : band.CrossSource;
        std::unique_ptr<TfrUserDataset> columns;
        if (!source && band.Kind == kBandMasterFooter) {
            // A footer row has as many columns as the widest row so far.
            columns = makeCountSource(data.CrossColumnsSeen);
            source = columns.get();
        }
        if (source) {
            source->Init();
            source->First();
            while (!source->Eof() && !state_.stopped()) {
                engine().currentView = data.View;
                int width = data.Width;
                state_.host->printColumn(page.CrossColumn, width);
                row.runScript(data);
                row.checkWidth(x, width);
                row.printCell(data, x);
                accumulate(data);
                // A data row's column copies take this column's values.
                if (band.isDataBand()) accumulate(band);
                x = sumClamped(x, width);
                ++page.CrossColumn;
                source->Next();
            }
            data.CrossColumnsSeen = std::max(data.CrossColumnsSeen, page.CrossColumn - 1);
        }
    }

    TfrBand& footer = *page.band(kBandCrossFooter);
    if (footer.exists()) {
        row.runScript(footer);
        row.checkWidth(x, footer.Width);
        row.printCell(footer, x);
        resetAggregates(footer);
    }
    state_.CurrentPageIndex = row.startPage();
}

}  // namespace quor
