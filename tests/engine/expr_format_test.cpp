// Display formats of every category, the number and date pattern
// interpreters and the text form of values.

#include "engine/expr/date_time.h"
#include "engine/expr/float_format.h"
#include "engine/expr/format_value.h"
#include "engine/expr/number_text.h"
#include "expr_fixture.h"
#include "platform/codepage.h"

namespace quor::test {
namespace {

double dec8() {
    double d = 0;
    encodeDate(2026, 12, 8, d);
    return d;
}

std::string utf8(const std::string& bytes, int charset = 204) { return bytesToUtf8(bytes, charset); }

TEST(ExprNumberText, GeneralFormHasFifteenSignificantDigits) {
    EXPECT_EQ(floatToText(3.0, '.'), "3");
    EXPECT_EQ(floatToText(0.1, '.'), "0.1");
    EXPECT_EQ(floatToText(-2.5, ','), "-2,5");
    EXPECT_EQ(floatToText(1.0 / 3, '.'), "0.333333333333333");
    EXPECT_EQ(floatToText(123456789012345.0, '.'), "123456789012345");
    EXPECT_EQ(floatToText(1e15, '.'), "1E15");
    EXPECT_EQ(floatToText(1.5e20, '.'), "1.5E20");
    EXPECT_EQ(floatToText(0.0001, '.'), "0.0001");
    EXPECT_EQ(floatToText(1.5e-7, '.'), "1.5E-7");
    EXPECT_EQ(floatToText(0.1 + 0.2, '.'), "0.3");
}

TEST(ExprNumberText, StrictReading) {
    double v = 0;
    EXPECT_TRUE(tryTextToFloat(" 12.5 ", '.', v));
    EXPECT_EQ(v, 12.5);
    EXPECT_TRUE(tryTextToFloat("-1e3", '.', v));
    EXPECT_EQ(v, -1000);
    EXPECT_TRUE(tryTextToFloat("5.", '.', v));
    for (const char* bad : {"", ".", "1.2.3", "1,5", "e5", "1e", "1e999", "12abc", "--1"})
        EXPECT_FALSE(tryTextToFloat(bad, '.', v)) << bad;
    EXPECT_TRUE(tryTextToFloat("1,5", ',', v));
    EXPECT_EQ(v, 1.5);
}

TEST(ExprNumberText, FixedNotationRoundsHalvesAwayFromZero) {
    EXPECT_EQ(formatFixed(2.675, 2, '.'), "2.68");
    EXPECT_EQ(formatFixed(0.125, 2, '.'), "0.13");
    EXPECT_EQ(formatFixed(-0.001, 2, '.'), "0.00");
    EXPECT_EQ(formatFixed(-1.5, 2, '.'), "-1.50");
    EXPECT_EQ(formatFixed(9.999, 2, '.'), "10.00");
    EXPECT_EQ(formatFixed(0.006, 2, '.'), "0.01");
    EXPECT_EQ(formatFixed(1234567.5, 0, '.', ' '), "1 234 568");
    EXPECT_EQ(formatFixed(1e20, 2, '.'), "1E20");
}

TEST(ExprFloatFormat, Patterns) {
    EXPECT_EQ(formatFloat("##0.##", 1234.5), "1234.5");
    EXPECT_EQ(formatFloat("##0.", 2.5), "3");
    EXPECT_EQ(formatFloat("##0.##", 0), "0");
    EXPECT_EQ(formatFloat("#,##0.00", 1234567.891), "1 234 567.89");
    EXPECT_EQ(formatFloat("#,##0.00", -1234.5), "-1 234.50");
    EXPECT_EQ(formatFloat("000", 7), "007");
    EXPECT_EQ(formatFloat("#.##", 0.5), ".5");
    EXPECT_EQ(formatFloat("0.00E+00", 12345), "1.23E+04");
    EXPECT_EQ(formatFloat("0.0E-0", 0.00015), "1.5E-4");
    EXPECT_EQ(formatFloat("0;(0);zero", -5), "(5)");
    EXPECT_EQ(formatFloat("0;(0);zero", 0), "zero");
    EXPECT_EQ(formatFloat("0.0", -0.04), "0.0");
    EXPECT_EQ(formatFloat("'No' 0", 12), "No 12");
    EXPECT_EQ(formatFloat("000-00", 12345), "123-45");
    EXPECT_EQ(formatFloat("", 2.5), "2.5");
}

TEST(ExprDateTime, CalendarAndPatterns) {
    double d = dec8();
    EXPECT_EQ(d, 46364);
    DateTimeParts p;
    ASSERT_TRUE(decodeDateTime(d + 0.5, p));
    EXPECT_EQ(p.dayOfWeek, 2);  // a Tuesday
    EXPECT_EQ(p.hour, 12);
    EXPECT_EQ(formatDateTime("dd.mm.yyyy hh:nn:ss", d + encodeTime(9, 5, 3, 0)), "08.12.2026 09:05:03");
    EXPECT_EQ(formatDateTime("d/m/yy h:mm", d + encodeTime(9, 5, 0, 0)), "8.12.26 9:05");
    EXPECT_EQ(formatDateTime("hh:nn am/pm", d + encodeTime(15, 30, 0, 0)), "03:30 pm");
    EXPECT_EQ(formatDateTime("yyyy 'год' zzz", d + encodeTime(0, 0, 1, 7)), "2026 год 007");
    EXPECT_EQ(utf8(formatDateTime("d mmmm yyyy", d)), "8 декабря 2026");
    EXPECT_EQ(utf8(formatDateTime("mmmm yyyy, dddd", d)), "Декабрь 2026, вторник");
    EXPECT_EQ(utf8(formatDateTime("ddd d mmm", d)), "Вт 8 дек");
    EXPECT_EQ(formatDateTime("c", d), "08.12.2026");
    EXPECT_EQ(formatDateTime("c", d + 0.75), "08.12.2026 18:00:00");
    EXPECT_EQ(formatDateTime("dd.mm.yyyy", -1), "29.12.1899");
    EXPECT_THROW(formatDateTime("dd", 1e12), Error);
}

TEST(ExprDateTime, ReadingDatesAndTimes) {
    EXPECT_EQ(textToDate("08.12.2026"), dec8());
    EXPECT_EQ(textToDate(" 8.12.2026 "), dec8());
    EXPECT_EQ(textToTime("18:00"), 0.75);
    EXPECT_EQ(textToTime("6:00 PM"), 0.75);
    EXPECT_EQ(textToDateTime("08.12.2026 18:00:00"), dec8() + 0.75);
    for (const char* bad : {"31.02.2026", "1.13.2026", "", "x", "1.1.12345", "99999999999999.1.1"}) {
        try {
            textToDate(bad);
            ADD_FAILURE() << bad;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid date");
        }
    }
    EXPECT_THROW(textToTime("25:00"), Error);
    EXPECT_THROW(textToTime("10"), Error);
}

class ExprFormatValue : public ExprTest {};

TEST_F(ExprFormatValue, EmptyNullAndBlankGiveNothing) {
    EXPECT_EQ(FormatValue(Variant(), 0x01010200, ""), "");
    EXPECT_EQ(FormatValue(Variant::null(), 0, ""), "");
    EXPECT_EQ(FormatValue(Variant("   "), 0, ""), "");
    EXPECT_EQ(FormatValue(Variant(" a "), 0, ""), " a ");
}

TEST_F(ExprFormatValue, NumberVariants) {
    EXPECT_EQ(FormatValue(Variant(2.345), 0x0100022E, ""), "2.35");
    EXPECT_EQ(FormatValue(Variant(1234.5), 0x0101022C, ""), "1234,50");
    EXPECT_EQ(FormatValue(Variant(1234567.891), 0x0102022E, ""), "1 234 567.89");
    EXPECT_EQ(FormatValue(Variant(1234.5), 0x0103022E, ""), "1 234.50");
    EXPECT_EQ(FormatValue(Variant(3.14159), 0x0104002C, "0.000"), "3,142");
    EXPECT_EQ(FormatValue(Variant("12.5"), 0x0101012E, ""), "12.5");
    // A value the format cannot take falls back to its text form.
    EXPECT_EQ(FormatValue(Variant("abc"), 0x0101022E, ""), "abc");
    EXPECT_EQ(formatSettings().decimalSeparator, '.');
}

TEST_F(ExprFormatValue, DateVariants) {
    Variant d = Variant::dateTime(dec8());
    EXPECT_EQ(FormatValue(d, 0x02000000, ""), "08.12.26");
    EXPECT_EQ(FormatValue(d, 0x02010000, ""), "08.12.2026");
    EXPECT_EQ(utf8(FormatValue(d, 0x02020000, "")), "8 дек 2026");
    EXPECT_EQ(utf8(FormatValue(d, 0x02030000, "")), "8 декабря 2026 г.");
    EXPECT_EQ(FormatValue(d, 0x02040000, "yyyy/mm/dd"), "2026.12.08");
    EXPECT_EQ(FormatValue(Variant("08.12.2026"), 0x02010000, ""), "08.12.2026");
    EXPECT_EQ(FormatValue(Variant("soon"), 0x02010000, ""), "soon");
    // Month names follow the code page of the view's text.
    formatSettings().charset = 255;
    EXPECT_EQ(utf8(FormatValue(d, 0x02020000, ""), 255), "8 дек 2026");
}

TEST_F(ExprFormatValue, TimeVariants) {
    Variant t = Variant::dateTime(dec8() + encodeTime(9, 5, 3, 0));
    EXPECT_EQ(FormatValue(t, 0x03000000, ""), "09:05:03");
    EXPECT_EQ(FormatValue(t, 0x03010000, ""), "9:05:03");
    EXPECT_EQ(FormatValue(t, 0x03020000, ""), "09:05");
    EXPECT_EQ(FormatValue(t, 0x03030000, ""), "9:05");
    EXPECT_EQ(FormatValue(t, 0x03040000, "nn:ss"), "05:03");
}

TEST_F(ExprFormatValue, BooleanVariants) {
    EXPECT_EQ(FormatValue(Variant(0), 0x04000000, ""), "0");
    EXPECT_EQ(FormatValue(Variant(5), 0x04000000, ""), "1");
    EXPECT_EQ(utf8(FormatValue(Variant(true), 0x04010000, "")), "Да");
    EXPECT_EQ(utf8(FormatValue(Variant(false), 0x04010000, "")), "Нет");
    EXPECT_EQ(FormatValue(Variant(1), 0x04020000, ""), "x");
    EXPECT_EQ(FormatValue(Variant(0.0), 0x04030000, ""), "False");
    EXPECT_EQ(FormatValue(Variant(2), 0x04040000, "off;on"), "on");
    EXPECT_EQ(FormatValue(Variant(2), 0x04040000, "only"), "");
    EXPECT_EQ(FormatValue(Variant("maybe"), 0x04030000, ""), "maybe");
}

TEST_F(ExprFormatValue, TextFormOfEveryType) {
    EXPECT_EQ(FormatValue(Variant(std::int64_t{-42}), 0x22E, ""), "-42");
    EXPECT_EQ(FormatValue(Variant(0.5), 0x22E, ""), "0.5");
    EXPECT_EQ(FormatValue(Variant(true), 0x22E, ""), "True");
    EXPECT_EQ(FormatValue(Variant::dateTime(0.5), 0x22E, ""), "12:00:00");
    EXPECT_EQ(FormatValue(Variant(7), 0x0F000000, ""), "7");
}

TEST(ExprBracketFormat, SuffixSetsCodeAndFormat) {
    BracketFormat f = parseBracketFormat("1 #N2.2", 0x22E, "");
    EXPECT_EQ(f.expression, "1");
    EXPECT_EQ(f.code, 0x0101022Eu);
    f = parseBracketFormat("x #N#,##0.00", 0x22E, "");
    EXPECT_EQ(f.code, 0x0104002Eu);
    EXPECT_EQ(f.formatString, "#,##0.00");
    f = parseBracketFormat("x #n#0,000", 0x22E, "");
    EXPECT_EQ(f.code, 0x0104002Cu);
    EXPECT_EQ(f.formatString, "#0.000");
    f = parseBracketFormat("x #3-1", 0x22E, "");
    EXPECT_EQ(f.code, 0x0101012Du);
    f = parseBracketFormat("x #bNo;Yes", 0x22E, "");
    EXPECT_EQ(f.code, 0x04040000u);
    EXPECT_EQ(f.formatString, "No;Yes");
    f = parseBracketFormat("x #Thh:nn", 0x22E, "");
    EXPECT_EQ(f.code, 0x02040000u);
    EXPECT_EQ(f.formatString, "hh:nn");
    f = parseBracketFormat("a #b #N2", 0x22E, "");
    EXPECT_EQ(f.expression, "a");
    EXPECT_EQ(f.code, 0x04040000u);
    f = parseBracketFormat("x#N2", 0x22E, "keep");
    EXPECT_EQ(f.expression, "x#N2");
    EXPECT_EQ(f.code, 0x22Eu);
    EXPECT_EQ(f.formatString, "keep");
}

}  // namespace
}  // namespace quor::test
