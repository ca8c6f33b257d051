#pragma once

// A band view: the template object from which the band engine makes a band.
// Its FrameTyp holds the band kind; its format text holds the data source of
// a data band or the condition of a group header.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/view.h"

namespace quor {

// The band kind of a band view (kept in FrameTyp).
enum BandKind : std::uint16_t {
    kBandReportTitle = 0,
    kBandReportSummary = 1,
    kBandPageHeader = 2,
    kBandPageFooter = 3,
    kBandMasterHeader = 4,
    kBandMasterData = 5,
    kBandMasterFooter = 6,
    kBandDetailHeader = 7,
    kBandDetailData = 8,
    kBandDetailFooter = 9,
    kBandSubDetailHeader = 10,
    kBandSubDetailData = 11,
    kBandSubDetailFooter = 12,
    kBandOverlay = 13,
    kBandColumnHeader = 14,
    kBandColumnFooter = 15,
    kBandGroupHeader = 16,
    kBandGroupFooter = 17,
    kBandCrossHeader = 18,
    kBandCrossData = 19,
    kBandCrossFooter = 20,
    kBandChild = 21,
    kBandNone = 22,
};

// Band flags.
inline constexpr std::uint16_t kBandStretched = 0x0001;
inline constexpr std::uint16_t kBandFormNewPage = 0x0002;
inline constexpr std::uint16_t kBandPrintIfSubsetEmpty = 0x0004;
inline constexpr std::uint16_t kBandBreaked = 0x0008;
inline constexpr std::uint16_t kBandOnFirstPage = 0x0010;
inline constexpr std::uint16_t kBandOnLastPage = 0x0020;
inline constexpr std::uint16_t kBandRepeatHeader = 0x0040;
inline constexpr std::uint16_t kBandPrintChildIfInvisible = 0x0080;

class TfrBandView : public TfrView {
public:
    TfrBandView();
    std::string className() const override { return "TfrBandView"; }

    std::uint16_t bandKind() const { return FrameTyp; }

    std::string ChildBand;
    std::int32_t Columns = 1;
    std::int32_t ColumnWidth = 200;
    std::int32_t ColumnGap = 20;
    std::int32_t NewColumnAfter = 1;
    std::string Master;

    // Adds the band's flags by name, "ChildBand", "Master", the band
    // columns, "DataSource" and "Condition" (both the format text) and
    // "OnBeforePrint" (the script). While a build runs, "Left", "Top",
    // "Width", "Height" and "Visible" are those of the band made from this
    // view, so scripts and the begin-band handler change the band.
    void RegisterProperties() override;
    void SetProperty(std::string_view name, const Variant& value) override;
    Variant GetProperty(std::string_view name) override;

    // Band views are not printed themselves; their band prints its views.
    void Draw(Canvas&) override {}

    void LoadFromStream(StreamReader& in) override;
    void SaveToStream(StreamWriter& out) override;

private:
    std::int32_t* integerField(std::string_view name);
    // The band's own field for a run-time property, or null (no build).
    int* bandGeometry(std::string_view name) const;
};

}  // namespace quor
