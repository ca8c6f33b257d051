// Named properties and methods of views, as scripts and expressions use them.

#include <algorithm>
#include <climits>

#include "engine/engine_state.h"
#include "engine/property_values.h"
#include "engine/view.h"
#include "platform/error.h"

namespace quor {
namespace {

const std::vector<std::string> kFrameStyleNames = {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot",
                                                   "psDouble"};
const std::vector<std::string> kBandAlignNames = {"baNone",  "baLeft", "baRight", "baCenter",
                                                  "baWidth", "baBottom", "baTop", "baRest"};

std::vector<int> indices(std::size_t n) {
    std::vector<int> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<int>(i);
    return v;
}

}  // namespace

namespace props {

int toInt(const Variant& v) {
    return static_cast<int>(std::clamp<std::int64_t>(variantToInt(v), INT_MIN, INT_MAX));
}

bool toBool(const Variant& v) {
    if (v.type() == Variant::Type::Bool) return v.boolValue();
    if (v.isString()) {
        if (sameName(v.stringValue(), "True")) return true;
        if (sameName(v.stringValue(), "False")) return false;
    }
    return toDouble(v) != 0;
}

// An enumeration takes its number or one of its names.
int toEnum(const Variant& v, const std::vector<std::string>& names) {
    if (v.isString())
        for (std::size_t i = 0; i < names.size(); ++i)
            if (sameName(v.stringValue(), names[i])) return static_cast<int>(i);
    return toInt(v);
}

Variant evaluateArgument(TfrView& view, const Variant& arg) {
    auto evaluate = engine().evaluate;
    if (!evaluate) throw Error("Вычисление выражений недоступно");
    return evaluate(view, variantToText(arg));
}

}  // namespace props

using namespace props;

namespace {

Variant colorValue(Color c) { return Variant(static_cast<std::int64_t>(c)); }

std::size_t lineIndex(const Variant& v, std::size_t count) {
    const std::int64_t i = variantToInt(v);
    if (i < 0 || static_cast<std::uint64_t>(i) >= count)
        throw Error("Индекс строки вне диапазона (" + std::to_string(i) + ")");
    return static_cast<std::size_t>(i);
}

}  // namespace

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto up = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
               return up(x) == up(y);
           });
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            out.emplace_back(text.substr(start));
            break;
        }
        out.emplace_back(text.substr(start, end - start));
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    return out;
}

// ---- TfrObject ----

void TfrObject::SetProperty(std::string_view, const Variant&) {}

Variant TfrObject::GetProperty(std::string_view) { return Variant::null(); }

Variant TfrObject::CallMethod(std::string_view, const Variant&, const Variant&, const Variant&) {
    return Variant::null();
}

const std::vector<PropertyEntry>& TfrObject::properties() {
    if (!registered_) {
        registered_ = true;
        RegisterProperties();
    }
    return propList_;
}

void TfrObject::addProperty(std::string name, PropertyType type, bool readOnly, std::vector<std::string> enumNames,
                            std::vector<int> enumValues) {
    if (name.size() > 32) name.resize(32);
    propList_.push_back({std::move(name), type, readOnly, std::move(enumNames), std::move(enumValues)});
}

// ---- TfrView ----

void TfrView::RegisterProperties() {
    addProperty("Name", PropertyType::String);
    addProperty("Left", PropertyType::Integer);
    addProperty("Top", PropertyType::Integer);
    addProperty("Width", PropertyType::Integer);
    addProperty("Height", PropertyType::Integer);
    addProperty("Flags", PropertyType::Integer);
    addProperty("FrameTyp", PropertyType::Integer);
    addProperty("FrameWidth", PropertyType::Float);
    addProperty("FrameColor", PropertyType::Color);
    addProperty("FrameStyle", PropertyType::Enumeration, false, kFrameStyleNames, indices(kFrameStyleNames.size()));
    addProperty("FillColor", PropertyType::Color);
    addProperty("BandAlign", PropertyType::Enumeration, false, kBandAlignNames, indices(kBandAlignNames.size()));
    addProperty("Visible", PropertyType::Boolean);
    addProperty("Memo", PropertyType::Lines);
    addProperty("Memo.Count", PropertyType::Integer, true);
    addProperty("Restrictions", PropertyType::Integer);
}

