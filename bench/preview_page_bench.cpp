// One full page of the sample document drawn as the preview draws it at
// 100 %: into a 96-dpi image of an A4 sheet through a QPainterCanvas.
// The figure is the repaint time of a preview page.

#include <benchmark/benchmark.h>

#include <QImage>

#include <cstdlib>
#include <memory>

#include "sample_report.h"
#include "device/printer_device.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "platform/qpainter_canvas.h"

namespace {

void BM_PreviewPage(benchmark::State& state) {
    using namespace quor;
    PrinterDeviceSession device([] { return std::unique_ptr<PlatformPrinter>(); });
    MessageCapture messages;
    std::unique_ptr<TfrReport> report = sampleReport(200);
    dynamic_cast<TfrMemoView&>(*report->FindView("FM1")).Font.name = "Courier New";  // the print job's default
    if (!report->Prepare() || report->PreparedPages.Count() < 1) {
        state.SkipWithError("build failed");
        return;
    }
    // A4 at 96 dpi, as the preview shows it at 100 %.
    QImage image(794, 1123, QImage::Format_ARGB32_Premultiplied);
    const int dpm = roundInt(96 / 0.0254);
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    report->PreparedPages.Item(0).Visible = true;  // as the preview marks a page it shows
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainterCanvas canvas(&image);
        report->PreparedPages.Draw(0, canvas, Rect{0, 0, image.width(), image.height()});
    }
    if (const char* path = std::getenv("QUOR_PREVIEW_PNG")) image.save(path);  // to look at it
}
BENCHMARK(BM_PreviewPage)->Unit(benchmark::kMillisecond);

}  // namespace
