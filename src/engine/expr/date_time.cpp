#include "engine/expr/date_time.h"

#include "engine/expr/format_settings.h"
#include "platform/error.h"

#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdint>

namespace quor {
namespace {

constexpr double kMinDays = -693593;  // 0001-01-01
constexpr double kMaxDays = 2958466;  // 10000-01-01
constexpr std::int64_t kMsPerDay = 86400000;
constexpr std::int64_t kUnixEpochDays = 25569;  // 1970-01-01

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    unsigned yoe = static_cast<unsigned>(y - era * 400);
    unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    unsigned doe = static_cast<unsigned>(z - era * 146097);
    unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

int daysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

std::string pad(int v, int width) {
    std::string s = std::to_string(v);
    if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<std::size_t>(width) - s.size(), '0');
    return s;
}

bool startsWithNoCase(std::string_view s, std::size_t at, std::string_view word) {
    if (s.size() - at < word.size()) return false;
    for (std::size_t k = 0; k < word.size(); ++k)
        if (std::toupper(static_cast<unsigned char>(s[at + k])) != word[k]) return false;
    return true;
}

class DateFormatter {
public:
    DateFormatter(const DateTimeParts& p, bool hasTime) : p_(p), hasTime_(hasTime) {}

    void run(std::string_view f, int level) {
        if (level > 2) return;  // the settings' own patterns nest at most twice
        bool twelveHour = false;
        for (std::size_t k = 0; k < f.size(); ++k)
            if (startsWithNoCase(f, k, "AM/PM") || startsWithNoCase(f, k, "A/P") || startsWithNoCase(f, k, "AMPM"))
                twelveHour = true;
        char lastLetter = 0;
        bool daySeen = false;
        std::size_t i = 0;
        while (i < f.size()) {
            char c = f[i];
            char t = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (t >= 'A' && t <= 'Z') {
                if (t == 'M' && lastLetter == 'H') t = 'N';
                lastLetter = t;
            }
            std::size_t n = 1;
            auto count = [&](char letter) {
                while (i + n < f.size() && std::toupper(static_cast<unsigned char>(f[i + n])) == letter) ++n;
            };
            const FormatSettings& fs = formatSettings();
            switch (t) {
            case 'Y':
                count('Y');
                out_ += n <= 2 ? pad(p_.year % 100, 2) : pad(p_.year, 4);
                break;
            case 'M':
                count('M');
                if (n == 1) out_ += std::to_string(p_.month);
                else if (n == 2) out_ += pad(p_.month, 2);
                else if (n == 3) out_ += word(shortMonthNames()[p_.month - 1]);
                else out_ += word((daySeen ? genitiveMonthNames() : longMonthNames())[p_.month - 1]);
                break;
            case 'D':
                count('D');
                if (n <= 2) daySeen = true;
                if (n == 1) out_ += std::to_string(p_.day);
                else if (n == 2) out_ += pad(p_.day, 2);
                else if (n == 3) out_ += word(shortDayNames()[p_.dayOfWeek]);
                else if (n == 4) out_ += word(longDayNames()[p_.dayOfWeek]);
                else if (n == 5) run(fs.shortDateFormat, level + 1);
                else run(localWord(fs.longDateFormat, fs.charset), level + 1);
                break;
            case 'H': {
                count('H');
                int h = p_.hour;
                if (twelveHour) h = h % 12 == 0 ? 12 : h % 12;
                out_ += n == 1 ? std::to_string(h) : pad(h, 2);
                break;
            }
            case 'N':
                count(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
                out_ += n == 1 ? std::to_string(p_.minute) : pad(p_.minute, 2);
                break;
            case 'S':
                count('S');
                out_ += n == 1 ? std::to_string(p_.second) : pad(p_.second, 2);
                break;
            case 'Z':
                count('Z');
                out_ += n == 1 ? std::to_string(p_.millisecond) : pad(p_.millisecond, 3);
                break;
            case 'T':
                count('T');
                run(n == 1 ? fs.shortTimeFormat : fs.longTimeFormat, level + 1);
                break;
            case 'C':
                count('C');
                run(fs.shortDateFormat, level + 1);
                if (hasTime_) {
                    out_ += ' ';
                    run(fs.longTimeFormat, level + 1);
                }
                break;
            case 'A':
                if (startsWithNoCase(f, i, "AM/PM")) {
                    n = 5;
                    bool lower = std::islower(static_cast<unsigned char>(c));
                    out_ += p_.hour < 12 ? (lower ? "am" : "AM") : (lower ? "pm" : "PM");
                } else if (startsWithNoCase(f, i, "A/P")) {
                    n = 3;
                    bool lower = std::islower(static_cast<unsigned char>(c));
                    out_ += p_.hour < 12 ? (lower ? "a" : "A") : (lower ? "p" : "P");
                } else if (startsWithNoCase(f, i, "AMPM")) {
                    n = 4;
                    out_ += p_.hour < 12 ? "AM" : "PM";
                } else {
                    out_ += c;
                }
                break;
            case '/':
                out_ += fs.dateSeparator;
                break;
            case ':':
                out_ += fs.timeSeparator;
                break;
            case '"':
            case '\'': {
                std::size_t end = f.find(c, i + 1);
                if (end == std::string_view::npos) end = f.size();
                out_.append(f.substr(i + 1, end - i - 1));
                n = end < f.size() ? end - i + 1 : end - i;
                break;
            }
            default:
                out_ += c;
                break;
            }
            i += n;
        }
    }

    std::string take() { return std::move(out_); }

private:
    std::string word(std::string_view utf8) const { return localWord(utf8, formatSettings().charset); }

    const DateTimeParts& p_;
    bool hasTime_;
    std::string out_;
};

// Reads an unsigned decimal number of at most `maxDigits` digits.
bool readNumber(std::string_view s, std::size_t& i, int& value, int& digits, int maxDigits = 4) {
    digits = 0;
    value = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        if (++digits > maxDigits) return false;
        value = value * 10 + (s[i] - '0');
        ++i;
    }
    return digits > 0;
}

void skipBlanks(std::string_view s, std::size_t& i) {
    while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ') ++i;
}

int currentYear() {
    auto now = std::chrono::system_clock::now();
    auto days = std::chrono::floor<std::chrono::days>(now);
    return static_cast<int>(std::chrono::year_month_day(days).year());
}

bool scanDate(std::string_view s, std::size_t& i, double& days) {
    char sep = formatSettings().dateSeparator;
    int d = 0, m = 0, y = 0, nd = 0, nm = 0, ny = 0;
    skipBlanks(s, i);
    if (!readNumber(s, i, d, nd, 2) || i >= s.size() || s[i] != sep) return false;
    ++i;
    if (!readNumber(s, i, m, nm, 2)) return false;
    if (i < s.size() && s[i] == sep) {
        ++i;
        if (!readNumber(s, i, y, ny, 4)) return false;
        if (ny <= 2) {
            // The platform's two-digit-year window: at most 50 years back.
            int now = currentYear();
            y += now / 100 * 100;
            if (y < now - 50) y += 100;
        }
    } else {
        y = currentYear();
    }
    if (m < 1 || m > 12 || d < 1 || d > daysInMonth(y, m)) return false;
    return encodeDate(y, m, d, days);
}

bool scanTime(std::string_view s, std::size_t& i, double& time) {
    char sep = formatSettings().timeSeparator;
    int h = 0, n = 0, sec = 0, ms = 0, digits = 0;
    skipBlanks(s, i);
    if (!readNumber(s, i, h, digits, 2) || i >= s.size() || s[i] != sep) return false;
    ++i;
    if (!readNumber(s, i, n, digits, 2)) return false;
    if (i < s.size() && s[i] == sep) {
        ++i;
        if (!readNumber(s, i, sec, digits, 2)) return false;
        if (i < s.size() && s[i] == formatSettings().decimalSeparator) {
            ++i;
            if (!readNumber(s, i, ms, digits, 3)) return false;
        }
    }
    std::size_t k = i;
    skipBlanks(s, k);
    int pm = -1;
    if (startsWithNoCase(s, k, "AM")) pm = 0;
    else if (startsWithNoCase(s, k, "PM")) pm = 1;
    if (pm >= 0) {
        if (h < 1 || h > 12) return false;
        h = h % 12 + (pm ? 12 : 0);
        i = k + 2;
    }
    if (h > 23 || n > 59 || sec > 59) return false;
    time = encodeTime(h, n, sec, ms);
    return true;
}

bool atEnd(std::string_view s, std::size_t i) {
    skipBlanks(s, i);
    return i == s.size();
}

[[noreturn]] void invalid(std::string_view text, const char* what) {
    throw Error("'" + std::string(text) + "' is not a valid " + what);
}

}  // namespace

