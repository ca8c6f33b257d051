// Logo placement: the report's band-start handler. Every call reads its
// settings afresh; the report undoes these changes when the build ends.

#include <string>

#include "app/print_job.h"
#include "engine/band.h"
#include "engine/picture_view.h"
#include "engine/page.h"
#include "report/pages.h"

namespace quor {
namespace {

std::string key(const char* prefix, int logo, const char* suffix) {
    return prefix + std::to_string(logo) + suffix;
}

}  // namespace

void QuorPrintJob::placeLogoInBand(TfrPictureView& view, int logo) {
    view.Visible = true;
    view.Left = number(key("Pic", logo, "Left"), "36");
    view.Width = number(key("Pic", logo, "X"), "360");
    view.Height = number(key("Pic", logo, "Y"), "54");
    view.picture.loadFromFile(FS.ReadString(key("Picture", logo, ""), ""));
}

void QuorPrintJob::placeLogoOnEveryPage(TfrBand& overlay, TfrPictureView& view, int logo) {
    overlay.Visible = true;
    overlay.Height = frRep.TemplatePages[0].FormHeight;
    overlay.Top = 0;
    view.Left = number(key("Pic", logo, "Left"), "36");
    view.Top = number(key("Pic", logo, "Top"), "36");
    view.Width = number(key("Pic", logo, "X"), "360");
    view.Height = number(key("Pic", logo, "Y"), "54");
    view.picture.loadFromFile(FS.ReadString(key("Picture", logo, ""), ""));
}

void QuorPrintJob::frRepBeginBand(TfrBand& band) {
    if (band.Name == "ReportTitle1") {
        const int show = FS.ReadInteger("Picture1Show", 0);
        if (show == 0 || show == 2)
            picture("FPT").Visible = false;
        else if (show == 1)
            placeLogoInBand(picture("FPT"), 1);
    } else if (band.Name == "ReportSummary1") {
        const int show = FS.ReadInteger("Picture2Show", 0);
        if (show == 0 || show == 2) {
            band.Visible = false;
        } else if (show == 1) {
            band.Visible = true;
            band.Height = number("Pic2Y", "54");
            placeLogoInBand(picture("FPB"), 2);
        }
    } else if (band.Name == "Overlay1") {
        band.Visible = false;
        if (FS.ReadInteger("Picture1Show", 0) == 2) placeLogoOnEveryPage(band, picture("FPTP"), 1);
        if (FS.ReadInteger("Picture2Show", 0) == 2) placeLogoOnEveryPage(band, picture("FPBP"), 2);
    }
}

}  // namespace quor
