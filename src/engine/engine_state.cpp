#include "engine/engine_state.h"

#include <cstdlib>

#include "engine/expr/view_bridge.h"
#include "platform/measure_canvas.h"
#include "platform/messages.h"

namespace quor {
namespace {

int charsetFromMessages() {
    const std::string& text = message(kMsgDefaultCharset);
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < 0 || v > 255) return 204;
    return static_cast<int>(v);
}

EngineState makeState() {
    EngineState s;
    s.defaultCharset = charsetFromMessages();
    s.expandBrackets = expandBracketsForView;
    s.evaluate = evaluateForView;
    return s;
}

}  // namespace

EngineState& engine() {
    static EngineState state = makeState();
    return state;
}

Canvas& engineMeasureCanvas() {
    EngineState& e = engine();
    return e.measureCanvasOverride ? *e.measureCanvasOverride : measureCanvas();
}

int nextObjectId() { return ++engine().objectCounter; }

}  // namespace quor
