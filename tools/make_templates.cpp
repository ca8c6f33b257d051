// Writes the two built-in templates (resources/templates/DOKUMP_QUOR.frf and
// DOKUML_QUOR.frf) from the tables below, through the engine's own objects
// and template writer. Run it after changing a table:
//   cmake --build BUILD --target update_templates

#include <QGuiApplication>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "engine/band_view.h"
#include "engine/memo_view.h"
#include "engine/picture_view.h"
#include "engine/stream.h"
#include "engine/view_factory.h"
#include "device/printer_device.h"
#include "report/builtin_templates.h"
#include "report/report.h"

namespace quor {
namespace {

enum class Cls { Band, Memo, Picture };

struct ObjectRow {
    const char* name;
    Cls cls;
    int left, top, width, height;
    std::uint16_t flags;
    std::uint16_t bandKind;  // band views only
};

struct TemplateRow {
    const char* type;
    int paperWidth, paperHeight;  // tenths of a millimetre
    std::uint8_t orientation;
    std::vector<ObjectRow> objects;  // in stream order
};

const TemplateRow kPortrait{
    kPortraitTemplateType, 2100, 2970, 0,
    {
        {"Overlay1", Cls::Band, 0, 112, 758, 18, 0x0030, kBandOverlay},
        {"ReportTitle1", Cls::Band, 0, 20, 758, 18, 0x0039, kBandReportTitle},
        {"ReportSummary1", Cls::Band, 0, 64, 758, 18, 0x0030, kBandReportSummary},
        {"FM1", Cls::Memo, 40, 24, 96, 10, 0x0009, 0},
        {"FPT", Cls::Picture, 156, 24, 96, 10, 0x0001, 0},
        {"FPB", Cls::Picture, 40, 68, 96, 10, 0x0001, 0},
        {"FPTP", Cls::Picture, 44, 114, 96, 10, 0x0001, 0},
        {"FPBP", Cls::Picture, 160, 114, 96, 10, 0x0001, 0},
    }};

const TemplateRow kLandscape{
    kLandscapeTemplateType, 2970, 2100, 1,
    {
        {"Overlay1", Cls::Band, 0, 104, 1071, 18, 0x0030, kBandOverlay},
        {"ReportTitle1", Cls::Band, 0, 20, 1071, 18, 0x0039, kBandReportTitle},
        {"ReportSummary1", Cls::Band, 0, 60, 1071, 18, 0x0039, kBandReportSummary},
        {"FPTP", Cls::Picture, 36, 108, 96, 10, 0x0001, 0},
        {"FPBP", Cls::Picture, 148, 108, 96, 10, 0x0001, 0},
        {"FPT", Cls::Picture, 144, 24, 96, 10, 0x0001, 0},
        {"FM1", Cls::Memo, 32, 24, 96, 10, 0x0009, 0},
        {"FPB", Cls::Picture, 28, 64, 96, 10, 0x0001, 0},
    }};

// The default display format with "." as the decimal separator.
constexpr std::int32_t kTextFormat = 558;

std::unique_ptr<TfrView> makeObject(const ObjectRow& row) {
    const std::uint8_t kind = row.cls == Cls::Band  ? kKindBand
                              : row.cls == Cls::Memo ? kKindMemo
                                                     : kKindPicture;
    std::unique_ptr<TfrView> v = ViewFactory::instance().create(kind);
    v->Name = row.name;
    v->SetBounds(row.left, row.top, row.width, row.height);
    v->Flags = row.flags;
    v->FrameTyp = row.cls == Cls::Band ? row.bandKind : 0;
    v->FrameWidth = 1;
    v->FrameColor = 0;
    v->FrameStyle = kFrameSolid;
    v->FillColor = kNoColor;
    v->Visible = true;
    v->Restrictions = 0;
    v->GapX = 2;
    v->GapY = 1;
    v->BandAlign = kAlignNone;
    v->objectVersionLow = 0;
    if (row.cls == Cls::Band) {
        v->formatCode = 0;
        auto& band = static_cast<TfrBandView&>(*v);
        band.Columns = 1;
        band.ColumnWidth = 200;
        band.ColumnGap = 20;
        band.NewColumnAfter = 1;
    } else {
        v->formatCode = kTextFormat;
    }
    if (row.cls == Cls::Memo) {
        auto& memo = static_cast<TfrMemoView&>(*v);
        memo.Font.name = "Arial";
        memo.Font.pointSize = 10;
        memo.Font.style = 0;
        memo.Font.color = 0;
        memo.Font.charset = 204;
        memo.Alignment = 0;
        memo.highlightStyle = 2;  // bold
        memo.highlightColor = 0;
        memo.highlightFill = 0x00FFFFFF;
        memo.highlightCondition.clear();
        memo.LineSpacing = 2;
        memo.CharSpacing = 0;
    }
    if (row.cls == Cls::Picture) {
        auto& picture = static_cast<TfrPictureView&>(*v);
        picture.picture.clear();
        picture.BlobType = kBlobBitmap;
    }
    return v;
}

std::string buildTemplate(const TemplateRow& t) {
    TfrReport report;
    report.UseDefaultPrinter = true;
    report.TwoPass = false;
    TfrPage& page = report.TemplatePages.Add();
    page.ChangePaper(9, t.paperWidth, t.paperHeight, automaticBin, t.orientation);
    page.Margins = {0, 0, 0, 0};
    page.UseMargins = true;
    page.PrintToPrevPage = false;
    page.Columns = 0;
    page.ColumnGap = 0;
    page.PageType = kReportPage;
    for (const ObjectRow& row : t.objects) page.addObject(makeObject(row));
    StreamWriter out;
    report.SaveToStream(out);
    return out.take();
}

}  // namespace
}  // namespace quor

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argv[0]);
        return 2;
    }
    // Fonts need an application; no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // Built on the virtual printer, so that the header names it and the
    // paper is exactly the table's.
    quor::PrinterDeviceSession device([] { return std::unique_ptr<quor::PlatformPrinter>(); });
    for (const quor::TemplateRow* t : {&quor::kPortrait, &quor::kLandscape}) {
        const std::string path = std::string(argv[1]) + "/" + t->type + "_" +
                                 quor::kBuiltinTemplateName + ".frf";
        const std::string bytes = quor::buildTemplate(*t);
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!file) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s: %zu bytes\n", path.c_str(), bytes.size());
    }
    return 0;
}
