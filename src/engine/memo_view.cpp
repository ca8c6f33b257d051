#include "engine/memo_view.h"

#include <algorithm>
#include <cstdint>

#include "engine/text_line_error.h"
#include "engine/engine_state.h"
#include "engine/expr/variant_ops.h"
#include "engine/stream.h"
#include "engine/view_context.h"
#include "platform/numbers.h"

namespace quor {
namespace {

// ApplyScale for a scope: every measuring or drawing is bracketed by the pair,
// also when it ends in an error.
class ScaledGeometry {
public:
    explicit ScaledGeometry(TfrView& v) : view_(v) { view_.ApplyScale(); }
    ~ScaledGeometry() { view_.RestoreGeometry(); }
    ScaledGeometry(const ScaledGeometry&) = delete;
    ScaledGeometry& operator=(const ScaledGeometry&) = delete;

private:
    TfrView& view_;
};

// Font and fill as they were before a highlight.
class KeepStyle {
public:
    explicit KeepStyle(TfrMemoView& m) : memo_(m), font_(m.Font), fill_(m.FillColor) {}
    ~KeepStyle() {
        memo_.Font = font_;
        memo_.FillColor = fill_;
    }
    KeepStyle(const KeepStyle&) = delete;
    KeepStyle& operator=(const KeepStyle&) = delete;

private:
    TfrMemoView& memo_;
    FontSpec font_;
    Color fill_;
};

// Puts the draw scale back after a layout made at scale 1.
class UnitScale {
public:
    explicit UnitScale(TfrView& v) : view_(v), x_(v.drawScaleX), y_(v.drawScaleY) {
        view_.drawScaleX = view_.drawScaleY = 1.0;
    }
    ~UnitScale() {
        view_.drawScaleX = x_;
        view_.drawScaleY = y_;
    }
    UnitScale(const UnitScale&) = delete;
    UnitScale& operator=(const UnitScale&) = delete;

private:
    TfrView& view_;
    double x_, y_;
};

bool holdsAnyLineEnd(std::span<const std::string> lines) {
    return std::any_of(lines.begin(), lines.end(), [](const std::string& l) { return holdsLineEnd(l); });
}

}  // namespace

void TfrMemoView::runScript() {
    if (ReportContext* r = engine().currentReport) r->runScript(scriptLines, *this);
}

bool TfrMemoView::offerBeforePrint() {
    ReportContext* r = engine().currentReport;
    if (!r) return true;
    const std::vector<std::string> offered = workLines;
    r->beforePrint(workLines, *this);
    return workLines == offered;
}

std::vector<std::string> TfrMemoView::expandedText() {
    if (flag(kFlagTextOnly)) return Memo;
    std::vector<std::string> out;
    out.reserve(Memo.size());
    for (std::size_t i = 0; i < Memo.size(); ++i) {
        const std::string& line = Memo[i];
        std::string value;
        try {
            value = line.empty() ? line : ExpandBrackets(line);
        } catch (const TextLineError&) {
            throw;
        } catch (const Error& e) {
            throw TextLineError(i, e.what());
        }
        if (value.empty()) out.emplace_back();
        else appendAsText(out, value);
    }
    return out;
}

void TfrMemoView::ExpandMemoText() { workLines = expandedText(); }

void TfrMemoView::applyHighlight() {
    if (highlightCondition.empty()) return;
    auto evaluate = engine().evaluate;
    if (!evaluate) return;
    try {
        if (!variantIsZero(evaluate(*this, highlightCondition))) {
            Font.style = fontStyleFromCode(highlightStyle);
            Font.color = highlightColor;
            FillColor = highlightFill;
        }
    } catch (const std::exception&) {
        // A condition that cannot be evaluated leaves the memo as it is.
    }
}

WrapTextInput TfrMemoView::layoutInput() const {
    WrapTextInput in;
    in.box = TextBox{Left, Top, Width, Height, GapX, GapY};
    in.font = Font;
    in.lineSpacing = LineSpacing;
    in.charSpacing = CharSpacing;
    in.turned = (Alignment & kMemoTurned) != 0;
    in.wordWrap = flag(kFlagWordWrap);
    in.wordBreak = flag(kFlagWordBreak);
    in.textIsPrepared = textIsPrepared;
    in.editing = !engine().documentMode;
    return in;
}

ScaledBox TfrMemoView::scaledBox() const {
    return ScaledBox{Left, Top, Width, Height, GapX, GapY, frameRect, FrameWidth, FrameTyp};
}

DrawScale TfrMemoView::drawScale() const { return DrawScale{drawScaleX, drawScaleY, drawForPrinter}; }

MemoTextFormat TfrMemoView::textFormat() const {
    return MemoTextFormat{Font, Alignment, LineSpacing, CharSpacing, flag(kFlagRTLReading)};
}

int TfrMemoView::CalcHeight() {
    drawMode = DrawMode::drawAfterMeasure;
    AttachCanvas(engineMeasureCanvas());
    runScript();
    if (!Visible) return 0;
    workLines = Memo;
    if (offerBeforePrint()) ExpandMemoText();

    KeepStyle keep(*this);
    applyHighlight();
    ScaledGeometry scaled(*this);
    pending_.clear();
    if (workLines.empty()) return 0;
    TextLayout layout = WrapText(engineMeasureCanvas(), workLines, layoutInput());
    textHeight_ = layout.textHeight;
    lineStep = layout.lineStep;
    const bool suppressed = flag(kFlagSuppress) && joinLines(layout.lines) == lastValue;
    // The layout is kept once, in the queue the page pieces are cut from.
    pending_.assign(std::move(layout.lines));
    workLines.clear();
    return suppressed ? 0 : textHeight_;
}

int TfrMemoView::designLineStep() {
    lineStep = checkedLineStep(LineSpacing, designFontHeight(Font.pointSize));
    return lineStep;
}

int TfrMemoView::SmallestHeight() {
    const std::int64_t step = designLineStep();
    return clampToInt(roundClamped(FrameWidth * 2.0) + 2LL * GapY + step);
}

int TfrMemoView::LeftoverHeight() {
    const std::int64_t step = designLineStep();
    const std::int64_t frame = roundClamped(FrameWidth * 2.0);
    const std::int64_t rest = (static_cast<std::int64_t>(Height) - frame - 2LL * GapY) % step;
    return clampToInt(2LL * GapY + rest + frame);
}

void TfrMemoView::WriteToPage(StreamWriter& out) {
    AttachCanvasToWrite(engineMeasureCanvas());
    fitMode = true;
    const DrawMode mode = drawMode;
    // Whatever happens, the next write starts from scratch.
    struct ResetMode {
        TfrMemoView& m;
        ~ResetMode() { m.drawMode = DrawMode::drawAll; }
    } resetMode{*this};

    if (mode == DrawMode::drawAll) {
        runScript();
        workLines = Memo;
        // Expanded lines are written without markers; the page drawer lays
        // them out.
        if (offerBeforePrint()) ExpandMemoText();
    } else if (mode == DrawMode::drawAfterMeasure) {
        const auto laidOut = pending_.lines();
        workLines.assign(laidOut.begin(), laidOut.end());
    }
    if (!Visible) return;

    KeepStyle keep(*this);
    applyHighlight();
    if (mode == DrawMode::drawPart) {
        ScaledGeometry scaled(*this);
        const DrawLinesResult fit = DrawLines(*canvas, pending_.lines(), scaledBox(), drawScale(),
                                              textFormat(), textHeight_, LinesMode::Fit);
        linesDrawn = fit.linesDrawn;
        lineStep = fit.lineStep;
        const auto piece = pending_.lines().first(static_cast<std::size_t>(linesDrawn));
        workLines.assign(piece.begin(), piece.end());
        // The piece must read back as laid-out text.
        if (!holdsAnyLineEnd(piece)) workLines.emplace_back(1, kLineEndMarker);
    }

    struct KeepWriteFields {
        TfrMemoView& m;
        std::string tag;
        std::uint8_t bandAlign;
        ~KeepWriteFields() {
            m.tagText = std::move(tag);
            m.BandAlign = bandAlign;
        }
    } keepFields{*this, tagText, BandAlign};
    if (!tagText.empty()) {
        const std::int32_t code = formatCode;
        formatCode = 0;
        try {
            tagText = ExpandBrackets(tagText);
        } catch (...) {
            formatCode = code;
            throw;
        }
        formatCode = code;
    }
    if (BandAlign == kAlignBottom) {
        BandAlign = kAlignNone;
    } else if (BandContext* band = engine().currentBand) {
        const Rect b = band->bandRect();
        if (BandAlign == kAlignTop) Top = b.top;
        else if (BandAlign == kAlignWidth && band->isCrossBand()) Width = b.width();
    }

    bool write = true;
    if (flag(kFlagSuppress)) {
        std::string whole = joinLines(workLines);
        write = whole != lastValue;
        if (write) lastValue = std::move(whole);
    }
    if (write) {
        out.u8(objectKind);
        if (objectKind == kKindNamedClass) out.vtext(className());
        SaveToStream(out);
    }
    if (mode == DrawMode::drawPart) pending_.dropFront(static_cast<std::size_t>(linesDrawn));
}

int TfrMemoView::CalcWidth(std::span<const std::string> lines) {
    Canvas& c = canvas ? *canvas : engineMeasureCanvas();
    const ScaledBox design{Left, Top, Width, Height, GapX, GapY, Rect{}, FrameWidth, FrameTyp};
    return quor::CalcWidth(c, lines, design, drawScale(), textFormat());
}

int TfrMemoView::CalcWidthOfExpandedText() {
    // A memo whose own text asks for its width measures that text as it
    // stands instead of expanding itself again without end.
    if (measuringOwnWidth_) return CalcWidth(Memo);
    measuringOwnWidth_ = true;
    struct Clear {
        bool& flag;
        ~Clear() { flag = false; }
    } clear{measuringOwnWidth_};
    const std::vector<std::string> expanded = expandedText();
    return CalcWidth(expanded);
}

void TfrMemoView::Place(Canvas& c) {
    if (flag(kFlagAutoWidth) && engine().documentMode && !Memo.empty()) {
        // The width follows the longest line on the surface drawn on.
        canvas = &c;
        const int w = CalcWidth(Memo);
        if (Alignment & kMemoTurned) {
            Height = w;
        } else {
            if (Alignment & kMemoRight) Left = clampToInt(std::int64_t{Left} + Width - w);
            Width = w;
        }
        c.setTextCharacterExtra(0);  // as drawing leaves the canvas
    }
    AttachCanvas(c);
}

void TfrMemoView::Draw(Canvas& c) {
    const bool autoWidth = flag(kFlagAutoWidth) && engine().documentMode;
    Place(c);
    fitMode = false;
    workLines = Memo;

    if (!workLines.empty()) {
        textIsPrepared = holdsAnyLineEnd(workLines);
        if (workLines.back().size() == 1 && workLines.back()[0] == kLineEndMarker) workLines.pop_back();
        // Laid out in design pixels; prepared lines pass through.
        UnitScale unit(*this);
        ScaledGeometry scaled(*this);
        WrapTextInput in = layoutInput();
        if (autoWidth) in.box.width = clampToInt(std::int64_t{in.box.width} + 100);
        // A stored page is drawn as it is, whatever its spacing.
        in.acceptAnyStep = true;
        TextLayout layout = WrapText(engineMeasureCanvas(), workLines, in);
        textHeight_ = layout.textHeight;
        workLines = std::move(layout.lines);
    }

    {
        ScaledGeometry scaled(*this);
        if (!exportMode) {
            DrawBackground();
            DrawFrame();
            if (flag(kFlagUnderlines)) DrawUnderlines(c, scaledBox(), drawScale(), textFormat(), FrameColor);
        }
        if (!workLines.empty()) {
            ExportSink* sink = nullptr;
            if (exportMode)
                if (ReportContext* r = engine().currentReport) sink = r->exportSink();
            const DrawLinesResult drawn = DrawLines(
                c, workLines, scaledBox(), drawScale(), textFormat(), textHeight_,
                exportMode ? LinesMode::Export : LinesMode::Draw, [&](const ExportedLine& l) {
                    if (sink) sink->exportText(l.frame, l.x, l.y, *this, l.frameTyp, std::string(l.text));
                });
            linesDrawn = drawn.linesDrawn;
            lineStep = drawn.lineStep;
        }
        c.setTextCharacterExtra(0);
    }
}

void TfrMemoView::Export() {
    exportMode = true;
    struct Clear {
        bool& flag;
        ~Clear() { flag = false; }
    } clear{exportMode};
    Draw(engineMeasureCanvas());
}

}  // namespace quor
