// A master-detail report on the virtual printer: 1,000 to 100,000 master
// records of 10 details each, two group levels over the masters with sums
// in their footers, through Prepare. "time_per_record" (per master record)
// must stay flat as the records grow.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "device/printer_device.h"
#include "engine/band_view.h"
#include "engine/dataset.h"
#include "engine/engine_state.h"
#include "engine/memo_view.h"
#include "engine/page.h"
#include "platform/message_box.h"
#include "report/report.h"

namespace {

using namespace quor;

void addBand(TfrPage& page, const std::string& name, int kind, int top, const std::string& source,
             const std::string& text) {
    auto band = std::make_unique<TfrBandView>();
    band->Name = name;
    band->FrameTyp = static_cast<std::uint16_t>(kind);
    band->SetBounds(0, top, 700, 16);
    band->formatString = source;
    page.addObject(std::move(band));
    auto memo = std::make_unique<TfrMemoView>();
    memo->Name = name + "Text";
    memo->SetBounds(40, top + 1, 300, 14);
    memo->Flags = 0;
    memo->Memo = {text};
    page.addObject(std::move(memo));
}

void BM_MasterDetailGroups(benchmark::State& state) {
    PrinterDeviceSession device([] { return std::unique_ptr<PlatformPrinter>(); });
    MessageCapture messages;
    const int masters = static_cast<int>(state.range(0));
    constexpr int kDetails = 10;

    TfrUserDataset master, detail;
    master.Name = "Masters";
    master.rangeEnd = RangeEnd::reCount;
    master.RangeEndCount = masters;
    detail.Name = "Details";
    detail.rangeEnd = RangeEnd::reCount;
    detail.RangeEndCount = kDetails;
    TfrComponentOwner form;
    form.Components = {&master, &detail};

    TfrReport report("frRep");
    report.ShowProgress = false;
    report.Owner = &form;
    // Names of compiled expressions come upper-cased.
    report.OnGetValue = [&](const std::string& name, Variant& value) {
        if (sameName(name, "outer")) value = Variant(master.RecNo / 100);
        else if (sameName(name, "inner")) value = Variant(master.RecNo / 10);
        else if (sameName(name, "mid")) value = Variant(master.RecNo);
        else if (sameName(name, "amount")) value = Variant(master.RecNo % 7 + detail.RecNo);
    };
    TfrPage& page = report.TemplatePages.Add();
    page.Margins = PageMargins{36, 36, 36, 36};
    addBand(page, "G1", kBandGroupHeader, 40, "outer", "Group [outer]");
    addBand(page, "G2", kBandGroupHeader, 60, "inner", "Subgroup [inner]");
    addBand(page, "M", kBandMasterData, 80, "Masters", "Master [mid]");
    addBand(page, "D", kBandDetailData, 100, "Details", "[amount]");
    addBand(page, "DF", kBandDetailFooter, 120, "", "[SUM(amount)]");
    addBand(page, "F2", kBandGroupFooter, 140, "", "[SUM(amount, D)]");
    addBand(page, "F1", kBandGroupFooter, 160, "", "[SUM(amount, D)] [COUNT(M)]");

    int pages = 0;
    for (auto _ : state) {
        if (!report.Prepare()) state.SkipWithError("build failed");
        pages = report.PreparedPages.Count();
    }
    state.counters["pages"] = pages;
    state.counters["time_per_record"] = benchmark::Counter(
        static_cast<double>(masters), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MasterDetailGroups)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
