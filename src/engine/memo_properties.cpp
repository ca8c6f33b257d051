// The memo's fields as the outside sees them: construction defaults, named
// properties for scripts and expressions, and the stored body.

#include <cstdint>
#include <string>

#include "engine/engine_state.h"
#include "engine/expr/variant_ops.h"
#include "engine/memo_view.h"
#include "engine/stream.h"
#include "platform/numbers.h"

namespace quor {
namespace {

struct FlagProperty {
    const char* name;
    std::uint16_t bit;
};

// The flag properties, each one bit of Flags, in the order they are listed.
constexpr FlagProperty kFlagProperties[] = {
    {"Stretched", kFlagStretched}, {"WordWrap", kFlagWordWrap},   {"WordBreak", kFlagWordBreak},
    {"AutoWidth", kFlagAutoWidth}, {"TextOnly", kFlagTextOnly},   {"Suppress", kFlagSuppress},
    {"HideZeros", kFlagHideZeros}, {"Underlines", kFlagUnderlines}, {"RTLReading", kFlagRTLReading},
};

const FlagProperty* findFlag(std::string_view name) {
    for (const FlagProperty& f : kFlagProperties)
        if (sameName(name, f.name)) return &f;
    return nullptr;
}

bool truthOf(const Variant& v) {
    if (v.type() == Variant::Type::Bool) return v.boolValue();
    if (v.isString()) return sameName(v.stringValue(), "True") || (!v.stringValue().empty() && !variantIsZero(v));
    if (v.isEmpty() || v.isNull()) return false;
    return !variantIsZero(v);
}

int intOf(const Variant& v) { return clampToInt(variantToInt(v)); }

}  // namespace

unsigned fontStyleFromCode(std::uint16_t code) {
    unsigned style = 0;
    if (code & 1) style |= kFontItalic;
    if (code & 2) style |= kFontBold;
    if (code & 4) style |= kFontUnderline;
    if (code & 8) style |= kFontStrikeOut;
    return style;
}

std::uint16_t fontStyleToCode(unsigned style) {
    std::uint16_t code = 0;
    if (style & kFontItalic) code |= 1;
    if (style & kFontBold) code |= 2;
    if (style & kFontUnderline) code |= 4;
    if (style & kFontStrikeOut) code |= 8;
    return code;
}

TfrMemoView::TfrMemoView() {
    baseName = "Memo";
    objectKind = kKindMemo;
    Flags = kFlagStretched | kFlagWordWrap;
    Font.name = "Arial";
    Font.pointSize = 10;
    Font.style = 0;
    Font.color = 0;
    Font.charset = engine().defaultCharset;
}

void TfrMemoView::setFlag(std::uint16_t bit, bool on) {
    Flags = static_cast<std::uint16_t>(on ? (Flags | bit) : (Flags & ~bit));
}

void TfrMemoView::RegisterProperties() {
    TfrStretcheable::RegisterProperties();
    addProperty("Font.Name", PropertyType::String);
    addProperty("Font.Size", PropertyType::Integer);
    addProperty("Font.Style", PropertyType::Integer);
    addProperty("Font.Color", PropertyType::Color);
    // The next three are changed through their editors only.
    addProperty("Font", PropertyType::String, true);
    addProperty("Alignment", PropertyType::Integer);
    addProperty("DisplayFormat", PropertyType::String, true);
    addProperty("Highlight", PropertyType::String, true);
    addProperty("LineSpacing", PropertyType::Integer);
    addProperty("CharSpacing", PropertyType::Integer);
    addProperty("GapX", PropertyType::Integer);
    addProperty("GapY", PropertyType::Integer);
    for (const FlagProperty& f : kFlagProperties) {
        if (f.bit == kFlagUnderlines) addProperty("Lines.Count", PropertyType::Integer, true);
        addProperty(f.name, PropertyType::Boolean);
    }
}

void TfrMemoView::SetProperty(std::string_view name, const Variant& value) {
    if (sameName(name, "Font.Name")) Font.name = variantToText(value);
    else if (sameName(name, "Font.Size")) Font.pointSize = intOf(value);
    else if (sameName(name, "Font.Style")) Font.style = fontStyleFromCode(static_cast<std::uint16_t>(intOf(value)));
    else if (sameName(name, "Font.Color")) Font.color = static_cast<Color>(variantToInt(value));
    else if (sameName(name, "Alignment")) Alignment = static_cast<std::uint32_t>(variantToInt(value));
    else if (sameName(name, "LineSpacing")) LineSpacing = intOf(value);
    else if (sameName(name, "CharSpacing")) CharSpacing = intOf(value);
    else if (sameName(name, "Lines.Count") || sameName(name, "Font") || sameName(name, "DisplayFormat") ||
             sameName(name, "Highlight")) {
        // read-only here
    } else if (const FlagProperty* f = findFlag(name)) setFlag(f->bit, truthOf(value));
    else TfrStretcheable::SetProperty(name, value);
}

Variant TfrMemoView::GetProperty(std::string_view name) {
    if (sameName(name, "Font.Name")) return Variant(Font.name);
    if (sameName(name, "Font.Size")) return Variant(Font.pointSize);
    if (sameName(name, "Font.Style")) return Variant(static_cast<int>(fontStyleToCode(Font.style)));
    if (sameName(name, "Font.Color")) return Variant(static_cast<std::int64_t>(Font.color));
    if (sameName(name, "Alignment")) return Variant(static_cast<std::int64_t>(Alignment));
    if (sameName(name, "LineSpacing")) return Variant(LineSpacing);
    if (sameName(name, "CharSpacing")) return Variant(CharSpacing);
    if (sameName(name, "Lines.Count")) return Variant(static_cast<std::int64_t>(Memo.size()));
    if (const FlagProperty* f = findFlag(name)) return Variant(flag(f->bit));
    return TfrStretcheable::GetProperty(name);
}

Variant TfrMemoView::CallMethod(std::string_view name, const Variant& arg1, const Variant& arg2,
                                const Variant& arg3) {
    // "LINES" is the memo's indexed name for the lines of Memo.
    const Variant memo("Memo");
    if (sameName(name, "LINES")) return TfrStretcheable::CallMethod("GETINDEXPROPERTY", memo, arg1, Variant());
    if (arg1.isString() && sameName(arg1.stringValue(), "LINES") &&
        (sameName(name, "GETINDEXPROPERTY") || sameName(name, "SETINDEXPROPERTY")))
        return TfrStretcheable::CallMethod(name, memo, arg2, arg3);
    return TfrStretcheable::CallMethod(name, arg1, arg2, arg3);
}

void TfrMemoView::LoadFromStream(StreamReader& in) {
    TfrStretcheable::LoadFromStream(in);
    const int version = engine().streamVersion;
    Font.name = in.vtext(version);
    Font.pointSize = in.i32();
    Font.style = fontStyleFromCode(in.u16());
    Font.color = in.u32();
    Alignment = in.u32();
    const std::uint16_t charset = in.u16();
    Font.charset = version < kFirstCountedVersion ? engine().defaultCharset : (charset & 0xFF);
    if (!preparedMode) {
        highlightStyle = in.u16();
        highlightColor = in.u32();
        highlightFill = in.u32();
        highlightCondition = in.vtext(version);
    }
    if (version >= 24) {
        LineSpacing = in.i32();
        CharSpacing = in.i32();
    }
    if (version == 21) setFlag(kFlagWordWrap, true);
}

void TfrMemoView::SaveToStream(StreamWriter& out) {
    TfrStretcheable::SaveToStream(out);
    out.vtext(Font.name);
    out.i32(Font.pointSize);
    out.u16(fontStyleToCode(Font.style));
    out.u32(Font.color);
    out.u32(Alignment);
    out.u16(static_cast<std::uint16_t>(Font.charset & 0xFF));
    if (!preparedMode) {
        out.u16(highlightStyle);
        out.u32(highlightColor);
        out.u32(highlightFill);
        out.vtext(highlightCondition);
    }
    if (out.version() >= 24) {
        out.i32(LineSpacing);
        out.i32(CharSpacing);
    }
}

}  // namespace quor
