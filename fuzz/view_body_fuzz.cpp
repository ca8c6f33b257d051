// Feeds arbitrary bytes to the common view body reader. The first byte picks
// the stream version (21 to 24) and template or prepared mode; the rest is
// the body. Whatever is read must write and read back to the same bytes.

#include <cstddef>
#include <cstdint>

#include "engine/view.h"
#include "view_round_trip.h"

namespace {

class BodyOnlyView : public quor::TfrView {
public:
    void Draw(quor::Canvas&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::BodyInput input;
    if (!fuzzing::splitInput(data, size, input)) return 0;
    BodyOnlyView v;
    fuzzing::readAndRoundTrip(v, input);
    return 0;
}
