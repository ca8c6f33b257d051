#include "platform/numbers.h"

#include <charconv>
#include <limits>
#include <string>

#include "platform/codepage.h"
#include "platform/error.h"

namespace quor {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Checks the accepted form and returns the number without blanks or a "+"
// sign (std::from_chars takes neither); nothing when the form is wrong.
bool strictNumber(std::string_view s, std::string& out) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') out.push_back('-');
        ++i;
    }
    std::size_t mantissaDigits = 0;
    bool point = false;
    for (; i < s.size(); ++i) {
        if (isDigit(s[i])) {
            ++mantissaDigits;
        } else if (s[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
        out.push_back(s[i]);
    }
    if (mantissaDigits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        out.push_back('e');
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) out.push_back(s[i++]);
        std::size_t expDigits = 0;
        for (; i < s.size() && isDigit(s[i]); ++i, ++expDigits) out.push_back(s[i]);
        if (expDigits == 0) return false;
    }
    return i == s.size();
}

// For a number std::from_chars found out of double range: whether it is huge
// (rather than vanishingly small). Such numbers are hundreds of decades away
// from 1, so the decade of the first significant digit decides.
bool isHuge(const std::string& number) {
    std::size_t i = number[0] == '-' ? 1 : 0;
    long long decade = 0;
    bool significant = false;
    bool point = false;
    for (; i < number.size() && number[i] != 'e'; ++i) {
        if (number[i] == '.') {
            point = true;
        } else if (number[i] != '0' || significant) {
            if (!significant && point) --decade;
            significant = true;
            if (!point) ++decade;
        } else if (point) {
            --decade;
        }
    }
    long long exponent = 0;
    if (i < number.size()) {
        bool negative = number[i + 1] == '-';
        for (++i; i < number.size(); ++i)
            if (number[i] != '+' && number[i] != '-' && exponent < 1'000'000'000)
                exponent = exponent * 10 + (number[i] - '0');
        if (negative) exponent = -exponent;
    }
    return significant && decade + exponent > 0;
}

bool isUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : 4;
        if (n == 4 || i + n >= s.size()) return false;
        for (std::size_t k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 0x2) return false;
        i += n + 1;
    }
    return true;
}

constexpr int kCp1251Charset = 204;

// Settings files are written in the ANSI code page; messages are UTF-8.
std::string quoted(const std::string& text) {
    return "'" + (isUtf8(text) ? text : bytesToUtf8(text, kCp1251Charset)) + "'";
}

}  // namespace

int floatTextToInt(std::string_view text) {
    std::string withPoint(text);
    for (char& c : withPoint)
        if (c == ',') c = '.';
    std::string number;
    if (!strictNumber(withPoint, number))
        throw Error(quoted(withPoint) + " is not a valid floating point value");
    double value = 0;
    auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    bool huge = ec == std::errc::result_out_of_range && isHuge(number);
    if (ec == std::errc::result_out_of_range && !huge) value = 0;
    double whole = std::trunc(value);
    if (huge || (ec != std::errc() && ec != std::errc::result_out_of_range) ||
        end != number.data() + number.size() || !(whole >= std::numeric_limits<int>::min()) ||
        !(whole <= std::numeric_limits<int>::max()))
        throw Error(quoted(withPoint) + " is outside the range of a 32-bit integer");
    return static_cast<int>(whole);
}

int integerTextToInt(std::string_view text) {
    std::string_view s = text;
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    const auto invalid = [&] { return Error(quoted(std::string(text)) + " is not a valid integer value"); };
    if (s.empty()) throw invalid();
    std::int64_t value = 0;
    for (char c : s) {
        if (!isDigit(c)) throw invalid();
        value = value * 10 + (c - '0');
        if (value > std::int64_t{std::numeric_limits<int>::max()} + 1) throw invalid();
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int>::max()) throw invalid();
    return static_cast<int>(value);
}

}  // namespace quor
