#include "engine/expr/number_text.h"

#include "platform/error.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace quor {
namespace {

// 15 significant digits of |value| (value finite, not 0) and the decimal
// exponent of the first one.
void significantDigits(double value, std::string& digits, int& exponent) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    std::string_view s(buf, static_cast<std::size_t>(res.ptr - buf));
    std::size_t e = s.find('e');
    digits.assign(1, s[0]);
    digits.append(s.substr(2, e - 2));
    exponent = std::atoi(std::string(s.substr(e + 1)).c_str());
}

bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

void throwNotANumber(std::string_view text) {
    throw Error("'" + std::string(text) + "' is not a valid floating point value");
}

bool tryTextToFloat(std::string_view text, char decimalSeparator, double& out) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    std::string norm;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') norm += '-';
        ++i;
    }
    int mantissaDigits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            norm += c;
            ++mantissaDigits;
        } else if (c == decimalSeparator && !point) {
            norm += '.';
            point = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        norm += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) norm += text[i++];
        int expDigits = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++expDigits) norm += text[i];
        if (expDigits == 0) return false;
    }
    if (i != text.size()) return false;
    double v = 0;
    auto res = std::from_chars(norm.data(), norm.data() + norm.size(), v);
    if (res.ec != std::errc() || res.ptr != norm.data() + norm.size() || !std::isfinite(v)) return false;
    out = v;
    return true;
}

double textToFloat(std::string_view text, char decimalSeparator) {
    double v = 0;
    if (!tryTextToFloat(text, decimalSeparator, v)) throwNotANumber(text);
    return v;
}

std::string floatToText(double value, char decimalSeparator) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";
    std::string digits;
    int exp = 0;
    significantDigits(value, digits, exp);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string out = value < 0 ? "-" : "";
    if (exp < -4 || exp >= 15) {
        out += digits[0];
        if (digits.size() > 1) {
            out += decimalSeparator;
            out.append(digits, 1);
        }
        out += 'E';
        if (exp < 0) out += '-';
        out += std::to_string(std::abs(exp));
    } else if (exp >= 0) {
        std::size_t intLen = static_cast<std::size_t>(exp) + 1;
        if (digits.size() <= intLen) {
            out += digits;
            out.append(intLen - digits.size(), '0');
        } else {
            out.append(digits, 0, intLen);
            out += decimalSeparator;
            out.append(digits, intLen);
        }
    } else {
        out += '0';
        out += decimalSeparator;
        out.append(static_cast<std::size_t>(-exp - 1), '0');
        out += digits;
    }
    return out;
}

bool decimalDigits(double value, int decimals, std::string& integer, std::string& fraction) {
    value = std::fabs(value);
    if (!std::isfinite(value) || value >= 1e18) return false;
    decimals = std::clamp(decimals, 0, 18);
    integer.clear();
    fraction.assign(static_cast<std::size_t>(decimals), '0');
    if (value == 0) return true;
    std::string mant;
    int exp = 0;
    significantDigits(value, mant, exp);
    int pointPos = exp + 1;         // digits of mant before the decimal point
    int keep = pointPos + decimals; // digits of mant that survive
    if (keep < 0) return true;      // far below the last place: rounds to 0
    std::string digits = mant;
    if (static_cast<int>(digits.size()) < keep) digits.append(static_cast<std::size_t>(keep) - digits.size(), '0');
    bool up = keep < static_cast<int>(mant.size()) && mant[static_cast<std::size_t>(keep)] >= '5';
    digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        int k = keep - 1;
        while (k >= 0 && digits[static_cast<std::size_t>(k)] == '9') digits[static_cast<std::size_t>(k--)] = '0';
        if (k >= 0) {
            ++digits[static_cast<std::size_t>(k)];
        } else {
            digits.insert(digits.begin(), '1');
            ++pointPos;
        }
    }
    if (pointPos > 0) {
        integer = digits.substr(0, static_cast<std::size_t>(pointPos));
        fraction = digits.substr(static_cast<std::size_t>(pointPos));
    } else {
        fraction = std::string(static_cast<std::size_t>(-pointPos), '0') + digits;
    }
    std::size_t nz = integer.find_first_not_of('0');
    integer.erase(0, nz == std::string::npos ? integer.size() : nz);
    return true;
}

std::string groupThousands(const std::string& digits, char separator) {
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
        out += digits[i];
    }
    return out;
}

std::string formatFixed(double value, int decimals, char decimalSeparator, char thousandSeparator) {
    std::string integer, fraction;
    if (!decimalDigits(value, decimals, integer, fraction)) return floatToText(value, decimalSeparator);
    if (integer.empty()) integer = "0";
    bool zero = integer == "0" && fraction.find_first_not_of('0') == std::string::npos;
    std::string out = (value < 0 && !zero) ? "-" : "";
    out += thousandSeparator ? groupThousands(integer, thousandSeparator) : integer;
    if (!fraction.empty()) {
        out += decimalSeparator;
        out += fraction;
    }
    return out;
}

}  // namespace quor
