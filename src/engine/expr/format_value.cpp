#include "engine/expr/format_value.h"

#include "engine/expr/date_time.h"
#include "engine/expr/float_format.h"
#include "engine/expr/format_settings.h"
#include "engine/expr/number_text.h"
#include "engine/expr/variant_ops.h"
#include "platform/error.h"
#include "platform/messages.h"

#include <cctype>

namespace quor {
namespace {

constexpr int kMsgBooleanPatterns = 55170;  // 55170..55173
constexpr int kMsgDatePatterns = 55175;     // 55175..55178
constexpr int kMsgTimePatterns = 55179;     // 55179..55182

bool blank(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) > ' ') return false;
    return true;
}

std::string formatNumber(const Variant& value, std::uint32_t code, std::string_view user) {
    DecimalSeparatorScope scope(formatSeparator(code));
    const FormatSettings& fs = formatSettings();
    int decimals = formatDecimals(code);
    double v = variantToDouble(value);
    switch (formatVariant(code)) {
    case 0:
        return formatFloat("##0." + std::string(static_cast<std::size_t>(decimals), '#'), v);
    case 1:
        return formatFixed(v, decimals, fs.decimalSeparator);
    case 2:
        return formatFloat("#,##0." + std::string(static_cast<std::size_t>(decimals), '#'), v);
    case 3:
        return formatFixed(v, decimals, fs.decimalSeparator, fs.thousandSeparator);
    case kUserFormatVariant:
        return formatFloat(user, v);
    default:
        return variantToText(value);
    }
}

std::string formatDate(const Variant& value, std::uint32_t code, std::string_view user) {
    double d = variantToDateTime(value);
    int variant = formatVariant(code);
    if (variant == kUserFormatVariant) return formatDateTime(user, d);
    if (variant == 3) return formatDateTime(localWord(formatSettings().longDateFormat, formatSettings().charset), d);
    if (variant <= 2) return formatDateTime(message(kMsgDatePatterns + variant), d);
    return variantToText(value);
}

std::string formatTime(const Variant& value, std::uint32_t code, std::string_view user) {
    double d = variantToDateTime(value);
    int variant = formatVariant(code);
    if (variant == kUserFormatVariant) return formatDateTime(user, d);
    if (variant <= 3) return formatDateTime(message(kMsgTimePatterns + variant), d);
    return variantToText(value);
}

std::string formatBoolean(const Variant& value, std::uint32_t code, std::string_view user) {
    int variant = formatVariant(code);
    std::string pattern;
    if (variant == kUserFormatVariant) pattern = user;
    else if (variant <= 3) pattern = localWord(message(kMsgBooleanPatterns + variant), formatSettings().charset);
    else return variantToText(value);
    std::size_t semi = pattern.find(';');
    std::string before = pattern.substr(0, semi);
    std::string after = semi == std::string::npos ? std::string() : pattern.substr(semi + 1);
    return variantIsZero(value) ? before : after;
}

}  // namespace

std::string FormatValue(const Variant& value, std::uint32_t code, std::string_view formatString) {
    if (value.isEmpty() || value.isNull()) return {};
    if (value.isString() && blank(value.stringValue())) return {};
    try {
        switch (formatCategory(code)) {
        case kFormatNumber:
            return formatNumber(value, code, formatString);
        case kFormatDate:
            return formatDate(value, code, formatString);
        case kFormatTime:
            return formatTime(value, code, formatString);
        case kFormatBoolean:
            return formatBoolean(value, code, formatString);
        default:
            return variantToText(value);
        }
    } catch (const Error&) {
        return variantToText(value);
    }
}

BracketFormat parseBracketFormat(std::string_view inner, std::uint32_t viewCode, std::string_view viewFormat) {
    BracketFormat r{std::string(inner), viewCode, std::string(viewFormat)};
    std::size_t mark = inner.find(" #");
    if (mark == std::string_view::npos) return r;
    r.expression = std::string(inner.substr(0, mark));
    std::string f(inner.substr(mark + 2));
    if (f.empty()) return r;
    auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    if (digit(f[0])) f.insert(0, 1, 'N');
    switch (f[0]) {
    case 'N':
    case 'n': {
        bool fixed = f.size() > 1 && digit(f[1]);
        std::uint32_t code = 0x01000000u | (fixed ? 0x00010000u : 0x00040000u);
        std::size_t sep = std::string::npos;
        for (std::size_t k = f.size() - 1; k >= 1; --k) {
            if (f[k] == ',' || f[k] == '-' || f[k] == '.') {
                sep = k;
                break;
            }
        }
        char separator = formatSettings().decimalSeparator;
        if (sep != std::string::npos) {
            separator = f[sep];
            f[sep] = '.';
        }
        code |= static_cast<unsigned char>(separator);
        if (fixed) {
            int decimals = 0;
            for (std::size_t k = sep == std::string::npos ? f.size() : sep + 1; k < f.size() && digit(f[k]); ++k)
                decimals = std::min(decimals * 10 + (f[k] - '0'), 255);
            code |= static_cast<std::uint32_t>(decimals) << 8;
            r.formatString.clear();
        } else {
            r.formatString = f.substr(1);
        }
        r.code = code;
        break;
    }
    case 'B':
    case 'b':
        r.code = 0x04040000u;
        r.formatString = f.substr(1);
        break;
    case 'D':
    case 'd':
    case 'T':
    case 't':
        r.code = 0x02040000u;
        r.formatString = f.substr(1);
        break;
    default:
        break;
    }
    return r;
}

}  // namespace quor
