#include "engine/band_view.h"

#include "engine/engine_state.h"
#include "engine/stream.h"

namespace quor {

namespace {

// Band views write object layout 2.1, whose body ends with "Master".
constexpr std::uint8_t kBandLayoutLow = 1;
constexpr int kLayoutWithMaster = 21;

}  // namespace

TfrBandView::TfrBandView() {
    objectKind = kKindBand;
    baseName = "Band";
    Flags = kBandOnFirstPage | kBandOnLastPage;
    formatCode = 0;
}

void TfrBandView::LoadFromStream(StreamReader& in) {
    TfrView::LoadFromStream(in);
    if (engine().streamVersion < kCurrentStreamVersion) return;
    ChildBand = in.text16();
    Columns = in.i32();
    ColumnWidth = in.i32();
    ColumnGap = in.i32();
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
