#include "engine/subreport_view.h"

#include "engine/stream.h"

namespace quor {

TfrSubReportView::TfrSubReportView() {
    objectKind = kKindSubReport;
    baseName = "SubReport";
}

void TfrSubReportView::LoadFromStream(StreamReader& in) {
    TfrView::LoadFromStream(in);
    SubPage = in.i32();
}

void TfrSubReportView::SaveToStream(StreamWriter& out) {
    TfrView::SaveToStream(out);
    out.i32(SubPage);
}

}  // namespace quor
