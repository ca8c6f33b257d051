// Feeds arbitrary bytes to every picture decoder through the picture
// container, and to the picture view's stored body. The first byte picks
// the target; the rest is the file or the stream.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/engine_state.h"
#include "engine/picture_view.h"
#include "engine/stream.h"
#include "platform/error.h"
#include "platform/picture.h"
#include "qt_for_fuzzing.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // The icon reader is a Qt plugin; plugins want an application object.
    fuzzing::startQt(argc, argv);
    return 0;
}

namespace {

void decodeFile(quor::GraphicKind kind, std::string bytes) {
    quor::Picture picture;
    try {
        picture.loadFromBytes(kind, std::move(bytes), "fuzz");
    } catch (const quor::Error&) {
        return;
    }
    const quor::Graphic* graphic = picture.graphic();
    if (graphic->isRaster()) {
        const quor::RasterImage flat = graphic->toRaster24();
        if (flat.pixels.size() != static_cast<std::size_t>(flat.width) * flat.height) std::abort();
    }
}

void readViewBody(const std::string& bytes, bool prepared) {
    quor::engine().streamVersion = 24;
    quor::TfrPictureView view;
    view.preparedMode = prepared;
    quor::StreamReader in(bytes);
    try {
        view.LoadFromStream(in);
    } catch (const quor::Error&) {
        return;
    }
    // Whatever was read is written back without harm.
    quor::StreamWriter out;
    view.SaveToStream(out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const unsigned target = data[0] % 6;
    if (target < 4)
        decodeFile(static_cast<quor::GraphicKind>(1 + target), std::move(rest));
    else
        readViewBody(rest, target == 5);
    return 0;
}
