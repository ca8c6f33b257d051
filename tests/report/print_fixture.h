#pragma once

// Printing under test: the printer device on the recording printer, a
// report whose prepared pages each hold one view covering the whole page
// and filling it with the page's number as its colour, and readers of what
// the recording printer got.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/engine_state.h"
#include "engine/page.h"
#include "engine/view_factory.h"
#include "device/printer_device.h"
#include "platform/message_box.h"
#include "platform/recording_printer.h"
#include "report/report.h"
#include "report/report_windows.h"
#include "support/sheet_probe.h"

namespace quor::test {

class PrintTest : public ::testing::Test {
protected:
    PrintTest() {
        SheetProbe::registerClass();
        reportWindows() = ReportWindows{};
    }
    ~PrintTest() override {
        reportWindows() = savedWindows_;
        engine() = savedEngine_;
    }

    RecordingPrinter& platform() { return static_cast<RecordingPrinter&>(*printerDevice().platformPrinter()); }
    const std::vector<RecordedJob>& jobs() { return platform().jobs(); }

    // A page of the report's paper whose probe fills it with `mark`.
    void addPage(std::uint32_t mark, std::uint8_t orientation = 0, bool useMargins = true,
                 PageMargins margins = {}) {
        TfrPage page(9, orientation ? 2970 : 2100, orientation ? 2100 : 2970, automaticBin, orientation);
        page.UseMargins = useMargins;
        page.Margins = margins;
        SheetProbe::addPage(report_.PreparedPages, page, mark);
    }
    void addPages(int count) {
        for (int i = 1; i <= count; ++i) addPage(static_cast<std::uint32_t>(i));
    }

    // The marks of the pages a job printed; a sheet with nothing on it
    // counts as 0.
    static std::vector<int> printed(const RecordedJob& job) {
        std::vector<int> marks;
        for (const RecordedPage& p : job.pages) {
            const auto fills = p.canvas->all<RecordedFill>();
            marks.push_back(fills.empty() ? 0 : static_cast<int>(fills.front().color));
        }
        return marks;
    }
    static std::vector<int> range(int from, int to) {
        std::vector<int> v;
        for (int i = from; i <= to; ++i) v.push_back(i);
        return v;
    }

    PrinterDeviceSession device_{[] {
        return std::make_unique<RecordingPrinter>(
            std::vector<TestPrinter>{RecordingPrinter::officePrinter("Office")});
    }};
    MessageCapture messages_;
    TfrReport report_;

private:
    ReportWindows savedWindows_ = reportWindows();
    EngineState savedEngine_ = engine();
};

}  // namespace quor::test
