#include "engine/band_view.h"
#include "engine/coordinates.h"

#include <utility>

#include "engine/band.h"
#include "engine/band_source.h"
#include "engine/engine_state.h"
#include "engine/page.h"
#include "engine/property_values.h"
#include "engine/stream.h"

namespace quor {

namespace {

// Band views write object layout 2.1, whose body ends with "Master".
constexpr std::uint8_t kBandLayoutLow = 1;
constexpr int kLayoutWithMaster = 21;

// Band flags by property name ("Stretched" is every view's).
constexpr std::pair<const char*, std::uint16_t> kFlagNames[] = {
    {"FormNewPage", kBandFormNewPage},   {"PrintIfSubsetEmpty", kBandPrintIfSubsetEmpty},
    {"Breaked", kBandBreaked},           {"OnFirstPage", kBandOnFirstPage},
    {"OnLastPage", kBandOnLastPage},     {"RepeatHeader", kBandRepeatHeader},
    {"PrintChildIfInvisible", kBandPrintChildIfInvisible},
};

const char* const kIntegerNames[] = {"Columns", "ColumnWidth", "ColumnGap", "NewColumnAfter"};

}  // namespace

TfrBandView::TfrBandView() {
    objectKind = kKindBand;
    baseName = "Band";
    Flags = kBandOnFirstPage | kBandOnLastPage;
    formatCode = 0;
}

void TfrBandView::RegisterProperties() {
    TfrView::RegisterProperties();
    for (const auto& [name, bit] : kFlagNames) addProperty(name, PropertyType::Boolean);
    addProperty("ChildBand", PropertyType::String);
    addProperty("Master", PropertyType::String);
    for (const char* name : kIntegerNames) addProperty(name, PropertyType::Integer);
    addProperty("DataSource", PropertyType::String);
    addProperty("Condition", PropertyType::String);
    addProperty("OnBeforePrint", PropertyType::Lines);
}

std::int32_t* TfrBandView::integerField(std::string_view name) {
    if (sameName(name, "Columns")) return &Columns;
    if (sameName(name, "ColumnWidth")) return &ColumnWidth;
    if (sameName(name, "ColumnGap")) return &ColumnGap;
    if (sameName(name, "NewColumnAfter")) return &NewColumnAfter;
    return nullptr;
}

int* TfrBandView::bandGeometry(std::string_view name) const {
    // During a build the view's parent band is the band made from it.
    auto* band = dynamic_cast<TfrBand*>(parentBand);
    if (!band) return nullptr;
    if (sameName(name, "Left")) return &band->Left;
    if (sameName(name, "Top")) return &band->Top;
    if (sameName(name, "Width")) return &band->Width;
    if (sameName(name, "Height")) return &band->Height;
    return nullptr;
}

void TfrBandView::SetProperty(std::string_view name, const Variant& value) {
    if (int* field = bandGeometry(name)) {
        *field = props::toInt(value);
        return;
    }
    if (auto* band = dynamic_cast<TfrBand*>(parentBand); band && sameName(name, "Visible")) {
        band->Visible = props::toBool(value);
        return;
    }
    for (const auto& [flagName, bit] : kFlagNames) {
        if (sameName(name, flagName)) {
            Flags = props::toBool(value) ? (Flags | bit) : (Flags & ~bit);
            return;
        }
    }
    if (std::int32_t* field = integerField(name)) *field = props::toInt(value);
    else if (sameName(name, "ChildBand")) ChildBand = props::variantToText(value);
    else if (sameName(name, "Master")) Master = props::variantToText(value);
    else if (sameName(name, "DataSource") || sameName(name, "Condition")) {
        formatString = props::variantToText(value);
        // A script of a running build rebinds the band at once.
        if (auto* band = dynamic_cast<TfrBand*>(parentBand); band && band->Page->build) SetSource(*band, formatString);
    }
    else if (sameName(name, "OnBeforePrint")) scriptLines = splitLines(props::variantToText(value));
    else TfrView::SetProperty(name, value);
}

Variant TfrBandView::GetProperty(std::string_view name) {
    if (const int* field = bandGeometry(name)) return Variant(*field);
    if (auto* band = dynamic_cast<TfrBand*>(parentBand); band && sameName(name, "Visible"))
        return Variant(band->Visible);
    for (const auto& [flagName, bit] : kFlagNames)
        if (sameName(name, flagName)) return Variant((Flags & bit) != 0);
    if (std::int32_t* field = integerField(name)) return Variant(*field);
    if (sameName(name, "ChildBand")) return Variant(ChildBand);
    if (sameName(name, "Master")) return Variant(Master);
    if (sameName(name, "DataSource") || sameName(name, "Condition")) return Variant(formatString);
    if (sameName(name, "OnBeforePrint")) return Variant(joinLines(scriptLines));
    return TfrView::GetProperty(name);
}

void TfrBandView::LoadFromStream(StreamReader& in) {
    TfrView::LoadFromStream(in);
    if (engine().streamVersion < kCurrentStreamVersion) return;
    ChildBand = in.text16();
    Columns = in.i32();
    ColumnWidth = storedCoordinate(in.i32());
    ColumnGap = storedCoordinate(in.i32());
    NewColumnAfter = in.i32();
    if (objectVersionHigh * 10 + objectVersionLow >= kLayoutWithMaster) Master = in.text16();
}

void TfrBandView::SaveToStream(StreamWriter& out) {
    objectVersionLow = kBandLayoutLow;
    TfrView::SaveToStream(out);
    if (out.version() < kCurrentStreamVersion) return;
    out.text16(ChildBand);
    out.i32(Columns);
    out.i32(ColumnWidth);
    out.i32(ColumnGap);
    out.i32(NewColumnAfter);
    out.text16(Master);
}

}  // namespace quor
