// A page's bands for one build: one band per kind, further bands for
// repeated band views, and every view handed to the band whose area holds
// its top.

#include <algorithm>

#include "engine/band.h"
#include "engine/band_source.h"
#include "engine/build_state.h"
#include "engine/engine_state.h"
#include "engine/memo_view.h"
#include "engine/page.h"
#include "engine/subreport_view.h"
#include "platform/numbers.h"

namespace quor {
namespace {

bool isCrossKind(int kind) { return kind >= kBandCrossHeader && kind <= kBandCrossFooter; }

TfrBandView* asBandView(TfrView* v) {
    return v->objectKind == kKindBand ? dynamic_cast<TfrBandView*>(v) : nullptr;
}

bool topInside(const TfrView& v, const TfrBand& b) { return b.Top <= v.Top && v.Top <= b.Top + b.Height; }

void takeViewFields(TfrBand& band, TfrBandView& view) {
    band.View = &view;
    band.Memo = view.Memo;
    band.Script = view.scriptLines;
    band.Flags = view.Flags;
    band.Visible = view.Visible;
    band.Name = view.Name;
    view.parentBand = &band;
}

}  // namespace

bool TfrPage::bandExists(int kind) const {
    const TfrBand* b = band(kind);
    return b != nullptr && b->exists();
}

int TfrPage::columnFooterHeight() const {
    const TfrBand* b = band(kBandColumnFooter);
    return b ? b->Height : 0;
}

void TfrPage::createBands() {
    bandStore_.clear();
    for (int kind = 0; kind < kBandKindCount; ++kind) {
        bandStore_.push_back(std::make_unique<TfrBand>(*this, kind));
        Bands[static_cast<std::size_t>(kind)] = bandStore_.back().get();
        Bands[static_cast<std::size_t>(kind)]->ChainTail = Bands[static_cast<std::size_t>(kind)];
    }
}

void TfrPage::InitBuild(BuildState& state) {
    build = &state;
    createBands();
    for (const auto& v : objects_) {
        v->preparedMode = true;
        v->parentBand = nullptr;
        // The page a subreport shows is built only inside its band.
        if (auto* sub = dynamic_cast<TfrSubReportView*>(v.get()))
            if (TfrPage* shown = state.host->templatePage(sub->SubPage); shown && shown != this) shown->IsSubreport = true;
    }
    distributeCrossViews();
    distributeHorizontalViews();
    linkHeadersAndFooters();
    linkGroupsAndChildren();
    if (Columns == 0) Columns = 1;
    // A damaged template's gaps and counts may span more than an int.
    if (Columns > 0)
        ColumnWidth = clampToInt((std::int64_t{RightEdge()} - LeftEdge() - (std::int64_t{Columns} - 1) * ColumnGap) /
                                 Columns);
    RecordNo = 1;
    CrossColumn = 1;
    InitDone = true;
    BindSources();
}

void TfrPage::DoneBuild() {
    if (!InitDone) return;
    if (build && build->twoPass && engine().firstPass) return;
    for (const auto& b : bandStore_) ReleaseSource(*b);
    for (const auto& v : objects_) v->parentBand = nullptr;
    Bands.fill(nullptr);
    bandStore_.clear();
    LastDrawnBand = nullptr;
    ResumeBand = nullptr;
    PlayList.clear();
    InitDone = false;
}

void TfrPage::distributeCrossViews() {
    std::vector<char> taken(objects_.size(), 0);
    for (const auto& v : objects_) {
        TfrBandView* bv = asBandView(v.get());
        if (!bv || !isCrossKind(bv->bandKind())) continue;
        TfrBand& b = *band(bv->bandKind());
        takeViewFields(b, *bv);
        b.Left = bv->Left;
        b.Width = bv->Width;
    }
    for (int kind = kBandCrossHeader; kind <= kBandCrossFooter; ++kind) {
        TfrBand& b = *band(kind);
        if (!b.View) continue;
        for (std::size_t i = 0; i < objects_.size(); ++i) {
            TfrView& v = *objects_[i];
            if (asBandView(&v) || v.parentBand || taken[i]) continue;
            if (v.Left >= b.Left && b.Left + b.Width >= v.Left + v.Width) {
                b.Views.push_back(&v);
                v.Left -= b.Left;
                v.parentBand = &b;
                taken[i] = 1;
            }
        }
    }
}

void TfrPage::distributeHorizontalViews() {
    std::vector<char> assigned(objects_.size(), 0);
    for (std::size_t i = 0; i < objects_.size(); ++i)
        if (asBandView(objects_[i].get())) assigned[i] = 1;

    auto join = [&](TfrBand& b, std::size_t i, bool setParent) {
        TfrView& v = *objects_[i];
        b.Views.push_back(&v);
        v.Top -= b.Top;
        if (setParent) v.parentBand = &b;
        assigned[i] = 1;
    };

    for (int kind = 0; kind < kBandKindCount - 1; ++kind) {
        if (isCrossKind(kind)) continue;
        std::vector<TfrBand*> chain;
        for (const auto& obj : objects_) {
            TfrBandView* bv = asBandView(obj.get());
            if (!bv || bv->bandKind() != kind) continue;
            TfrBand* b = chain.empty() ? band(kind) : nullptr;
            if (!b) {
                bandStore_.push_back(std::make_unique<TfrBand>(*this, kind));
                b = bandStore_.back().get();
            }
            chain.push_back(b);
            takeViewFields(*b, *bv);
            b->Top = bv->Top;
            b->Height = bv->Height;
            b->ColumnIndex = 1;
            b->Stretched = (bv->Flags & kBandStretched) != 0;
            b->PrintIfSubsetEmpty = (bv->Flags & kBandPrintIfSubsetEmpty) != 0;
            b->PrintChildIfInvisible = (bv->Flags & kBandPrintChildIfInvisible) != 0;
            b->FormNewPage = !IsSubreport && (bv->Flags & kBandFormNewPage) != 0;
            b->Breaked = !IsSubreport && (bv->Flags & kBandBreaked) != 0;
            for (std::size_t i = 0; i < objects_.size(); ++i) {
                TfrView& v = *objects_[i];
                if (!assigned[i] && !v.parentBand && !dynamic_cast<TfrSubReportView*>(&v) && topInside(v, *b))
                    join(*b, i, true);
            }
            for (std::size_t i = 0; i < objects_.size(); ++i) {
                TfrView& v = *objects_[i];
                if (!assigned[i] && v.parentBand && topInside(v, *b)) join(*b, i, false);
            }
            for (std::size_t i = 0; i < objects_.size(); ++i) {
                TfrView& v = *objects_[i];
                if (!assigned[i] && dynamic_cast<TfrSubReportView*>(&v) && topInside(v, *b)) join(*b, i, true);
            }
        }
        if (chain.empty()) continue;
        // Selection sort by Top; ties keep the earlier band.
        for (std::size_t i = 0; i < chain.size(); ++i) {
            std::size_t best = i;
            for (std::size_t j = i + 1; j < chain.size(); ++j)
                if (chain[j]->Top < chain[best]->Top) best = j;
            std::swap(chain[i], chain[best]);
        }
        for (std::size_t i = 0; i < chain.size(); ++i) {
            chain[i]->Prev = i > 0 ? chain[i - 1] : nullptr;
            chain[i]->Next = i + 1 < chain.size() ? chain[i + 1] : nullptr;
        }
        Bands[static_cast<std::size_t>(kind)] = chain.front();
        chain.front()->ChainTail = chain.back();
    }

    TfrBand& loose = *band(kBandNone);
    loose.Top = 0;
    for (std::size_t i = 0; i < objects_.size(); ++i) {
        if (assigned[i]) continue;
        loose.Views.push_back(objects_[i].get());
        if (!objects_[i]->parentBand) objects_[i]->parentBand = &loose;
    }
}

void TfrPage::linkHeadersAndFooters() {
    static constexpr int kTriples[3][3] = {{kBandMasterHeader, kBandMasterData, kBandMasterFooter},
                                           {kBandDetailHeader, kBandDetailData, kBandDetailFooter},
                                           {kBandSubDetailHeader, kBandSubDetailData, kBandSubDetailFooter}};
    for (const auto& t : kTriples) {
        if (!bandExists(t[1])) continue;
        for (TfrBand* h = band(t[0]); h && h->exists(); h = h->Next) {
            for (TfrBand* d = band(t[1]); d; d = d->Next) {
                if (d->Top > h->Top + h->Height) {
                    if (!d->LinkedHeader) {
                        d->LinkedHeader = h;
                        h->LinkedData = d;
                    }
                    break;
                }
            }
        }
        for (TfrBand* f = band(t[2]); f && f->exists(); f = f->Next) {
            TfrBand* owner = band(t[1])->ChainTail;
            for (TfrBand* d = band(t[1]); d; d = d->Next) {
                if (f->Top < d->Top + d->Height) {
                    owner = d->Prev;
                    break;
                }
            }
            if (owner && !owner->LinkedFooter) {
                owner->LinkedFooter = f;
                f->LinkedData = owner;
            }
        }
    }
    // Group footers pair with group headers from the innermost header on.
    std::vector<TfrBand*> heads, foots;
    if (bandExists(kBandGroupHeader))
        for (TfrBand* b = band(kBandGroupHeader); b; b = b->Next) heads.push_back(b);
    if (bandExists(kBandGroupFooter))
        for (TfrBand* b = band(kBandGroupFooter); b; b = b->Next) foots.push_back(b);
    for (std::size_t i = 0; i < heads.size() && i < foots.size(); ++i)
        heads[heads.size() - 1 - i]->LinkedFooter = foots[i];
}

TfrBand* TfrPage::bandOfView(std::string_view name) const {
    for (int kind = 0; kind < kBandKindCount; ++kind)
        for (TfrBand* b = band(kind); b; b = b->Next)
            if (b->View && sameName(b->View->Name, name)) return b;
    return nullptr;
}

void TfrPage::linkGroupsAndChildren() {
    for (int kind = 0; kind < kBandKindCount - 1; ++kind)
        for (TfrBand* b = band(kind); b; b = b->Next) {
            if (!b->View || b->View->ChildBand.empty()) continue;
            TfrBand* child = bandOfView(b->View->ChildBand);
            // A link that would lead back to the band would show it forever.
            for (TfrBand* c = child; c && child; c = c->ChildBand)
                if (c == b) child = nullptr;
            b->ChildBand = child;
        }

    if (!bandExists(kBandMasterData) || !bandExists(kBandGroupHeader)) return;
    TfrBand* master = band(kBandMasterData);
    for (TfrBand* g = band(kBandGroupHeader); g; g = g->Next) {
        TfrBand* data = g->View->Master.empty() ? master : bandOfView(g->View->Master);
        if (!data || !data->isDataBand()) continue;
        g->GroupPrev = data->GroupTail;
        if (data->GroupTail) data->GroupTail->GroupNext = g;
        else data->GroupHead = g;
        data->GroupTail = g;
    }
}

void TfrPage::ShowBandByName(std::string_view name) {
    for (int kind = 0; kind < kBandKindCount; ++kind)
        for (TfrBand* b = band(kind); b; b = b->Next)
            if (b->View && sameName(b->View->Name, name)) {
                b->Draw();
                return;
            }
}

}  // namespace quor
