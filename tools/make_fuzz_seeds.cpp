// Writes the data templates of the template fuzz target's corpus
// (fuzz/corpus/template_fuzz/) through the engine's own objects and
// template writer: data bands of three levels, groups with aggregate
// footers, a subreport, cross cells and the kinds of source names.
//   cmake --build BUILD --target update_fuzz_seeds

#include <QGuiApplication>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "device/printer_device.h"
#include "engine/band_view.h"
#include "engine/memo_view.h"
#include "engine/stream.h"
#include "engine/subreport_view.h"
#include "report/report.h"

namespace quor {
namespace {

class Seed {
public:
    Seed() { page(); }
    TfrPage& page() {
        TfrPage& p = report_.TemplatePages.Add();
        p.Margins = PageMargins{36, 36, 36, 36};
        current_ = &p;
        return p;
    }
    TfrBandView& band(const std::string& name, int kind, int top, const std::string& source = "",
                      std::uint16_t flags = 0, const std::string& text = "") {
        auto v = std::make_unique<TfrBandView>();
        v->Name = name;
        v->FrameTyp = static_cast<std::uint16_t>(kind);
        v->SetBounds(0, top, 700, 20);
        v->Flags = flags;
        v->formatString = source;
        auto& band = static_cast<TfrBandView&>(*current_->addObject(std::move(v)));
        if (!text.empty()) memo(name + "Text", 40, top + 2, text);
        return band;
    }
    void memo(const std::string& name, int left, int top, const std::string& text, int width = 200) {
        auto v = std::make_unique<TfrMemoView>();
        v->Name = name;
        v->SetBounds(left, top, width, 16);
        v->Flags = 0;
        v->Memo = {text};
        current_->addObject(std::move(v));
    }
    void subreport(int left, int top, int pageIndex) {
        auto v = std::make_unique<TfrSubReportView>();
        v->Name = "Sub" + std::to_string(pageIndex);
        v->SetBounds(left, top, 300, 20);
        v->SubPage = pageIndex;
        current_->addObject(std::move(v));
    }
    bool write(const std::string& path) const {
        StreamWriter out;
        report_.SaveToStream(out);
        std::ofstream file(path, std::ios::binary);
        file << out.take();
        return static_cast<bool>(file);
    }

private:
    TfrReport report_{"frRep"};
    TfrPage* current_ = nullptr;
};

bool writeSeeds(const std::string& dir) {
    bool ok = true;
    {
        Seed s;
        s.band("G", kBandGroupHeader, 20, "key", kBandRepeatHeader, "G[key]");
        s.band("MH", kBandMasterHeader, 40, "", kBandRepeatHeader, "MH");
        s.band("M", kBandMasterData, 60, "Data", kBandPrintIfSubsetEmpty, "M[LINE#]");
        s.band("DH", kBandDetailHeader, 80, "", 0, "DH");
        s.band("D", kBandDetailData, 100, "Detail", 0, "[v]");
        s.band("SD", kBandSubDetailData, 120, "2", 0, "[LINE#]");
        s.band("DF", kBandDetailFooter, 140, "", 0, "[SUM(v)]");
        s.band("GF", kBandGroupFooter, 160, "", kBandFormNewPage, "[SUM(v, D)] [COUNT(M)]");
        s.band("MF", kBandMasterFooter, 180, "", 0, "[AVG(v, D)] [MIN(v, D, 1)] [MAX(v, D)]");
        s.band("PF", kBandPageFooter, 1000, "", kBandOnFirstPage, "[SUM(v, M)]");
        ok &= s.write(dir + "/data_groups.frf");
    }
    {
        Seed s;
        s.band("T", kBandReportTitle, 20);
        s.subreport(100, 22, 1);
        s.band("S", kBandReportSummary, 60, "", 0, "END");
        s.page();
        s.band("SM", kBandMasterData, 20, "Form1.Data", 0, "S[LINE#]");
        s.band("SF", kBandMasterFooter, 40, "", 0, "[COUNT(SM)]");
        ok &= s.write(dir + "/data_subreport.frf");
    }
    {
        Seed s;
        s.band("R", kBandMasterData, 60, "3", 0, "R[LINE#]");
        s.band("RF", kBandMasterFooter, 80, "", 0, "F");
        s.band("CH", kBandCrossHeader, 0, "", kBandRepeatHeader).SetBounds(260, 300, 60, 40);
        s.band("CD", kBandCrossData, 0, "Data").SetBounds(320, 300, 90, 40);
        s.band("CF", kBandCrossFooter, 0).SetBounds(410, 300, 80, 40);
        s.memo("HCell", 262, 62, "H", 50);
        s.memo("DCell", 322, 62, "[COLUMN#]", 80);
        s.memo("FCell", 412, 62, "[SUM(COLUMN#)]", 70);
        s.memo("FootCell", 322, 82, "c", 80);
        ok &= s.write(dir + "/data_cross.frf");
    }
    {
        Seed s;
        s.band("R", kBandMasterData, 60, "9", 0, "R");
        s.band("CD", kBandCrossData, 0, "R=2;").SetBounds(320, 300, 90, 40);
        s.memo("DCell", 322, 62, "[COLUMN#]", 80);
        s.band("M2", kBandMasterData, 100, "Nowhere.Data", 0, "missing");
        ok &= s.write(dir + "/data_sources.frf");
    }
    return ok;
}

}  // namespace
}  // namespace quor

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds DIR\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    quor::PrinterDeviceSession device([] { return std::unique_ptr<quor::PlatformPrinter>(); });
    return quor::writeSeeds(argv[1]) ? 0 : 1;
}
