// Feeds arbitrary bytes to the whole template reader, then writes what was
// read and reads that again. Seeds: resources/templates/*.frf.

#include <QGuiApplication>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/stream.h"
#include "device/printer_device.h"
#include "platform/error.h"
#include "platform/message_box.h"
#include "report/report.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static auto* app = new QGuiApplication(*argc, *argv);
    (void)app;
    quor::startPrinterDevice([] { return std::unique_ptr<quor::PlatformPrinter>(); });
    quor::setMessageSink([](const quor::MessageRequest&) { return quor::MessageResult::Ok; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    quor::TfrReport report;
    quor::StreamReader in(bytes);
    report.LoadFromStream(in);

    std::string saved;
    try {
        quor::StreamWriter out;
        report.SaveToStream(out);
        saved = out.take();
    } catch (const quor::Error&) {
        return 0;  // e.g. more pages than a template can number
    }
    quor::TfrReport again;
    quor::StreamReader in2(saved);
    again.LoadFromStream(in2);
    if (again.TemplatePages.Count() != report.TemplatePages.Count()) std::abort();
    return 0;
}
