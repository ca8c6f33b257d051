#pragma once

// The base of every report object: TfrObject (named properties), TfrView
// (geometry, frame, fill, text lines, display format, band alignment, the
// common stream body, scaling and frame drawing) and TfrStretcheable (the
// height queries the band engine splits content with).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/variant.h"
#include "platform/canvas.h"
#include "platform/geometry.h"

namespace quor {

class StreamReader;
class StreamWriter;
class PageContext;
class BandContext;

// objectKind values.
enum ObjectKind : std::uint8_t {
    kKindMemo = 0,
    kKindPicture = 1,
    kKindBand = 2,
    kKindSubReport = 3,
    kKindLine = 4,
    kKindNamedClass = 10,
};

// FrameTyp bits.
enum FrameLines : std::uint16_t {
    kFrameRight = 1,
    kFrameBottom = 2,
    kFrameLeft = 4,
    kFrameTop = 8,
};

// FrameStyle values ("psSolid;psDash;psDot;psDashDot;psDashDotDot;psDouble").
enum FrameStyleCode : std::uint16_t {
    kFrameSolid = 0,
    kFrameDash = 1,
    kFrameDot = 2,
    kFrameDashDot = 3,
    kFrameDashDotDot = 4,
    kFrameDouble = 5,
};

// BandAlign values ("baNone;baLeft;baRight;baCenter;baWidth;baBottom;baTop;baRest").
enum BandAlignCode : std::uint8_t {
    kAlignNone = 0,
    kAlignLeft = 1,
    kAlignRight = 2,
    kAlignCenter = 3,
    kAlignWidth = 4,
    kAlignBottom = 5,
    kAlignTop = 6,
    kAlignRest = 7,
};

inline constexpr std::uint16_t kFlagStretched = 0x1;
inline constexpr int kDefaultGapX = 2;
inline constexpr int kDefaultGapY = 1;
// The default display format: 0x200 plus the decimal separator ".".
inline constexpr std::int32_t kDefaultFormatCode = 0x200 + '.';

enum class PropertyType : std::uint16_t { Integer, Float, Boolean, String, Color, Enumeration, Lines };

struct PropertyEntry {
    std::string name;  // at most 32 characters
    PropertyType type = PropertyType::Integer;
    bool readOnly = false;
    std::vector<std::string> enumNames;  // enumerations only
    std::vector<int> enumValues;
};

// Compares property and method names the way scripts use them.
bool sameName(std::string_view a, std::string_view b);

class TfrObject {
public:
    virtual ~TfrObject() = default;

    virtual void SetProperty(std::string_view name, const Variant& value);
    virtual Variant GetProperty(std::string_view name);
    virtual Variant CallMethod(std::string_view name, const Variant& arg1, const Variant& arg2,
                               const Variant& arg3);
    virtual void RegisterProperties() {}

    // The property table, filled on first use.
    const std::vector<PropertyEntry>& properties();

protected:
    void addProperty(std::string name, PropertyType type, bool readOnly = false,
                     std::vector<std::string> enumNames = {}, std::vector<int> enumValues = {});

private:
    std::vector<PropertyEntry> propList_;
    bool registered_ = false;
};

class TfrView : public TfrObject {
public:
    struct SavedGeometry {
        int Left = 0, Top = 0, Width = 0, Height = 0, GapX = 0, GapY = 0;
        float FrameWidth = 0;
    };

    TfrView();
    ~TfrView() override = default;

    // The class name stored with kind 10 and used by the class registry.
    virtual std::string className() const { return "TfrView"; }

    void SetProperty(std::string_view name, const Variant& value) override;
    Variant GetProperty(std::string_view name) override;
    Variant CallMethod(std::string_view name, const Variant& arg1, const Variant& arg2,
                       const Variant& arg3) override;
    void RegisterProperties() override;

