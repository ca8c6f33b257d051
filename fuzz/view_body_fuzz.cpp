// Feeds arbitrary bytes to the common view body reader. The first byte picks
// the stream version (21 to 24) and template or prepared mode; the rest is
// the body. Whatever is read must write and read back to the same bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/engine_state.h"
#include "engine/stream.h"
#include "engine/view.h"
#include "platform/error.h"

namespace {

class BodyOnlyView : public quor::TfrView {
public:
    void Draw(quor::Canvas&) override {}
};

std::string writeBody(quor::TfrView& v) {
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

    quor::engine().streamVersion = version;
    quor::StreamReader in(body);
    BodyOnlyView v;
    v.preparedMode = prepared;
    v.LoadFromStream(in);
    if (in.position() > body.size() && !in.ranShort()) __builtin_trap();

    // Old-layout lists may hold more or longer lines than the counted
    // layout can: the writer refuses them with an error.
    std::string first;
    try {
        first = writeBody(v);
    } catch (const quor::FormatError&) {
        return 0;
    }
    quor::engine().streamVersion = quor::kCurrentStreamVersion;
    quor::StreamReader again(first);
    BodyOnlyView back;
    back.preparedMode = prepared;
    back.LoadFromStream(again);
    if (again.ranShort() || again.position() != first.size()) __builtin_trap();
    if (writeBody(back) != first) __builtin_trap();
    return 0;
}
