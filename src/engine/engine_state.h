#pragma once

// Engine-wide state: the one place for everything the engine shares between
// its parts while a template is loaded, a report is built or a prepared page
// is drawn. The engine is single-threaded; one build or drawing at a time.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/stream.h"
#include "engine/variant.h"

namespace quor {

class Canvas;
class TfrView;
class ReportContext;
class PageContext;
class BandContext;
class TfrCompressor;
class TfrComponentOwner;

struct EngineState {
    // The view being printed, measured or drawn.
    TfrView* currentView = nullptr;
    // Set while a report is built or a prepared page is drawn; clear while a
    // template is only loaded or edited.
    bool documentMode = false;
    // Set during the first pass of a two-pass build: views then draw nothing.
    bool firstPass = false;

    // The report being loaded, built, shown or printed, and its current page
    // and band while building (filled by the report and page engine).
    ReportContext* currentReport = nullptr;
    PageContext* currentPage = nullptr;
    BandContext* currentBand = nullptr;

    // Version of the stream being read; every body reader consults it.
    int streamVersion = kCurrentStreamVersion;
    // Source of object identifiers (see nextObjectId).
    int objectCounter = 0;

    // Where measuring happens; null means the platform's 96-dpi canvas.
    Canvas* measureCanvasOverride = nullptr;

    // The compressor of prepared-report files; null: the program's own,
    // which is disabled (see compressor.h).
    TfrCompressor* compressor = nullptr;

    // Character set of memos read from streams older than version 23
    // (message 55337, "204").
    int defaultCharset = 204;

    // The expressions module's view bridge (engine/expr/view_bridge.h):
    // expands the bracketed expressions of a text for a view, and evaluates
    // one expression. Tests may replace them; while unset, using them raises
    // an error rather than passing text through unexpanded.
    std::string (*expandBrackets)(TfrView& view, const std::string& text) = nullptr;
    Variant (*evaluate)(TfrView& view, const std::string& expression) = nullptr;

    // The zoom last chosen in a preview window (screen pixels per design
    // pixel, and the mode: 0 fixed, 1 page width, 2 whole page, 3 two
    // pages); the next preview window of the run starts with it.
    double lastScale = 1.0;
    std::uint8_t lastZoomMode = 0;

    // The application's forms, in which data sources named Form.Component
    // and Form.Frame.Component are found (not owned).
    std::vector<TfrComponentOwner*> applicationForms;
};

EngineState& engine();

// The canvas all measuring of a build uses.
Canvas& engineMeasureCanvas();

// The next object identifier (the counter advances first, so the first is 1).
int nextObjectId();

}  // namespace quor
