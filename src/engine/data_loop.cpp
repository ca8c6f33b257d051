// The data loop of a page pass: the data bands of each level once per
// record, headers shown only with the first record that prints below them,
// group changes closing their footers innermost first.

#include "engine/data_loop.h"

#include <utility>

#include "engine/band.h"
#include "engine/engine_state.h"
#include "engine/expr/expression_engine.h"
#include "engine/memo_view.h"
#include "engine/page.h"

namespace quor {
namespace {

constexpr int kDataKinds[] = {kBandMasterData, kBandDetailData, kBandSubDetailData};

void clearLastValues(TfrBand* band) {
    if (!band) return;
    for (TfrView* v : band->Views)
        if (auto* memo = dynamic_cast<TfrMemoView*>(v)) memo->lastValue.clear();
}

}  // namespace

void PendingBands::Push(TfrBand* band) {
    if (band) bands_.push_back(band);
}

void PendingBands::Flush() {
    std::vector<TfrBand*> bands;
    bands.swap(bands_);
    for (TfrBand* b : bands)
        if (b->exists()) page_.ShowBand(b);
}

Variant groupValue(const TfrBand& header) {
    if (header.Condition.empty()) return Variant();
    return expressionEngine().EvaluateCompiled(header.Condition);
}

// One run of the loop over a page: the pending stack and the levels.
class TfrDataLoop::Pass {
public:
    Pass(TfrDataLoop& loop, TfrPage& page, int depth) : loop_(loop), page_(page), depth_(depth), stack_(page) {}

    void DataLoop(int level);

private:
    bool recording() const { return page_.buildMode == BuildMode::recording; }
    void record(TfrBand* band, PlayAction action) { page_.PlayList.push_back(PlayEntry{band, action}); }
    // Opens the groups of `band` from `from` on: counted and pushed.
    void openGroups(TfrBand* from);
    // The first group change after a record closes its footers and opens
    // the groups again.
    void groupTest(TfrBand& band, BandDataSource& source);

    TfrDataLoop& loop_;
    TfrPage& page_;
    int depth_;
    PendingBands stack_;
};

void TfrDataLoop::Pass::openGroups(TfrBand* from) {
    for (TfrBand* g = from; g; g = g->GroupNext) {
        ++g->LocalPosition;
        ++g->GlobalPosition;
        stack_.Push(g);
    }
}

void TfrDataLoop::Pass::groupTest(TfrBand& b, BandDataSource& source) {
    for (TfrBand* g = b.GroupHead; g; g = g->GroupNext) {
        const bool eof = source.Eof();
        if (!eof && !g->GroupValue.isEmpty() && groupValue(*g) == g->GroupValue) continue;
        bool wentBack = false;
        if (!eof) {
            // The footers see the last record of the closing group.
            try {
                source.Prior();
                wentBack = true;
            } catch (const std::exception&) {
                wentBack = false;
            }
        }
        for (TfrBand* h = b.GroupTail; h && h != g; h = h->Prev) {
            stack_.Push(h->LinkedFooter);
            h->LocalPosition = 0;
            if (h->LinkedFooter) h->LinkedFooter->LocalPosition = 0;
            clearLastValues(h);
            clearLastValues(h->LinkedFooter);
        }
        stack_.Push(g->LinkedFooter);
        stack_.Flush();
        if (source.Eof()) return;
        if (wentBack) source.Next();
        if (g->FormNewPage && g->Visible) page_.NewPage();
        openGroups(g);
        b.LocalPosition = 0;
        return;
    }
}

void TfrDataLoop::Pass::DataLoop(int level) {
    BuildState& st = loop_.state_;
    for (TfrBand* b = page_.band(kDataKinds[level - 1]); b; b = b->Next) {
        if (!b->Source) continue;
        BandDataSource& source = *b->Source;
        source.First();
        if (recording()) {
            record(b, PlayAction::initSource);
        } else {
            b->LocalPosition = b->GlobalPosition = 1;
            clearLastValues(b);
        }
        for (TfrBand* g = b->GroupHead; g; g = g->GroupNext) {
            g->LocalPosition = g->GlobalPosition = 0;
            clearLastValues(g);
        }
        if (source.Eof()) continue;

        openGroups(b->GroupHead);
        stack_.Push(b->LinkedHeader);
        if (b->LinkedFooter) loop_.resetAggregates(*b->LinkedFooter);

        while (!st.stopped()) {
            if (source.Eof() || st.stopped()) break;
            stack_.Push(b);
            if (b->PrintIfSubsetEmpty) stack_.Flush();
            bool counted = true;
            if (level < depth_) {
                DataLoop(level + 1);
                if (!stack_.empty()) {
                    if (b->PrintIfSubsetEmpty) {
                        stack_.Flush();
                    } else {
                        stack_.dropTop();
                        counted = false;
                    }
                }
            } else {
                stack_.Flush();
            }
            source.Next();
            groupTest(*b, source);
            if (recording()) {
                record(b, PlayAction::nextRecord);
            } else if (counted) {
                ++page_.RecordNo;
                ++b->LocalPosition;
                ++b->GlobalPosition;
                if (!source.Eof() && b->FormNewPage && b->Visible) page_.NewPage();
            }
        }
        if (!stack_.empty()) stack_.dropTop();
        else page_.ShowBand(b->LinkedFooter);
    }
}

void TfrDataLoop::run(TfrPage& page, int depth) {
    Pass pass(*this, page, depth);
    pass.DataLoop(1);
}

}  // namespace quor
