// Loads arbitrary bytes as a prepared-report file, then draws, hit-tests and
// releases every page it got, on the virtual printer.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/prepared_pages.h"
#include "engine/stream.h"
#include "device/printer_device.h"
#include "platform/error.h"
#include "platform/recording_canvas.h"
#include "platform/recording_printer.h"
#include "qt_for_fuzzing.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzzing::startQt(argc, argv);
    quor::startPrinterDevice([] { return std::make_unique<quor::RecordingPrinter>(); });
    return 0;
}

namespace {

void drawEveryPage(quor::TfrEMFPages& pages) {
    for (int i = 0; i < pages.Count(); ++i) {
        quor::PreparedPage& page = pages.Item(i);
        page.Visible = true;
        try {
            // A screen-sized surface, as the preview's.
            quor::RecordingCanvas screen(96, false, quor::Rect{0, 0, 800, 600});
            pages.Draw(i, screen, quor::Rect{0, 0, 379, 535});
            int cursor = 0;
            pages.HitTest(i, quor::Point{100, 100}, cursor, true);
        } catch (const quor::Error&) {
            // A damaged page: a clear error is all that is asked.
        }
        page.Visible = false;
        quor::RecordingCanvas release;
        pages.Draw(i, release, quor::Rect{});
        if (page.Page) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    quor::TfrEMFPages pages;
    try {
        quor::StreamReader in(bytes);
        pages.LoadFromStream(in);
    } catch (const quor::Error&) {
        if (pages.Count() != 0) std::abort();
        return 0;
    }
    // Every page costs at least 16 bytes of the file.
    if (static_cast<std::size_t>(pages.Count()) > size / 16) std::abort();
    drawEveryPage(pages);
    return 0;
}