bool encodeDate(int year, int month, int day, double& days) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        return false;
    days = static_cast<double>(daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
                               kUnixEpochDays);
    return true;
}

double encodeTime(int hour, int minute, int second, int millisecond) {
    return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / static_cast<double>(kMsPerDay);
}

bool decodeDateTime(double days, DateTimeParts& parts) {
    if (!std::isfinite(days) || days <= kMinDays - 1 || days >= kMaxDays) return false;
    double whole = std::trunc(days);
    std::int64_t ms = static_cast<std::int64_t>(std::llround(std::fabs(days - whole) * static_cast<double>(kMsPerDay)));
    if (ms >= kMsPerDay) ms = kMsPerDay - 1;
    std::int64_t unixDays = static_cast<std::int64_t>(whole) - kUnixEpochDays;
    civilFromDays(unixDays, parts.year, parts.month, parts.day);
    parts.dayOfWeek = static_cast<int>(((unixDays % 7) + 7 + 4) % 7);  // 1970-01-01 was a Thursday
    parts.hour = static_cast<int>(ms / 3600000);
    parts.minute = static_cast<int>(ms / 60000 % 60);
    parts.second = static_cast<int>(ms / 1000 % 60);
    parts.millisecond = static_cast<int>(ms % 1000);
    return true;
}

