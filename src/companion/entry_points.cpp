// The companion library's two entry points, with C linkage. The program
// loads the library for one call and releases it right after.

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QWidget>

#include <memory>
#include <string>

#include "app/window_properties.h"
#include "companion/about_box.h"
#include "companion/settings_dialog.h"
#include "device/printer_device.h"
#include "platform/cups_printer.h"
#include "platform/error.h"
#include "platform/message_box.h"

namespace {

std::string windowProperty(QWidget* window, const char* name) {
    return window ? window->property(name).toByteArray().toStdString() : std::string();
}

// Nothing may leave a C entry point: an error is shown like the program's own.
template <typename Body>
void guarded(Body body) {
    try {
        body();
    } catch (const std::exception& e) {
        quor::showException(e);
    } catch (...) {
        quor::showException(quor::Error("Неизвестная ошибка"));
    }
}

}  // namespace

// Shows the settings dialog for the file `iniPath` and answers the settings
// file to use from now on; the text belongs to the library.
extern "C" __attribute__((visibility("default"))) const char* ShowParam(void* appWindow, const char* iniPath) {
    static std::string result;
    std::string given = iniPath ? iniPath : "";
    result = given;
    // Widgets need the host's application object.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return result.c_str();
    guarded([&] {
        auto* owner = static_cast<QWidget*>(appWindow);
        // The page is laid out for the printer the print job uses.
        quor::PrinterDeviceSession printers([] { return std::make_unique<quor::CupsPrinter>(); });
        quor::SettingsDialog dialog(given, windowProperty(owner, quor::kDocumentProperty), owner);
        if (dialog.exec() == QDialog::Accepted) result = dialog.resultPath();
    });
    return result.c_str();
}

// Shows the about box.
extern "C" __attribute__((visibility("default"))) void ShowAbout(void* appWindow, const char* aboutText,
                                                                 const char* extra) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    guarded([&] {
        auto* owner = static_cast<QWidget*>(appWindow);
        std::string settings = windowProperty(owner, quor::kSettingsFileProperty);
        if (settings.empty())
            settings = QFile::encodeName(QCoreApplication::applicationDirPath() + "/quorprn.ini").toStdString();
        quor::AboutBox box(aboutText ? aboutText : "", extra ? extra : "", settings, owner);
        box.exec();
    });
}
