// Printing the prepared pages: the page list, copies and collation, the
// odd/even filter, a new job at every change of paper format, each page
// drawn onto the sheet and released again, progress and cancel.

#include <QCoreApplication>

#include "engine/engine_state.h"
#include "device/printer_device.h"
#include "platform/canvas.h"
#include "platform/error.h"
#include "platform/geometry.h"
#include "platform/messages.h"
#include "platform/numbers.h"
#include "report/page_list.h"
#include "report/report.h"
#include "report/report_windows.h"

namespace quor {
namespace {

constexpr int kMsgPrintingPage = 55208;
constexpr int kMsgUntitled = 55209;

void processPendingEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

// One print run: the device, the platform printer it prints on and the
// state of the page loop.
struct PrintRun {
    TfrReport& report;
    TfrPrinter& device;
    PlatformPrinter& printer;
    PageFilter filter;
    // The platform copy count of every job of the run.
    int jobCopies;
    bool firstPage = true;
};

// The progress window's label after page n (only while the window runs).
void reportPrintProgress(TfrReport& report, int pageNo) {
    if (report.OnProgress) {
        report.OnProgress(pageNo);
        return;
    }
    if (!report.ShowProgress) return;
    if (const auto& setText = reportWindows().setProgressText) {
        std::string text = message(kMsgPrintingPage) + "  " + std::to_string(pageNo);
        // A two-pass build counted its pages in the first pass.
        if (report.TwoPass && !engine().firstPass && report.firstPassPageCount > 0)
            text += " " + message(kMsgPageOf) + " " + std::to_string(report.firstPassPageCount);
        setText(text);
    }
    processPendingEvents();
}

// Where the page goes on the sheet, in device dots from the corner of the
// printable area.
Rect sheetRect(const PreparedPage& page) {
    const PrinterInfo& m = page.prnInfo;
    if (page.UseMargins)
        return Rect{-m.devOffsetX, -m.devOffsetY, m.devPageWidth - m.devOffsetX, m.devPageHeight - m.devOffsetY};
    // Margins in design pixels scaled to the printable area in dots.
    const auto scaled = [](int margin, int devSize, int size) {
        return size == 0 ? 0 : roundClamped(static_cast<double>(margin) * devSize / size);
    };
    return Rect{scaled(page.Margins.left, m.devPrintWidth, m.printWidth),
                scaled(page.Margins.top, m.devPrintHeight, m.printHeight),
                m.devPrintWidth - scaled(page.Margins.right, m.devPrintWidth, m.printWidth),
                m.devPrintHeight - scaled(page.Margins.bottom, m.devPrintHeight, m.printHeight)};
}

void applyPageFormat(TfrPrinter& device, const PreparedPage& page) {
    device.setPaper(page.PaperSize, page.PaperWidth, page.PaperHeight, page.Bin, page.Orientation, true);
}

bool filteredOut(PageFilter filter, int pageNo) {
    switch (filter) {
        case PageFilter::oddPages: return pageNo % 2 == 0;
        case PageFilter::evenPages: return pageNo % 2 != 0;
        case PageFilter::allPages: break;
    }
    return false;
}

void printOnePage(PrintRun& run, int index) {
    if (filteredOut(run.filter, index + 1)) return;
    TfrEMFPages& pages = run.report.PreparedPages;
    PreparedPage& page = pages.Item(index);
    if (!run.device.matches(page.PaperSize, page.PaperWidth, page.PaperHeight, page.Bin, page.Orientation)) {
        // Paper, bin and orientation are fixed for a job: a new format
        // needs a job of its own.
        run.printer.endDoc();
        applyPageFormat(run.device, page);
        // Applying a format resets the copy count; every job of the run
        // gets the requested one.
        run.printer.setCopies(run.jobCopies);
        run.printer.beginDoc();
    } else if (!run.firstPage) {
        run.printer.newPage();
    }
    run.device.fillMetrics(page.prnInfo);
    page.Visible = true;
    Canvas& canvas = run.printer.canvas();
    // Only the page being printed keeps live views: release it whatever
    // happens while it is drawn.
    struct Release {
        TfrEMFPages& pages;
        PreparedPage& page;
        Canvas& canvas;
        int index;
        ~Release() {
            page.Visible = false;
            try {
                pages.Draw(index, canvas, Rect{0, 0, 0, 0});
            } catch (...) {
            }
        }
    } release{pages, page, canvas, index};
    pages.Draw(index, canvas, sheetRect(page));
}

}  // namespace

void TfrReport::PrintPrepared(const std::string& pageList, int copies, bool collate, PageFilter filter) {
    engine().currentReport = this;
    StopRequested = false;
    printPageList = pageList;
    printCopies = copies;
    printCollate = collate;
    printFilter = filter;

    const auto& runWithProgress = reportWindows().runWithProgress;
    if (ShowProgress && !OnProgress && runWithProgress) {
        std::string caption = message(kMsgPreparingReport);
        if (!Title.empty()) caption += " - " + Title;
        runWithProgress(*this, caption, [this] {
            if (const auto& setText = reportWindows().setProgressText) setText(message(kMsgPrintingPage));
            PerformPrint(printPageList, printCopies, printCollate, printFilter);
        });
        return;
    }
    // No window shows the run, so nothing may react to the mouse meanwhile.
    auto mouseOver = std::move(OnMouseOverObject);
    OnMouseOverObject = nullptr;
    struct Restore {
        TfrReport& report;
        std::function<void(TfrView&, int&)>& saved;
        ~Restore() { report.OnMouseOverObject = std::move(saved); }
    } restore{*this, mouseOver};
    PerformPrint(printPageList, printCopies, printCollate, printFilter);
}

void TfrReport::PerformPrint(const std::string& pageList, int copies, bool collate, PageFilter filter) {
    TfrPrinter& device = printerDevice();
    device.attach(device.platformPrinter());
    const PageSet selected = parsePageList(pageList, PreparedPages.Count());
    // Nothing prepared: no job at all, rather than an empty sheet.
    if (PreparedPages.Count() == 0) return;
    if (copies <= 0) copies = 1;

    PreparedPage& first = PreparedPages.Item(0);
    applyPageFormat(device, first);
    device.fillMetrics(first.prnInfo);
    PlatformPrinter* printer = device.platformPrinter();
    if (!printer) throw Error("There is no default printer currently selected");
    printer->setTitle(Title.empty() ? message(kMsgUntitled) : Title);
    if (OnPrintReport) OnPrintReport();

    PrintRun run{*this, device, *printer, filter, collate ? 1 : copies};
    printer->setCopies(run.jobCopies);
    printer->beginDoc();
    try {
        const int rounds = collate ? copies : 1;
        for (int copy = 0; copy < rounds; ++copy) {
            for (int i = 0; i < PreparedPages.Count(); ++i) {
                if (!selected.contains(i + 1)) continue;
                printOnePage(run, i);
                if (!filteredOut(filter, i + 1)) {
                    reportPrintProgress(*this, i + 1);
                    processPendingEvents();
                    run.firstPage = false;
                }
                if (StopRequested) {
                    printer->abort();
                    return;
                }
            }
        }
        printer->endDoc();
    } catch (...) {
        // A failed job is discarded, not left open on the printer.
        if (printer->printing()) printer->abort();
        throw;
    }
}

}  // namespace quor
