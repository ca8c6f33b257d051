#pragma once

// The conventions numbers and dates are written and read with: the
// platform's settings for a Russian user, with the decimal separator that
// the program sets at start-up. One engine-wide instance; `FormatValue`
// swaps the decimal separator for the duration of one call.

#include <array>
#include <string>
#include <string_view>

namespace quor {

struct FormatSettings {
    char decimalSeparator = '.';
    // A plain blank: it looks the same in every code page a view may use.
    char thousandSeparator = ' ';
    char dateSeparator = '.';
    char timeSeparator = ':';
    std::string shortDateFormat = "dd.mm.yyyy";
    std::string longDateFormat = "d mmmm yyyy 'г.'";  // UTF-8: localWord before use
    std::string shortTimeFormat = "h:nn";
    std::string longTimeFormat = "h:nn:ss";
    // Character set of the text the result goes into (the current view's
    // font): month and day names are written in its code page.
    int charset = 204;
};

FormatSettings& formatSettings();

// Russian names, UTF-8. Index 0 is January (Sunday for days).
const std::array<std::string_view, 12>& longMonthNames();     // "Январь"
const std::array<std::string_view, 12>& genitiveMonthNames(); // "января"
const std::array<std::string_view, 12>& shortMonthNames();    // "янв"
const std::array<std::string_view, 7>& longDayNames();        // "воскресенье"
const std::array<std::string_view, 7>& shortDayNames();       // "Вс"

// A UTF-8 word of ours as bytes of the code page of `charset`.
std::string localWord(std::string_view utf8, int charset);

// Bytes of the code page of `charset` as UTF-8, for error messages.
std::string textForMessage(std::string_view bytes, int charset);

// Sets the decimal separator and puts the old one back on leaving.
class DecimalSeparatorScope {
public:
    explicit DecimalSeparatorScope(char separator)
        : saved_(formatSettings().decimalSeparator) {
        if (separator) formatSettings().decimalSeparator = separator;
    }
    ~DecimalSeparatorScope() { formatSettings().decimalSeparator = saved_; }
    DecimalSeparatorScope(const DecimalSeparatorScope&) = delete;
    DecimalSeparatorScope& operator=(const DecimalSeparatorScope&) = delete;

private:
    char saved_;
};

}  // namespace quor
