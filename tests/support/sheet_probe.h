#pragma once

// A view for printing tests: it covers a prepared page and fills its
// scaled rectangle with its colour, so that each sheet shows which page it
// got and where the page went.

#include <memory>
#include <stdexcept>
#include <string>

#include "engine/page.h"
#include "engine/prepared_pages.h"
#include "engine/view.h"
#include "engine/view_factory.h"
#include "platform/canvas.h"

namespace quor::test {

// Colour 0 fails to draw.
class SheetProbe : public TfrView {
public:
    SheetProbe() { baseName = "SheetProbe"; }
    std::string className() const override { return "TSheetProbe"; }
    void Draw(Canvas& c) override {
        if (FillColor == 0) throw std::runtime_error("the drawing failed");
        AttachCanvas(c);
        ApplyScale();
        c.setBrush(BrushSpec{FillColor, false});
        c.fillRect(Rect{Left, Top, Left + Width, Top + Height});
        RestoreGeometry();
    }

    static void registerClass() {
        ViewFactory::instance().registerClass("TSheetProbe", [] { return std::make_unique<SheetProbe>(); });
    }
    // Appends a page of this paper whose probe fills it with `colour`.
    static void addPage(TfrEMFPages& pages, TfrPage& page, std::uint32_t colour) {
        pages.Add(page);
        SheetProbe probe;
        probe.SetBounds(0, 0, page.prnInfo.pageWidth, page.prnInfo.pageHeight);
        probe.FillColor = colour;
        probe.preparedMode = true;
        probe.WriteToPage(pages.Item(pages.Count() - 1).Stream);
    }
};

}  // namespace quor::test
