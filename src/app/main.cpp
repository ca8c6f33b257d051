#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/main_window.h"
#include "output/preview_form.h"
#include "output/printer_device.h"
#include "output/progress_form.h"
#include "platform/cups_printer.h"

int main(int argc, char** argv) {
    quor::QuorApplication app(argc, argv);
    // The one printer device of the run; loading a template waits for it.
    quor::PrinterDeviceSession printers([] { return std::make_unique<quor::CupsPrinter>(); });
    quor::installProgressWindow();
    quor::installPreviewWindow();
    // The arguments as the shell passed them: file names are bytes.
    std::vector<std::string> arguments(argv + 1, argv + argc);
    quor::TfQuorPrint fQuorPrint(std::move(arguments));
    fQuorPrint.show();
    return app.exec();
}
