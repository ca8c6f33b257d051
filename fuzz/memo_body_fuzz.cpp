// Feeds arbitrary bytes to the memo body reader, then lays the memo out,
// cuts a page piece and draws it on a fixed-pitch surface. The first byte
// picks the stream version (21 to 24) and template or prepared mode. What
// was read must write and read back to the same bytes; layout, cutting and
// drawing must never crash, whatever geometry, spacing or text arrived.

#include <cstddef>
#include <cstdint>

#include "../tests/engine/memo_fake_canvas.h"
#include "engine/memo_view.h"
#include "view_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::BodyInput input;
    if (!fuzzing::splitInput(data, size, input)) return 0;

    static quor::testing::FakeCanvas measure;
    quor::EngineState& e = quor::engine();
    e.measureCanvasOverride = &measure;
    e.expandBrackets = [](quor::TfrView&, const std::string& text) { return text; };
    e.evaluate = nullptr;
    e.documentMode = false;

    quor::TfrMemoView v;
    if (!fuzzing::readAndRoundTrip(v, input)) return 0;

    // Keep the work per input bounded; the rules do not depend on size.
    if (v.Width > 4000 || v.Width < -4000 || v.Height > 4000 || v.Height < -4000) return 0;
    if (v.Font.pointSize > 500 || v.Font.pointSize < -500) return 0;
    e.documentMode = true;
    try {
        v.CalcHeight();
        v.Height = 1000;
        v.drawMode = quor::DrawMode::drawPart;
        quor::StreamWriter page;
        v.WriteToPage(page);
        if (page.size() > 0) {
            quor::StreamReader pin(page.data());
            pin.u8();
            quor::TfrMemoView piece;
            piece.preparedMode = true;
            piece.LoadFromStream(pin);
            piece.preparedMode = false;
            quor::testing::FakeCanvas surface;
            piece.Draw(surface);
        }
    } catch (const quor::Error&) {
        // Refused spacing or an over-long line: an orderly error is fine.
    }
    e.documentMode = false;
    return 0;
}
