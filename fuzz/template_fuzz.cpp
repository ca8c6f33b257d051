// Feeds arbitrary bytes to the whole template reader, writes what was read
// and reads that again, then builds it: data bands over count sources and
// over the form's data sources, groups, aggregates, subreports and cross
// cells. A build is stopped after a bounded number of band showings.
// Seeds: resources/templates/*.frf and the data templates written by
// tools/make_fuzz_seeds.cpp.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/dataset.h"
#include "engine/engine_state.h"
#include "engine/stream.h"
#include "engine/view.h"
#include "device/printer_device.h"
#include "platform/error.h"
#include "platform/message_box.h"
#include "report/report.h"
#include "qt_for_fuzzing.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzzing::startQt(argc, argv);
    quor::startPrinterDevice([] { return std::unique_ptr<quor::PlatformPrinter>(); });
    quor::setMessageSink([](const quor::MessageRequest&) { return quor::MessageResult::Ok; });
    return 0;
}

namespace {

// A count source of millions of records is a valid template but a slow
// run: numbers of more than three digits in band sources become 999.
void capCounts(quor::TfrReport& report) {
    for (std::size_t p = 0; p < report.TemplatePages.Count(); ++p)
        for (const auto& view : report.TemplatePages[p].Objects()) {
            if (view->objectKind != quor::kKindBand) continue;
            std::string capped;
            std::size_t digits = 0;
            for (char c : view->formatString) {
                digits = (c >= '0' && c <= '9') ? digits + 1 : 0;
                if (digits <= 3) capped += c;
                else capped.replace(capped.size() - 3, 3, "999");
            }
            view->formatString = capped;
        }
}

// The sources the seeds name: "Data" and "Detail" on the report's form,
// also as "Form1.Data".
void build(quor::TfrReport& report) {
    quor::TfrUserDataset data, detail;
    data.Name = "Data";
    data.rangeEnd = quor::RangeEnd::reCount;
    data.RangeEndCount = 7;
    detail.Name = "Detail";
    detail.rangeEnd = quor::RangeEnd::reCount;
    detail.RangeEndCount = 3;
    quor::TfrComponentOwner form;
    form.Name = "Form1";
    form.Components = {&data, &detail};
    quor::engine().applicationForms = {&form};
    report.Owner = &form;
    report.ShowProgress = false;
    capCounts(report);
    report.OnGetValue = [&data, &detail](const std::string& name, quor::Variant& value) {
        if (quor::sameName(name, "key")) value = quor::Variant(data.RecNo / 3);
        else if (quor::sameName(name, "v")) value = quor::Variant(data.RecNo * 10 + detail.RecNo);
    };
    int showings = 0;
    auto count = [&report, &showings] {
        if (++showings > 3000) report.StopRequested = true;
    };
    report.OnBeginBand = [&count](quor::TfrBand&) { count(); };
    report.OnPrintColumn = [&count](int, int&) { count(); };
    report.Prepare();
    quor::engine().applicationForms.clear();
}

}  // namespace

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
    build(again);
    return 0;
}
