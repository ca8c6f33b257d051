// Feeds arbitrary bytes to every picture decoder through the picture
// container. The first byte picks the graphic kind; the rest is the file.

#include <QGuiApplication>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "platform/error.h"
#include "platform/picture.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // The icon reader is a Qt plugin; plugins want an application object.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static auto* app = new QGuiApplication(*argc, *argv);
    (void)app;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const auto kind = static_cast<quor::GraphicKind>(1 + data[0] % 4);
    quor::Picture picture;
    try {
        picture.loadFromBytes(kind, std::string(reinterpret_cast<const char*>(data + 1), size - 1), "fuzz");
    } catch (const quor::Error&) {
        return 0;
    }
    const quor::Graphic* graphic = picture.graphic();
    if (graphic->isRaster()) {
        const quor::RasterImage flat = graphic->toRaster24();
        if (flat.pixels.size() != static_cast<std::size_t>(flat.width) * flat.height) std::abort();
    }
    return 0;
}