void TfrView::SetProperty(std::string_view name, const Variant& value) {
    auto is = [&](std::string_view n) { return sameName(name, n); };
    if (is("Name")) Name = variantToText(value);
    else if (is("Left")) Left = toInt(value);
    else if (is("Top")) Top = toInt(value);
    else if (is("Width")) Width = toInt(value);
    else if (is("Height")) Height = toInt(value);
    else if (is("Flags")) Flags = static_cast<std::uint16_t>(toInt(value));
    else if (is("FrameTyp")) FrameTyp = static_cast<std::uint16_t>(toInt(value));
    else if (is("FrameWidth")) FrameWidth = static_cast<float>(toDouble(value));
    else if (is("FrameColor")) FrameColor = static_cast<Color>(variantToInt(value));
    else if (is("FrameStyle")) FrameStyle = static_cast<std::uint16_t>(toEnum(value, kFrameStyleNames));
    else if (is("FillColor")) FillColor = static_cast<Color>(variantToInt(value));
    else if (is("BandAlign")) BandAlign = static_cast<std::uint8_t>(toEnum(value, kBandAlignNames));
    else if (is("Visible")) Visible = toBool(value);
    else if (is("Memo") || is("DataField")) Memo = splitLines(variantToText(value));
    else if (is("Restrictions")) Restrictions = static_cast<std::uint16_t>(toInt(value));
    else if (is("GapX")) GapX = toInt(value);
    else if (is("GapY")) GapY = toInt(value);
    else if (is("Stretched")) Flags = toBool(value) ? (Flags | kFlagStretched) : (Flags & ~kFlagStretched);
    else if (is("Tag")) tagText = variantToText(value);
    else TfrObject::SetProperty(name, value);  // "Memo.Count" is read-only
}

Variant TfrView::GetProperty(std::string_view name) {
    auto is = [&](std::string_view n) { return sameName(name, n); };
    if (is("Name")) return Variant(Name);
    if (is("Left")) return Variant(Left);
    if (is("Top")) return Variant(Top);
    if (is("Width")) return Variant(Width);
    if (is("Height")) return Variant(Height);
    if (is("Flags")) return Variant(static_cast<int>(Flags));
    if (is("FrameTyp")) return Variant(static_cast<int>(FrameTyp));
    if (is("FrameWidth")) return Variant(static_cast<double>(FrameWidth));
    if (is("FrameColor")) return colorValue(FrameColor);
    if (is("FrameStyle")) return Variant(static_cast<int>(FrameStyle));
    if (is("FillColor")) return colorValue(FillColor);
    if (is("BandAlign")) return Variant(static_cast<int>(BandAlign));
    if (is("Visible")) return Variant(Visible);
    if (is("Memo")) return Variant(joinLines(Memo));
    if (is("Memo.Count")) return Variant(static_cast<std::int64_t>(Memo.size()));
    if (is("Restrictions")) return Variant(static_cast<int>(Restrictions));
    if (is("GapX")) return Variant(GapX);
    if (is("GapY")) return Variant(GapY);
    if (is("Stretched")) return Variant((Flags & kFlagStretched) != 0);
    if (is("DataField")) return Variant(Memo.empty() ? std::string() : Memo.front());
    if (is("Tag")) return Variant(tagText);
    return TfrObject::GetProperty(name);
}

Variant TfrView::CallMethod(std::string_view name, const Variant& arg1, const Variant& arg2, const Variant& arg3) {
    auto is = [&](std::string_view n) { return sameName(name, n); };
    if (is("HIDE")) {
        SetProperty("Visible", Variant(false));
        return {};
    }
    if (is("SHOW")) {
        SetProperty("Visible", Variant(true));
        return {};
    }
    if (is("SETINDEXPROPERTY") && sameName(variantToText(arg1), "Memo")) {
        Memo[lineIndex(arg2, Memo.size())] = variantToText(arg3);
        return {};
    }
    if (is("GETINDEXPROPERTY") && sameName(variantToText(arg1), "Memo"))
        return Variant(Memo[lineIndex(arg2, Memo.size())]);
    if (is("MEMO.ADD")) {
        Memo.push_back(variantToText(evaluateArgument(*this, arg1)));
        return {};
    }
    if (is("MEMO.CLEAR")) {
        Memo.clear();
        return {};
    }
    if (is("MEMO.DELETE")) {
        Memo.erase(Memo.begin() + static_cast<std::ptrdiff_t>(lineIndex(evaluateArgument(*this, arg1), Memo.size())));
        return {};
    }
    if (is("MEMO.INDEXOF")) {
        const std::string text = variantToText(evaluateArgument(*this, arg1));
        auto it = std::find(Memo.begin(), Memo.end(), text);
        return Variant(it == Memo.end() ? -1 : static_cast<int>(it - Memo.begin()));
    }
    return TfrObject::CallMethod(name, arg1, arg2, arg3);
}

}  // namespace quor
