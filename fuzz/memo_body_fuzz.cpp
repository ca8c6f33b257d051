// Feeds arbitrary bytes to the memo body reader, then lays the memo out,
// cuts a page piece and draws it on a fixed-pitch surface. The first byte
// picks the stream version (21 to 24) and template or prepared mode. What
// was read must write and read back to the same bytes; layout, cutting and
// drawing must never crash, whatever geometry, spacing or text arrived.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "../tests/engine/memo_fake_canvas.h"
#include "engine/engine_state.h"
#include "engine/memo_view.h"
#include "engine/stream.h"
#include "platform/error.h"

namespace {

std::string writeBody(quor::TfrMemoView& v) {
    quor::StreamWriter w(quor::kCurrentStreamVersion);
    v.SaveToStream(w);
    return w.take();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int version = 21 + (data[0] & 3);
    const bool prepared = (data[0] & 4) != 0;
    std::string_view body(reinterpret_cast<const char*>(data + 1), size - 1);

    static quor::testing::FakeCanvas measure;
    quor::EngineState& e = quor::engine();
    e.measureCanvasOverride = &measure;
    e.expandBrackets = [](quor::TfrView&, const std::string& text) { return text; };
    e.evaluate = nullptr;
    e.streamVersion = version;
    e.documentMode = false;

    quor::StreamReader in(body);
    quor::TfrMemoView v;
    v.preparedMode = prepared;
    v.LoadFromStream(in);
    if (in.position() > body.size() && !in.ranShort()) __builtin_trap();

    std::string first;
    try {
        first = writeBody(v);
    } catch (const quor::FormatError&) {
        return 0;
    }
    e.streamVersion = quor::kCurrentStreamVersion;
    quor::StreamReader again(first);
    quor::TfrMemoView back;
    back.preparedMode = prepared;
    back.LoadFromStream(again);
    if (again.ranShort() || again.position() != first.size()) __builtin_trap();
    if (writeBody(back) != first) __builtin_trap();

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