std::string formatDateTime(std::string_view pattern, double days) {
    DateTimeParts parts;
    if (!decodeDateTime(days, parts)) throw Error("Invalid argument to date encode");
    bool hasTime = parts.hour || parts.minute || parts.second || parts.millisecond;
    DateFormatter f(parts, hasTime);
    f.run(pattern.empty() ? std::string_view("c") : pattern, 0);
    return f.take();
}

std::string dateTimeToText(double days) {
    DateTimeParts parts;
    if (!decodeDateTime(days, parts)) throw Error("Invalid argument to date encode");
    const FormatSettings& fs = formatSettings();
    if (std::trunc(days) == 0 && days != 0) return formatDateTime(fs.longTimeFormat, days);
    return formatDateTime("c", days);
}

double textToDate(std::string_view text) {
    std::size_t i = 0;
    double d = 0;
    if (!scanDate(text, i, d) || !atEnd(text, i)) invalid(text, "date");
    return d;
}

double textToTime(std::string_view text) {
    std::size_t i = 0;
    double t = 0;
    if (!scanTime(text, i, t) || !atEnd(text, i)) invalid(text, "time");
    return t;
}

double textToDateTime(std::string_view text) {
    std::size_t i = 0;
    double d = 0, t = 0;
    if (scanDate(text, i, d)) {
        if (atEnd(text, i)) return d;
        if (scanTime(text, i, t) && atEnd(text, i)) return d < 0 ? d - t : d + t;
    } else {
        i = 0;
        if (scanTime(text, i, t) && atEnd(text, i)) return t;
    }
    invalid(text, "date and time");
}

}  // namespace quor
