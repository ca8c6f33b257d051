// Feeds arbitrary bytes to the metafile loader and player (WMF and EMF):
// loading, drawing on the recording canvas and on a small image, and the
// record enumeration.

#include <QImage>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/error.h"
#include "platform/metafile/metafile.h"
#include "platform/qpainter_canvas.h"
#include "platform/recording_canvas.h"
#include "qt_for_fuzzing.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzzing::startQt(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        quor::Metafile m = quor::Metafile::fromBytes(bytes);
        if (m.bytes() != bytes) std::abort();
        quor::RecordingCanvas rec;
        m.draw(rec, quor::Rect{0, 0, 300, 200});
        (void)m.records(rec, quor::Rect{-50, -50, 250, 150});
        QImage img(64, 48, QImage::Format_RGB32);
        img.fill(Qt::white);
        quor::QPainterCanvas canvas(&img);
        m.draw(canvas, quor::Rect{0, 0, 64, 48});
    } catch (const quor::FormatError&) {
    }
    return 0;
}
