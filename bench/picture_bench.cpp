// Costs that repeat for every page that carries a logo: decoding the stored
// graphic when a prepared page is read, and turning it into printer pixels.

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>

#include "engine/engine_state.h"
#include "engine/picture_view.h"
#include "platform/picture.h"
#include "platform/recording_canvas.h"

namespace {

std::string sample(const char* name) {
    std::ifstream in(std::string(QUOR_SOURCE_DIR) + "/samples/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void decode(benchmark::State& state, quor::GraphicKind kind, const char* name) {
    const std::string bytes = sample(name);
    for (auto _ : state) {
        quor::Picture picture;
        picture.loadFromBytes(kind, bytes, name);
        benchmark::DoNotOptimize(picture.graphic());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK_CAPTURE(decode, jpeg_stamp, quor::GraphicKind::Jpeg, "stamp.jpg");
BENCHMARK_CAPTURE(decode, bitmap_logo, quor::GraphicKind::Bitmap, "logo.bmp");

// A 360 x 54 logo drawn for a 600-dpi printer.
void printLogo(benchmark::State& state) {
    quor::engine().documentMode = true;
    quor::TfrPictureView view;
    view.SetBounds(40, 24, 360, 54);
    view.Flags = quor::kPictureStretched;
    view.picture.loadFromBytes(quor::GraphicKind::Jpeg, sample("stamp.jpg"), "stamp.jpg");
    view.drawForPrinter = true;
    view.drawScaleX = view.drawScaleY = 600 / 91.6256157635468;
    quor::RecordingCanvas printer(600, true);
    for (auto _ : state) {
        view.Draw(printer);
        printer.clear();
    }
}
BENCHMARK(printLogo);

}  // namespace

