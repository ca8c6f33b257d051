#pragma once

// The text object of a report page. It expands the brackets of its lines,
// lays the text out once, tells the band engine how much height it needs,
// writes the lines that fit a page piece into the prepared page and keeps
// the rest for the next piece; on a prepared page it draws its stored lines
// at the device's scale.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/memo_draw.h"
#include "engine/memo_layout.h"
#include "engine/view.h"

namespace quor {

// Flags bits of a memo (bit 0x1 is "Stretched", common to all views).
inline constexpr std::uint16_t kFlagWordWrap = 0x2;
inline constexpr std::uint16_t kFlagWordBreak = 0x4;
inline constexpr std::uint16_t kFlagAutoWidth = 0x8;
inline constexpr std::uint16_t kFlagTextOnly = 0x10;
inline constexpr std::uint16_t kFlagSuppress = 0x20;
inline constexpr std::uint16_t kFlagHideZeros = 0x40;
inline constexpr std::uint16_t kFlagUnderlines = 0x80;
inline constexpr std::uint16_t kFlagRTLReading = 0x100;

// Font-style code of streams (1 italic, 2 bold, 4 underline, 8 strike-out)
// against the in-memory style set, where bold comes first.
unsigned fontStyleFromCode(std::uint16_t code);
std::uint16_t fontStyleToCode(unsigned style);

class TfrMemoView : public TfrStretcheable {
public:
    TfrMemoView();

    std::string className() const override { return "TfrMemoView"; }

    void SetProperty(std::string_view name, const Variant& value) override;
    Variant GetProperty(std::string_view name) override;
    Variant CallMethod(std::string_view name, const Variant& arg1, const Variant& arg2,
                       const Variant& arg3) override;
    void RegisterProperties() override;

    void Draw(Canvas& canvas) override;
    // Where drawing on the canvas puts the memo (an auto-width memo's width
    // on that surface, the band alignment), without drawing it.
    void Place(Canvas& canvas);
    void WriteToPage(StreamWriter& out) override;
    void Export() override;
    void LoadFromStream(StreamReader& in) override;
    void SaveToStream(StreamWriter& out) override;

    // The memo's text is in its font's character set.
    int textCharset() const override { return Font.charset; }
    // "CALCWIDTH": the width of the expanded text.
    int calcWidthValue() override { return CalcWidthOfExpandedText(); }

    int CalcHeight() override;
    int SmallestHeight() override;
    int LeftoverHeight() override;

    // workLines := Memo with every bracketed expression replaced by its value.
    void ExpandMemoText();
    // Design width the lines need at the current draw scale.
    int CalcWidth(std::span<const std::string> lines);
    // The value of "CALCWIDTH" for this memo: the expanded text's width.
    int CalcWidthOfExpandedText();

    // Laid-out lines not yet written by partial writes.
    std::size_t pendingLineCount() const { return pending_.size(); }

    // Fields, in the order of the data model.
    FontSpec Font;  // style holds the in-memory set; pointSize the size
    std::string lastValue;
    bool textIsPrepared = false;
    bool fitMode = false;
    int lineStep = 0;
    int linesDrawn = 0;
    bool exportMode = false;
    std::uint32_t Alignment = 0;
    std::uint16_t highlightStyle = 2;  // font-style code: bold
    Color highlightColor = 0;
    Color highlightFill = 0xFFFFFF;
    std::string highlightCondition;
    int LineSpacing = 2;
    int CharSpacing = 0;

private:
    bool flag(std::uint16_t bit) const { return (Flags & bit) != 0; }
    void setFlag(std::uint16_t bit, bool on);
    void runScript();
    // Offers workLines to the report's before-print hook; true when the hook
    // left them as they were.
    bool offerBeforePrint();
    // Memo with its brackets expanded (unchanged with "TextOnly").
    std::vector<std::string> expandedText();
    void applyHighlight();
    // The step between lines of the design layout; refuses a step that would
    // not move the next line down.
    int designLineStep();

    WrapTextInput layoutInput() const;
    ScaledBox scaledBox() const;
    DrawScale drawScale() const;
    MemoTextFormat textFormat() const;

    // The layout made by CalcHeight, cut from the front by partial writes.
    PendingLines pending_;
    // Height of the last layout in design pixels.
    int textHeight_ = 0;
    // Set while "CALCWIDTH" measures this memo's own expanded text.
    bool measuringOwnWidth_ = false;
};

}  // namespace quor
