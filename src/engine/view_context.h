#pragma once

// What a view needs from the report, page and band it is printed in. The
// report component and the page engine implement these; engine-wide state
// holds the current ones while a report is built.

#include <string>
#include <vector>

#include "platform/geometry.h"

namespace quor {

class TfrView;

// Receives views and text lines when a report is exported instead of drawn.
class ExportSink {
public:
    virtual ~ExportSink() = default;
    // A view at its position.
    virtual void exportView(TfrView& view, int left, int top) = 0;
    // One output line of a text view: the frame rectangle, where the line
    // starts, the frame lines it carries (FrameTyp bits) and its bytes.
    virtual void exportText(const Rect& frame, int x, int y, TfrView& view, unsigned frameLines,
                            const std::string& text) = 0;
};

class ReportContext {
public:
    virtual ~ReportContext() = default;
    // Every object of every page of the report, in page and list order.
    virtual std::vector<TfrView*> allObjects() const = 0;
    // The application's before-print hook, raised only when it is assigned;
    // it may change the lines about to be printed.
    virtual void beforePrint(std::vector<std::string>& lines, TfrView& view) = 0;
    // The report's script interpreter runs a view's script.
    virtual void runScript(const std::vector<std::string>& script, TfrView& view) = 0;
    // The export sink of an export in progress, else null.
    virtual ExportSink* exportSink() = 0;
};

class PageContext {
public:
    virtual ~PageContext() = default;
    // Left and right printable edges in design pixels (band alignment).
    virtual int printableLeft() const = 0;
    virtual int printableRight() const = 0;
    // The page's objects in list order.
    virtual std::vector<TfrView*> objects() const = 0;
};

class BandContext {
public:
    virtual ~BandContext() = default;
    // Where the band is being placed now, in design pixels.
    virtual Rect bandRect() const = 0;
    // A cross band (its views take the band's width with BandAlign "width").
    virtual bool isCrossBand() const = 0;
    // What the band adds to the position of the view it writes into a
    // prepared page; the band's other views keep their places in the band.
    virtual Point placementShift() const = 0;
};

}  // namespace quor
