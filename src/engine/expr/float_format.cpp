#include "engine/expr/float_format.h"

#include "engine/expr/format_settings.h"
#include "engine/expr/number_text.h"

#include <cmath>
#include <vector>

namespace quor {
namespace {

// Splits at ";" outside quotes.
std::vector<std::string_view> sections(std::string_view pattern) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    char quote = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';' && out.size() < 2) {
            out.push_back(pattern.substr(start, i - start));
            start = i + 1;
        }
    }
    out.push_back(pattern.substr(start));
    return out;
}

struct Element {
    enum Kind { Digit, Point, Exponent, Literal } kind;
    char placeholder = 0;  // '0' or '#'
    std::string text;      // literal text; for Exponent "E+" / "e-" ...
};

// One section, read into placeholders and literals.
struct Section {
    std::vector<Element> elements;
    bool thousands = false;
    int intPlaceholders = 0, intRequired = 0;
    int fracPlaceholders = 0, fracRequired = 0;
    int expDigits = 0;
    bool scientific = false;

    explicit Section(std::string_view f) {
        bool afterPoint = false, seenFirstZero = false;
        for (std::size_t i = 0; i < f.size(); ++i) {
            char c = f[i];
            if (c == '0' || c == '#') {
                if (scientific) {
                    continue;
                }
                elements.push_back({Element::Digit, c, {}});
                if (afterPoint) {
                    ++fracPlaceholders;
                    if (c == '0') fracRequired = fracPlaceholders;
                } else {
                    ++intPlaceholders;
                    if (c == '0') seenFirstZero = true;
                    if (seenFirstZero) ++intRequired;
                }
            } else if (c == '.' && !afterPoint && !scientific) {
                afterPoint = true;
                elements.push_back({Element::Point, 0, {}});
            } else if (c == ',' && !scientific) {
                if (!afterPoint) thousands = true;
            } else if ((c == 'E' || c == 'e') && i + 1 < f.size() && (f[i + 1] == '+' || f[i + 1] == '-') &&
                       !scientific) {
                scientific = true;
                elements.push_back({Element::Exponent, 0, std::string{c, f[i + 1]}});
                ++i;
                while (i + 1 < f.size() && f[i + 1] == '0') {
                    ++expDigits;
                    ++i;
                }
            } else if (c == '"' || c == '\'') {
                std::size_t end = f.find(c, i + 1);
                if (end == std::string_view::npos) end = f.size();
                elements.push_back({Element::Literal, 0, std::string(f.substr(i + 1, end - i - 1))});
                i = end;
            } else {
                elements.push_back({Element::Literal, 0, std::string(1, c)});
            }
        }
    }

    bool hasDigits() const { return intPlaceholders + fracPlaceholders > 0; }
};

// Writes |value| (already rounded into `integer` and `fraction`) into the
// section's placeholders.
std::string render(const Section& s, std::string integer, std::string fraction, int exponent) {
    const FormatSettings& fs = formatSettings();
    while (static_cast<int>(fraction.size()) > s.fracRequired && !fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    if (static_cast<int>(integer.size()) < s.intRequired)
        integer.insert(0, static_cast<std::size_t>(s.intRequired) - integer.size(), '0');
    int k = static_cast<int>(integer.size());
    int excess = k - s.intPlaceholders;  // digits beyond the placeholders go to the first one
    std::string out;
    int intIndex = 0, fracIndex = 0;
    auto emitIntDigit = [&](int d) {
        out += integer[static_cast<std::size_t>(d)];
        if (s.thousands && d < k - 1 && (k - 1 - d) % 3 == 0) out += fs.thousandSeparator;
    };
    for (const Element& e : s.elements) {
        switch (e.kind) {
        case Element::Digit:
            if (intIndex < s.intPlaceholders) {
                int d = intIndex - (s.intPlaceholders - k);
                if (intIndex == 0)
                    for (int x = 0; x < excess; ++x) emitIntDigit(x);
                if (d >= 0) emitIntDigit(d);
                ++intIndex;
            } else {
                if (fracIndex < static_cast<int>(fraction.size())) out += fraction[static_cast<std::size_t>(fracIndex)];
                ++fracIndex;
            }
            break;
        case Element::Point:
            if (s.intPlaceholders == 0)
                for (int x = 0; x < k; ++x) emitIntDigit(x);
            intIndex = s.intPlaceholders;
            if (!fraction.empty()) out += fs.decimalSeparator;
            break;
        case Element::Exponent: {
            out += e.text[0];
            if (exponent < 0) out += '-';
            else if (e.text[1] == '+') out += '+';
            std::string digits = std::to_string(std::abs(exponent));
            if (static_cast<int>(digits.size()) < s.expDigits)
                digits.insert(0, static_cast<std::size_t>(s.expDigits) - digits.size(), '0');
            out += digits;
            break;
        }
        case Element::Literal:
            out += e.text;
            break;
        }
    }
    return out;
}

// Rounds |value| for the section; false when the general form must be used.
bool digitsFor(const Section& s, double value, std::string& integer, std::string& fraction, int& exponent) {
    exponent = 0;
    if (!s.scientific) return decimalDigits(value, s.fracPlaceholders, integer, fraction);
    double a = std::fabs(value);
    if (!std::isfinite(a)) return false;
    int intDigits = s.intPlaceholders > 0 ? s.intPlaceholders : 1;
    if (a != 0) exponent = static_cast<int>(std::floor(std::log10(a))) - (intDigits - 1);
    for (int attempt = 0; attempt < 2; ++attempt) {
        double mant = a / std::pow(10.0, exponent);
        if (!decimalDigits(mant, s.fracPlaceholders, integer, fraction)) return false;
        if (static_cast<int>(integer.size()) <= intDigits) return true;
        ++exponent;  // rounding carried into a new digit
    }
    return true;
}

bool isZero(const std::string& integer, const std::string& fraction) {
    return integer.find_first_not_of('0') == std::string::npos && fraction.find_first_not_of('0') == std::string::npos;
}

}  // namespace

std::string formatFloat(std::string_view pattern, double value) {
    const FormatSettings& fs = formatSettings();
    if (pattern.empty() || !std::isfinite(value)) return floatToText(value, fs.decimalSeparator);
    std::vector<std::string_view> parts = sections(pattern);
    std::size_t index = 0;
    if (value < 0 && parts.size() >= 2 && !parts[1].empty()) index = 1;
    Section section(parts[index]);
    std::string integer, fraction;
    int exponent = 0;
    if (!digitsFor(section, value, integer, fraction, exponent)) return floatToText(value, fs.decimalSeparator);
    if (isZero(integer, fraction) && parts.size() >= 3 && !parts[2].empty()) {
        Section zero(parts[2]);
        if (!digitsFor(zero, 0.0, integer, fraction, exponent)) return floatToText(value, fs.decimalSeparator);
        return render(zero, integer, fraction, exponent);
    }
    std::string out = render(section, integer, fraction, exponent);
    if (value < 0 && index == 0 && !isZero(integer, fraction) && section.hasDigits()) out.insert(0, 1, '-');
    return out;
}

}  // namespace quor
