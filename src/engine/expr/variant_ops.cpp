#include "engine/expr/variant_ops.h"

#include "engine/expr/date_time.h"
#include "engine/expr/format_settings.h"
#include "engine/expr/number_text.h"
#include "platform/error.h"
#include "platform/numbers.h"

#include <cmath>
#include <limits>

namespace quor {
namespace {

using T = Variant::Type;

// A value reduced to a number for arithmetic.
struct Num {
    bool isInt = true;
    std::int64_t i = 0;
    double d = 0;
    bool isDate = false;
    double real() const { return isInt ? static_cast<double>(i) : d; }
};

Num toNum(const Variant& v) {
    Num n;
    switch (v.type()) {
    case T::Empty:
    case T::Null:
        break;
    case T::Int:
        n.i = v.intValue();
        break;
    case T::Bool:
        n.i = v.boolValue() ? -1 : 0;
        break;
    case T::Double:
        n.isInt = false;
        n.d = v.doubleValue();
        break;
    case T::DateTime:
        n.isInt = false;
        n.isDate = true;
        n.d = v.dateTimeValue();
        break;
    case T::String:
        n.isInt = false;
        n.d = textToFloat(v.stringValue(), formatSettings().decimalSeparator);
        break;
    }
    return n;
}

Variant fromDouble(double d, bool isDate) { return isDate ? Variant::dateTime(d) : Variant(d); }

bool textual(const Variant& v) { return v.isString() || v.isEmpty(); }

}  // namespace

std::int64_t doubleToInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 9.2e18) return std::numeric_limits<std::int64_t>::max();
    if (v <= -9.2e18) return std::numeric_limits<std::int64_t>::min();
    return roundEven(v);
}

double snapToInteger(double v) {
    double r = std::nearbyint(v);
    return std::fabs(v - r) < 1e-10 ? r : v;
}

std::string variantToText(const Variant& v) {
    switch (v.type()) {
    case T::Empty:
    case T::Null:
        return {};
    case T::Int:
        return std::to_string(v.intValue());
    case T::Double:
        return floatToText(v.doubleValue(), formatSettings().decimalSeparator);
    case T::Bool:
        return v.boolValue() ? "True" : "False";
    case T::String:
        return v.stringValue();
    case T::DateTime:
        try {
            return dateTimeToText(v.dateTimeValue());
        } catch (const Error&) {
            return floatToText(v.dateTimeValue(), formatSettings().decimalSeparator);
        }
    }
    return {};
}

double variantToDouble(const Variant& v) { return toNum(v).real(); }

std::int64_t variantToInt(const Variant& v) {
    Num n = toNum(v);
    return n.isInt ? n.i : doubleToInt(n.d);
}

double variantToDateTime(const Variant& v) {
    if (v.isString()) return textToDateTime(v.stringValue());
    return toNum(v).real();
}

bool variantIsZero(const Variant& v) {
    Num n = toNum(v);
    return n.isInt ? n.i == 0 : n.d == 0;
}

Variant variantAdd(const Variant& a, const Variant& b) {
    if (a.isNull() || b.isNull()) return Variant::null();
    if (textual(a) && textual(b)) {
        if (a.isEmpty() && b.isEmpty()) return Variant();
        return Variant(variantToText(a) + variantToText(b));
    }
    Num x = toNum(a), y = toNum(b);
    std::int64_t r = 0;
    if (x.isInt && y.isInt && !__builtin_add_overflow(x.i, y.i, &r)) return Variant(r);
    return fromDouble(x.real() + y.real(), x.isDate || y.isDate);
}

Variant variantSubtract(const Variant& a, const Variant& b) {
    if (a.isNull() || b.isNull()) return Variant::null();
    Num x = toNum(a), y = toNum(b);
    std::int64_t r = 0;
    if (x.isInt && y.isInt && !__builtin_sub_overflow(x.i, y.i, &r)) return Variant(r);
    return fromDouble(x.real() - y.real(), x.isDate && !y.isDate);
}

Variant variantMultiply(const Variant& a, const Variant& b) {
    if (a.isNull() || b.isNull()) return Variant::null();
    Num x = toNum(a), y = toNum(b);
    std::int64_t r = 0;
    if (x.isInt && y.isInt && !__builtin_mul_overflow(x.i, y.i, &r)) return Variant(r);
    return Variant(x.real() * y.real());
}

Variant variantDivide(const Variant& a, const Variant& b) {
    if (a.isNull() || b.isNull()) return Variant::null();
    double x = toNum(a).real(), y = toNum(b).real();
    if (y == 0) return Variant(0.0);
    return Variant(x / y);
}

Variant variantModulo(const Variant& a, const Variant& b) {
    if (a.isNull() || b.isNull()) return Variant::null();
    std::int64_t x = variantToInt(a), y = variantToInt(b);
    if (y == 0 || y == -1) return Variant(std::int64_t{0});
    return Variant(x % y);
}

Variant variantBitOr(const Variant& a, const Variant& b) {
    if (a.isNull() || b.isNull()) return Variant::null();
    return Variant(variantToInt(a) | variantToInt(b));
}

Variant variantNegate(const Variant& v) {
    if (v.isNull()) return v;
    Num n = toNum(v);
    if (n.isInt && n.i != std::numeric_limits<std::int64_t>::min()) return Variant(-n.i);
    return fromDouble(-n.real(), n.isDate);
}

std::optional<int> variantCompare(const Variant& a, const Variant& b) {
    if (a.isNull() || b.isNull()) {
        if (a.isNull() && b.isNull()) return 0;
        return std::nullopt;
    }
    if (textual(a) && textual(b)) {
        int c = variantToText(a).compare(variantToText(b));
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    Num x = toNum(a), y = toNum(b);
    if (x.isInt && y.isInt) return x.i < y.i ? -1 : x.i > y.i ? 1 : 0;
    double p = x.real(), q = y.real();
    return p < q ? -1 : p > q ? 1 : 0;
}

}  // namespace quor
