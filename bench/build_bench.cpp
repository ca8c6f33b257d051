// A whole build of the portrait built-in template on the virtual printer
// with 1,000 to 100,000 document lines of 80 columns: Prepare with its
// snapshot, the cut of the text over the pages and the restore.
// "time_per_line" and "time_per_page" must stay flat as the text grows.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "sample_report.h"
#include "device/printer_device.h"
#include "platform/message_box.h"

namespace {

void BM_PreparePortrait(benchmark::State& state) {
    using namespace quor;
    PrinterDeviceSession device([] { return std::unique_ptr<PlatformPrinter>(); });
    MessageCapture messages;
    const int lines = static_cast<int>(state.range(0));
    std::unique_ptr<TfrReport> sample = sampleReport(lines);
    TfrReport& report = *sample;
    int pages = 0;
    for (auto _ : state) {
        if (!report.Prepare()) state.SkipWithError("build failed");
        pages = report.PreparedPages.Count();
    }
    state.counters["pages"] = pages;
    state.counters["time_per_line"] = benchmark::Counter(
        static_cast<double>(lines), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["time_per_page"] = benchmark::Counter(
        static_cast<double>(pages), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PreparePortrait)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
