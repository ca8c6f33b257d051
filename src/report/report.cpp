#include "report/report.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include "engine/engine_state.h"
#include "engine/view.h"
#include "device/printer_device.h"
#include "platform/error.h"
#include "report/template_io.h"

namespace quor {

namespace {

// The printer device finishes its start-up on this thread; loading a template
// needs its paper list, so pending window messages are processed until then.
// A device that was never started would keep the loop going for ever: after
// the deadline the template is read anyway and reports the missing device
// like any other reading failure.
void waitForPrinterDevice() {
    constexpr int kWaitMilliseconds = 10000;
    QDeadlineTimer deadline(kWaitMilliseconds);
    while (!printerDeviceReady() && !deadline.hasExpired()) {
        if (!QCoreApplication::instance()) break;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

}  // namespace

TfrReport::TfrReport(std::string name) : Name(std::move(name)) {}

TfrReport::~TfrReport() {
    if (engine().currentReport == this) engine().currentReport = nullptr;
}

void TfrReport::LoadFromStream(StreamReader& in) {
    engine().documentMode = false;
    waitForPrinterDevice();
    engine().currentReport = this;
    readTemplate(*this, in);
}

void TfrReport::SaveToStream(StreamWriter& out) const { writeTemplate(*this, out); }

TfrView* TfrReport::FindView(std::string_view name) const {
    for (std::size_t i = 0; i < TemplatePages.Count(); ++i)
        if (TfrView* v = TemplatePages[i].FindView(name)) return v;
    return nullptr;
}

std::vector<TfrView*> TfrReport::allObjects() const {
    std::vector<TfrView*> all;
    for (std::size_t i = 0; i < TemplatePages.Count(); ++i)
        for (const auto& v : TemplatePages[i].Objects()) all.push_back(v.get());
    return all;
}

void TfrReport::beforePrint(std::vector<std::string>& lines, TfrView& view) {
    if (OnBeforePrint) OnBeforePrint(lines, view);
}

void TfrReport::runScript(const std::vector<std::string>& script, TfrView& view) {
    if (scriptInterpreter) {
        scriptInterpreter(script, view);
        return;
    }
    for (const std::string& line : script)
        if (line.find_first_not_of(" \t") != std::string::npos)
            throw Error("Сценарии объектов не поддерживаются: " + view.Name);
}

void TfrReport::SelectPrinterByName(const std::string& name) {
    if (!UseDefaultPrinter) {
        const int index = printerDevice().findPrinter(name);
        if (index >= 0) printerDevice().selectPrinter(index);
    }
    PrinterName = name;
}

}  // namespace quor
