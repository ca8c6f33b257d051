#pragma once

// A run-time band: made from a band view when a build starts, it measures
// itself, moves to a new column or page when it does not fit, prints its
// views into the current prepared page and cuts a Breaked band at whole
// text lines over as many pages as it needs. Bands never outlive a build.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/band_view.h"
#include "engine/variant.h"
#include "engine/view_context.h"

namespace quor {

class TfrPage;
class BandDataSource;
class TfrSubReportView;
struct BuildState;

// One accumulator of a data band. `name` holds the parts separated by the
// character with code 1 (see aggregate_names.h); the others are those parts
// read once.
struct AggregateEntry {
    std::string name;
    Variant value;
    bool hasColumn = false;
    std::string column;
    std::string resetBand;
    int code = 0;
    std::string expression;
    std::string compiled;  // the expression, prepared once
    std::string option;
    // Values added since the last reset: what AVG divides by.
    int count = 0;
};

// A subreport a band runs: the page it shows and whether it is done.
struct SubreportRun {
    TfrPage* page = nullptr;
    bool finished = false;
};

class TfrBand : public BandContext {
public:
    TfrBand(TfrPage& page, int kind);
    ~TfrBand() override;
    TfrBand(const TfrBand&) = delete;
    TfrBand& operator=(const TfrBand&) = delete;

    TfrPage* Page;
    TfrBandView* View = nullptr;
    int Kind;
    std::string Name;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Visible = true;
    std::uint16_t Flags = 0;
    bool Stretched = false;
    bool FormNewPage = false;
    bool PrintIfSubsetEmpty = false;
    bool Breaked = false;
    bool PrintChildIfInvisible = false;
    int MeasuredHeight = -1;
    int UsedHeight = 0;
    std::vector<TfrView*> Views;
    std::vector<std::string> Memo;
    std::vector<std::string> Script;

    TfrBand* Next = nullptr;
    TfrBand* Prev = nullptr;
    TfrBand* ChainTail = nullptr;  // kept on the chain's first band
    TfrBand* ChildBand = nullptr;
    TfrBand* LinkedHeader = nullptr;
    TfrBand* LinkedFooter = nullptr;
    TfrBand* LinkedData = nullptr;
    TfrBand* GroupHead = nullptr;
    TfrBand* GroupTail = nullptr;
    TfrBand* GroupNext = nullptr;
    TfrBand* GroupPrev = nullptr;
    Variant GroupValue;
    // A group header's condition, prepared by the expression parser.
    std::string Condition;

    BandDataSource* Source = nullptr;
    bool OwnsSource = false;
    BandDataSource* CrossSource = nullptr;
    bool OwnsCrossSource = false;

    std::vector<AggregateEntry> Aggregates;
    int AggregateCount = 0;
    // The data bands whose accumulators this band's aggregate calls show.
    std::vector<TfrBand*> AggregateData;
    // Cross data: the most columns one row has had.
    int CrossColumnsSeen = 0;
    // The subreports this band runs, and the cursor before they started.
    std::vector<SubreportRun> Subreports;
    int SubreportCursor = 0;
    bool SubreportNewPage = false;

    int LocalPosition = 1;
    int GlobalPosition = 1;
    bool SuppressReset = false;
    bool ScriptDone = false;
    bool CursorRestore = false;
    int PendingNewPages = 0;
    int PendingNewColumns = 0;
    bool SubreportsDone = true;
    int ColumnIndex = 1;
    int ColumnStartX = 0;

    // The band has a band view (the kind-22 band: it holds views).
    bool exists() const;
    bool isDataBand() const { return Kind == kBandMasterData || Kind == kBandDetailData || Kind == kBandSubDetailData; }
    bool isCrossKind() const { return Kind >= kBandCrossHeader && Kind <= kBandCrossFooter; }
    // Page footer, overlay and the holder of loose views keep their Top.
    bool fixedPosition() const;
    // Holds views of cross bands.
    bool holdsCrossViews() const;

    // The full showing; true when it is not finished.
    bool Draw();
    int Measure();
    int MeasureStretch(bool includeAll);
    void DoDraw();
    void StretchViews(int height);
    void UnstretchViews();
    // True when a subreport was met.
    bool DrawViews();
    void PlaceView(TfrView& view);
    void DrawSplit();
    void ResetAggregates();

    // BandContext
    Rect bandRect() const override;
    bool isCrossBand() const override { return isCrossKind(); }
    Point placementShift() const override;

private:
    BuildState& build() const;
    void runScript();
    void drawBandColumns();
    int stretchHeight(bool includeAll);
    void shiftBelow(std::size_t index, int bottom, int delta);

    struct SplitView {
        bool pending = false;
        bool deferred = false;
        int left = 0, top = 0, width = 0, height = 0;
    };
    std::vector<int> designHeights_;
    std::vector<SplitView> split_;
};

}  // namespace quor
