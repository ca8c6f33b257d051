// The view classes the engine knows by object kind. A static library drops
// self-registering objects nobody refers to, so every class is listed here.

#include "engine/band_view.h"
#include "engine/line_view.h"
#include "engine/memo_view.h"
#include "engine/picture_view.h"
#include "engine/subreport_view.h"
#include "engine/view_factory.h"

namespace quor {

void registerBuiltinViews(ViewFactory& factory) {
    // Each concrete view adds its line.
    factory.registerKind(kKindMemo, [] { return std::make_unique<TfrMemoView>(); });
    factory.registerKind(kKindPicture, [] { return std::make_unique<TfrPictureView>(); });
    factory.registerKind(kKindLine, [] { return std::make_unique<TfrLineView>(); });
    factory.registerKind(kKindBand, [] { return std::make_unique<TfrBandView>(); });
    factory.registerClass("TfrBandView", [] { return std::make_unique<TfrBandView>(); });
    factory.registerKind(kKindSubReport, [] { return std::make_unique<TfrSubReportView>(); });
    factory.registerClass("TfrSubReportView", [] { return std::make_unique<TfrSubReportView>(); });
}

}  // namespace quor
