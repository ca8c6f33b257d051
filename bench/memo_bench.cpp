// The document memo's whole path through a build: one layout (CalcHeight)
// and the cut into page pieces (partial writes), for 1,000 to 100,000 lines
// of 80 columns. "time_per_line" must stay flat as the text grows.

#include <benchmark/benchmark.h>


#include <string>
#include <vector>

#include "sample_document.h"
#include "engine/engine_state.h"
#include "engine/memo_view.h"
#include "engine/stream.h"

namespace {

void BM_MemoMeasureAndCut(benchmark::State& state) {
    using namespace quor;
    const int lines = static_cast<int>(state.range(0));
    const std::vector<std::string> doc = sampleDocument(lines);
    engine().documentMode = true;
    const int pageRoom = 1000;  // about 66 lines a page
    std::size_t written = 0;
    for (auto _ : state) {
        TfrMemoView memo;
        memo.SetBounds(40, 24, 96, 10);
        memo.Flags = kFlagStretched | kFlagAutoWidth;
        memo.Font.name = "Courier New";
        memo.Font.charset = kOemCharset;
        memo.preparedMode = true;
        memo.Memo = doc;
        benchmark::DoNotOptimize(memo.CalcHeight());
        while (memo.pendingLineCount() > 0) {
            memo.Height = pageRoom;
            memo.drawMode = DrawMode::drawPart;
            StreamWriter page;
            memo.WriteToPage(page);
            written += page.size();
        }
    }
    benchmark::DoNotOptimize(written);
    state.counters["time_per_line"] = benchmark::Counter(
        static_cast<double>(lines), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MemoMeasureAndCut)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
