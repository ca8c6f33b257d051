#pragma once

// Prepared pages under test: the printer device on the recording printer
// (the virtual printer unless a test names printers), a host that records
// the report events, and a view that records how it was drawn.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/page.h"
#include "engine/prepared_pages.h"
#include "engine/stream.h"
#include "engine/view_factory.h"
#include "device/printer_device.h"
#include "platform/recording_printer.h"
#include "view_fixtures.h"

namespace quor::preptest {

struct DrawCall {
    std::string name;
    double scaleX = 0, scaleY = 0;
    int offsetX = 0, offsetY = 0;
    bool forPrinter = false;
    bool documentMode = false;
};

// Draws its scaled rectangle as one fill and remembers the draw fields.
class ProbeView : public TfrView {
public:
    static inline std::vector<DrawCall> calls;

    ProbeView() { baseName = "Probe"; }
    std::string className() const override { return "TProbeView"; }
    void Draw(Canvas& c) override {
        AttachCanvas(c);
        calls.push_back({Name, drawScaleX, drawScaleY, drawOffsetX, drawOffsetY, drawForPrinter,
                         engine().documentMode});
        ApplyScale();
        c.setBrush(BrushSpec{FillColor, false});
        c.fillRect(Rect{Left, Top, Left + Width, Top + Height});
        RestoreGeometry();
    }
};

class RecordingHost : public PreparedPagesHost {
public:
    int pagesAdded = 0;
    std::vector<std::string> printersSelected;
    std::vector<std::string> clicked;
    std::vector<std::string> hovered;
    bool clickHandler = true;
    bool hoverHandler = true;

    void pageAdded() override { ++pagesAdded; }
    void selectPrinterByName(const std::string& name) override { printersSelected.push_back(name); }
    bool objectClick(TfrView& view) override {
        if (!clickHandler) return false;
        clicked.push_back(view.Name);
        return true;
    }
    bool mouseOverObject(TfrView& view, int& cursor) override {
        if (!hoverHandler) return false;
        hovered.push_back(view.Name);
        cursor = 42;
        return true;
    }
};

inline const std::string kVirtualPrinter = "Виртуальный принтер";

class PreparedTest : public viewtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        ViewFactory::instance().registerClass("TProbeView", [] { return std::make_unique<ProbeView>(); });
        ProbeView::calls.clear();
        session_ = std::make_unique<PrinterDeviceSession>(
            [this] { return std::make_unique<RecordingPrinter>(printers_); });
    }
    void TearDown() override {
        session_.reset();
        EngineTest::TearDown();
    }

    // Restarts the printer device on these printers.
    void usePrinters(std::vector<TestPrinter> printers) {
        session_.reset();
        printers_ = std::move(printers);
        session_ = std::make_unique<PrinterDeviceSession>(
            [this] { return std::make_unique<RecordingPrinter>(printers_); });
    }
    RecordingPrinter& platform() { return static_cast<RecordingPrinter&>(*printerDevice().platformPrinter()); }

    static TfrPage a4(std::uint8_t orientation = 0) {
        return TfrPage(9, 2100, 2970, automaticBin, orientation);
    }

    // A view printed into page `index` the way the build prints it.
    static void print(TfrEMFPages& pages, int index, TfrView& view) {
        view.preparedMode = true;
        view.WriteToPage(pages.Item(index).Stream);
    }
    // A view entry written directly, its Memo standing for the printed lines.
    static void store(TfrEMFPages& pages, int index, TfrView& view) {
        StreamWriter& out = pages.Item(index).Stream;
        out.u8(view.objectKind);
        view.preparedMode = true;
        view.workLines = view.Memo;
        view.SaveToStream(out);
    }
    static ProbeView probe(const std::string& name, int left, int top, int width, int height) {
        ProbeView v;
        v.Name = name;
        v.SetBounds(left, top, width, height);
        return v;
    }

    RecordingHost host;

private:
    std::vector<TestPrinter> printers_;
    std::unique_ptr<PrinterDeviceSession> session_;
};

}  // namespace quor::preptest
