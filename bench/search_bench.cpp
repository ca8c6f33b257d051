// The preview's text search over a long printout: 100,000 lines of 80
// columns (about 1,500 pages) searched from the first page for a word that
// stands only on the last line. Every page is drawn into a recording and
// its text compared, so "time_per_page" is the cost of one page passed.

#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "sample_report.h"
#include "device/printer_device.h"
#include "output/preview_form.h"
#include "output/preview_search.h"
#include "platform/codepage.h"
#include "platform/message_box.h"

namespace {

void BM_SearchToTheLastPage(benchmark::State& state) {
    using namespace quor;
    // The window keeps its place in a settings file of its own here.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    PrinterDeviceSession device([] { return std::unique_ptr<PlatformPrinter>(); });
    MessageCapture messages;
    std::unique_ptr<TfrReport> sample = sampleReport(static_cast<int>(state.range(0)));
    TfrReport& report = *sample;
    dynamic_cast<TfrMemoView&>(*report.FindView("FM1")).Memo.back() +=
        unicodeToBytes(u" ИТОГО", CodePage::Cp866);
    report.ModalPreview = false;
    if (!report.Prepare()) state.SkipWithError("build failed");
    TfrPreviewForm form;
    form.openFor(report);
    auto& search = dynamic_cast<PreviewTextSearch&>(*form.search());
    const int pages = form.pageCount();
    for (auto _ : state) {
        search.searchText = QStringLiteral("ИТОГО");
        search.caseSensitive = false;
        search.foundPage = 0;
        search.foundRecord = 0;
        form.currentPage = 1;
        search.searchNext(form);
        if (form.currentPage != pages) state.SkipWithError("the word was not found on the last page");
    }
    state.counters["pages"] = pages;
    state.counters["time_per_page"] = benchmark::Counter(
        static_cast<double>(pages), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SearchToTheLastPage)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