    virtual void DrawBackground();
    virtual void DrawFrame();
    virtual void ApplyScale();
    virtual void RestoreGeometry();
    virtual void Draw(Canvas& canvas) = 0;
    // Prints the view into the object stream of the current prepared page.
    virtual void WriteToPage(StreamWriter& out);
    virtual void Export();
    virtual void LoadFromStream(StreamReader& in);
    virtual void SaveToStream(StreamWriter& out);
    // The device area the view may paint on, frame lines included; an
    // extended one is 10 units larger on every side.
    virtual Rect ClipRegion(bool extended) const;
    // Character set of the view's text (a memo's font); expressions write
    // names of months and change case in its code page.
    virtual int textCharset() const;
    // The expression variable "CALCWIDTH": a memo expands and measures its
    // text; other views give their Width.
    virtual int calcWidthValue() { return Width; }

    void AttachCanvas(Canvas& canvas);
    // Replaces every bracketed expression of the text by its value (through
    // the expressions module; raises when none is installed).
    std::string ExpandBrackets(const std::string& text);
    void MakeUniqueName();
    void SetBounds(int left, int top, int width, int height);

    // FrameWidth as stored: whole widths up to 10 as they are, anything
    // else in thousandths.
    static std::int32_t frameWidthToStored(float width);
    static float frameWidthFromStored(std::int32_t stored);

    // Fields, in the order of the data model.
    SavedGeometry savedGeometry;
    std::string baseName = "View";
    Canvas* canvas = nullptr;
    Rect frameRect;
    std::vector<std::string> workLines;
    std::string DataField;
    bool preparedMode = false;
    std::string Name;
    // Identifier from the engine-wide object counter, given when the view is
    // read from a template.
    int ID = 0;
    std::uint8_t objectKind = kKindNamedClass;
    std::uint8_t objectVersionHigh = 0;
    std::uint8_t objectVersionLow = 0;
    double drawScaleX = 1.0;
    double drawScaleY = 1.0;
    int drawOffsetX = 0;
    int drawOffsetY = 0;
    bool drawForPrinter = false;
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    std::uint16_t Flags = kFlagStretched;
    std::uint16_t FrameTyp = 0;
    float FrameWidth = 1.0f;
    Color FrameColor = 0;
    std::uint16_t FrameStyle = kFrameSolid;
    Color FillColor = kNoColor;
    std::int32_t formatCode = kDefaultFormatCode;
    std::string formatString;
    bool Visible = true;
    int GapX = kDefaultGapX;
    int GapY = kDefaultGapY;
    std::uint16_t Restrictions = 0;
    std::string tagText;
    std::vector<std::string> Memo;
    std::vector<std::string> scriptLines;
    std::uint8_t BandAlign = kAlignNone;
    BandContext* parentBand = nullptr;
    PageContext* page = nullptr;

protected:
    // Right and bottom edge of the view in device units, unrounded, from the
    // geometry saved by ApplyScale.
    double scaledRight() const;
    double scaledBottom() const;
    // AttachCanvas for a write into a prepared page, where a band being
    // built has moved the view to its place on the page.
    void AttachCanvasToWrite(Canvas& canvas);

private:
    void applyBandAlign(Point neighbourShift);
    void drawFrameLine(int x1, int y1, int x2, int y2, bool vertical);
};

// drawMode of a stretcheable view.
enum class DrawMode : std::uint8_t { drawAll = 0, drawAfterMeasure = 1, drawPart = 2 };

class TfrStretcheable : public TfrView {
public:
    Variant CallMethod(std::string_view name, const Variant& arg1, const Variant& arg2,
                       const Variant& arg3) override;

    // Height in design pixels the whole content needs.
    virtual int CalcHeight() = 0;
    // The least height in which any content can appear.
    virtual int SmallestHeight() = 0;
    // The part of the current height that can hold no further whole line.
    virtual int LeftoverHeight() = 0;

    DrawMode drawMode = DrawMode::drawAll;
};

// Memo text as one string (each line followed by CR LF) and back.
std::string joinLines(const std::vector<std::string>& lines);
std::vector<std::string> splitLines(std::string_view text);

}  // namespace quor
