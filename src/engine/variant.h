#pragma once

// The one value type of the report engine: what expressions compute, named
// properties hold, report variables keep and display formats print.
// Strings are bytes in the code page of the text they came from. A date-time
// is the number of days since 1899-12-30, the time of day being the fraction.
// Conversions, comparisons and arithmetic live in engine/expr/variant_ops.h.

#include <cstdint>
#include <string>
#include <utility>
#include <variant>

namespace quor {

class Variant {
public:
    enum class Type { Empty, Null, Int, Double, Bool, String, DateTime };

    Variant() = default;  // empty
    Variant(int v) : value_(static_cast<std::int64_t>(v)) {}
    Variant(std::int64_t v) : value_(v) {}
    Variant(double v) : value_(v) {}
    Variant(bool v) : value_(v) {}
    Variant(std::string v) : value_(std::move(v)) {}
    Variant(const char* v) : value_(std::string(v)) {}

    static Variant null() {
        Variant v;
        v.value_ = NullTag{};
        return v;
    }
    static Variant dateTime(double days) {
        Variant v;
        v.value_ = DateTag{days};
        return v;
    }

    Type type() const { return static_cast<Type>(value_.index()); }
    bool isEmpty() const { return type() == Type::Empty; }
    bool isNull() const { return type() == Type::Null; }
    bool isString() const { return type() == Type::String; }
    // Int, Double, Bool and DateTime take part in arithmetic as numbers.
    bool isNumeric() const {
        Type t = type();
        return t == Type::Int || t == Type::Double || t == Type::Bool || t == Type::DateTime;
    }

    // Raw access to the stored alternative; the type must match.
    std::int64_t intValue() const { return std::get<std::int64_t>(value_); }
    double doubleValue() const { return std::get<double>(value_); }
    bool boolValue() const { return std::get<bool>(value_); }
    const std::string& stringValue() const { return std::get<std::string>(value_); }
    double dateTimeValue() const { return std::get<DateTag>(value_).days; }

    // Same type and same stored value (not the expression language's "=").
    friend bool operator==(const Variant&, const Variant&) = default;

private:
    struct NullTag {
        friend bool operator==(NullTag, NullTag) = default;
    };
    struct DateTag {
        double days = 0;
        friend bool operator==(DateTag, DateTag) = default;
    };
    // The order of the alternatives is the order of Type.
    std::variant<std::monostate, NullTag, std::int64_t, double, bool, std::string, DateTag> value_;
};

}  // namespace quor
